#include "AidsFixture.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

using testsupport::child;
using testsupport::press;

// What follows the caret in the window: the help line shown while the
// window opens, and the caret leading it from then on. The hint and the
// parentheses are shown on the aid alone.
class tst_CaretAids : public QObject
{
    Q_OBJECT
private slots:
    void helpLineFollowsTheCaret();
};

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
