#include "AidsFixture.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

using testsupport::child;
using testsupport::press;

namespace {

QStringList highlighted(const QPlainTextEdit *script)
{
    QStringList positions;
    for (const QTextEdit::ExtraSelection &mark : script->extraSelections()) {
        if (mark.format.hasProperty(QTextFormat::BackgroundBrush))
            positions << QString::number(mark.cursor.selectionStart());
    }
    return positions;
}

} // namespace

// What follows the caret in the window: the argument hint, the matching
// parenthesis and the help line.
class tst_CaretAids : public QObject
{
    Q_OBJECT
private slots:
    void hintFollowsTheArgument();
    void parenthesisAndPartnerAreHighlighted();
    void helpLineFollowsTheCaret();
};

void tst_CaretAids::hintFollowsTheArgument()
{
    auto builder = makeAidsBuilder();
    QStringList hints;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        auto *hint = child<QLabel>(w, "lblArgumentHint");
        script->setFocus();
        const auto seen = [&] { hints << (hint->isVisible() ? hint->text() : QStringLiteral("-")); };
        typeText(script, "Mid(\"a,(b\", ");
        seen();
        typeText(script, "Len(");
        seen();
        typeText(script, "[Total]), ");
        seen();
        typeText(script, "2)");
        seen();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(hints, (QStringList{"Mid(string, <b>start</b>, length)", "Len(<b>string</b>)",
                                 "Mid(string, start, <b>length</b>)", "-"}));
}

void tst_CaretAids::parenthesisAndPartnerAreHighlighted()
{
    auto builder = makeAidsBuilder();
    builder->setScript("Len(UCase(\")\")) + 1");
    QStringList atStart, afterInner, awayFromThem;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        script->setFocus();
        QTextCursor cursor = script->textCursor();
        cursor.setPosition(3);
        script->setTextCursor(cursor);
        atStart = highlighted(script);
        QTest::keyClick(script, Qt::Key_End);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(script, Qt::Key_Left);
        afterInner = highlighted(script);
        QTest::keyClick(script, Qt::Key_End);
        awayFromThem = highlighted(script);
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(atStart, (QStringList{"3", "14"}));
    QCOMPARE(afterInner, (QStringList{"14", "3"}));
    QVERIFY(awayFromThem.isEmpty());
}

void tst_CaretAids::helpLineFollowsTheCaret()
{
    auto builder = makeAidsBuilder();
    builder->setShowHelpString(true);
    builder->setScript("[Customer.Name] & UCase(\"x\")");
    QString onVariable, onFunction, onNothing;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        auto *help = child<QLabel>(w, "lbInfo");
        QTextCursor cursor = script->textCursor();
        cursor.setPosition(3);
        script->setTextCursor(cursor);
        onVariable = help->text();
        cursor.setPosition(20);
        script->setTextCursor(cursor);
        onFunction = help->text();
        cursor.setPosition(16);
        script->setTextCursor(cursor);
        onNothing = help->text();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(onVariable, QStringLiteral("The customer's registered name"));
    QVERIFY(onFunction.contains(QStringLiteral("(UCase(string as Variant) as Variant)")));
    QCOMPARE(onNothing, onFunction);
}

NVTARNIX_TEST_CLASS(tst_CaretAids)
#include "tst_caretaids.moc"
