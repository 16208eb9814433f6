#include "AidsFixture.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

using testsupport::child;
using testsupport::press;

namespace {

// The marked ranges as "start+length", in order.
QStringList marks(const QPlainTextEdit *script)
{
    QStringList ranges;
    for (const QTextEdit::ExtraSelection &mark : script->extraSelections()) {
        if (mark.format.underlineStyle() != QTextCharFormat::NoUnderline)
            ranges << QStringLiteral("%1+%2").arg(mark.cursor.selectionStart()).arg(
                mark.cursor.selectionEnd() - mark.cursor.selectionStart());
    }
    return ranges;
}

QPoint pointOf(QPlainTextEdit *script, int position)
{
    QTextCursor cursor(script->document());
    cursor.setPosition(position);
    return script->cursorRect(cursor).center() + QPoint(2, 0);
}

QString toolTipAt(QPlainTextEdit *script, int position)
{
    const QPoint at = pointOf(script, position);
    QHelpEvent help(QEvent::ToolTip, at, script->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(script->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

// Problems marked in the script text while the user types.
class tst_ProblemMarks : public QObject
{
    Q_OBJECT
private slots:
    void unknownReferenceIsMarkedAndReplaced();
    void syntaxErrorIsMarkedWithTheEngineMessage();
    void failedCheckPutsTheCaretAtTheError();
    void unknownReferenceStillPassesTheCheck();
};

void tst_ProblemMarks::unknownReferenceIsMarkedAndReplaced()
{
    auto builder = makeAidsBuilder();
    QStringList marked, afterReplace;
    QString tip, replaceCaption, text;
    bool undoable = false;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        QTest::keyClicks(script, "1 & [Customer.Nme]");
        // Nothing is marked while the user is still typing...
        QVERIFY(marks(script).isEmpty());
        // ...and the mark comes within the pause.
        QTRY_VERIFY_WITH_TIMEOUT(!marks(script).isEmpty(), 2000);
        marked = marks(script);
        tip = toolTipAt(script, 8);
        const QPoint at = pointOf(script, 8);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, script->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(script->viewport(), &menuEvent);
        auto *menu = script->findChild<QMenu *>("mScript");
        QVERIFY(menu);
        auto *replace = menu->findChild<QAction *>("mReplaceReference");
        QVERIFY(replace);
        replaceCaption = replace->text();
        replace->trigger();
        menu->close();
        text = script->toPlainText();
        QTRY_VERIFY_WITH_TIMEOUT(marks(script).isEmpty(), 2000);
        afterReplace = marks(script);
        undoable = script->document()->isUndoAvailable();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(marked, QStringList{"4+14"});
    QCOMPARE(tip, QStringLiteral("Άγνωστη μεταβλητή· μήπως εννοείτε [Customer.Name];"));
    QCOMPARE(replaceCaption, QStringLiteral("Αντικατάσταση με [Customer.Name]"));
    QCOMPARE(text, QStringLiteral("1 & [Customer.Name]"));
    QVERIFY(afterReplace.isEmpty());
    QVERIFY(undoable);
}

void tst_ProblemMarks::syntaxErrorIsMarkedWithTheEngineMessage()
{
    auto builder = makeAidsBuilder();
    QStringList marked;
    QString tip;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        QTest::keyClicks(script, "Len([Total]) foo");
        QTRY_VERIFY_WITH_TIMEOUT(!marks(script).isEmpty(), 2000);
        marked = marks(script);
        tip = toolTipAt(script, 14);
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(marked, QStringList{"13+3"});
    QCOMPARE(tip, QStringLiteral("Αναμενόταν τέλος εντολής"));
}

void tst_ProblemMarks::failedCheckPutsTheCaretAtTheError()
{
    auto builder = makeAidsBuilder();
    builder->setScript("Len([Customer.Name]) + * 2");
    int caret = -1;
    testsupport::SeenMessage seen;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        const auto message = testsupport::answerMessageBox(seen);
        press(w, "cmdCheck");
        caret = script->textCursor().position();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QVERIFY(!seen.text.isEmpty());
    QCOMPARE(caret, 23);
}

void tst_ProblemMarks::unknownReferenceStillPassesTheCheck()
{
    auto builder = makeAidsBuilder();
    builder->setScript("[Customer.Nme] & \"x\"");
    bool checkEnabledAfter = true;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        press(w, "cmdCheck");
        checkEnabledAfter = child<QPushButton>(w, "cmdCheck")->isEnabled();
        press(w, "cmdOK");
    });
    QCOMPARE(builder->Edit(), true);
    QVERIFY(!checkEnabledAfter);
    QCOMPARE(builder->Script(), QStringLiteral("[Customer.Nme] & \"x\""));
}

NVTARNIX_TEST_CLASS(tst_ProblemMarks)
#include "tst_problemmarks.moc"
