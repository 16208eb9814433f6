#include "AidsFixture.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include "editor/Completion.h"
#include "editor/OperatorMenu.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>

using testsupport::child;
using testsupport::press;

namespace {

QStringList listed(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; list->isVisible() && i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

} // namespace

// The keys and menus of an editor today, on always: operators in the
// context menu and in completion, Ctrl+Space, Down and Enter from the filter.
class tst_EditingKeys : public QObject
{
    Q_OBJECT
private slots:
    void operatorInsertion_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("written");
        QTest::newRow("after a name") << "="
                                      << "[Total]"
                                      << ""
                                      << " = ";
        QTest::newRow("blanks already there") << "<>"
                                              << "[Total] "
                                              << " 3"
                                              << "<>";
        QTest::newRow("at the start") << "Not"
                                      << ""
                                      << ""
                                      << "Not ";
        QTest::newRow("after a parenthesis") << "Not"
                                             << "("
                                             << "[A])"
                                             << "Not ";
        QTest::newRow("parenthesis") << "("
                                     << "1 + "
                                     << ""
                                     << "(";
        QTest::newRow("backslash") << "\\"
                                   << "7"
                                   << "2"
                                   << " \\ ";
    }

    void operatorInsertion()
    {
        QFETCH(QString, op);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, written);
        QCOMPARE(nvtarnix::editor::operatorInsertion(op, before, after), written);
    }

    void askedCompletionTakesAnyWord()
    {
        using nvtarnix::editor::completionAt;
        using nvtarnix::editor::CompletionRequest;
        QCOMPARE(completionAt(u"1 + Le", 6).kind, CompletionRequest::None);
        QCOMPARE(completionAt(u"1 + Le", 6, 0).kind, CompletionRequest::Function);
        QCOMPARE(completionAt(u"1 + Le", 6, 0).typed, QStringLiteral("Le"));
        const CompletionRequest empty = completionAt(u"[A] ", 4, 0);
        QCOMPARE(empty.kind, CompletionRequest::Function);
        QCOMPARE(empty.typed, QString());
        QCOMPARE(completionAt(u"", 0, 0).kind, CompletionRequest::Function);
        QCOMPARE(completionAt(u"12", 2, 0).kind, CompletionRequest::None);
    }

    void ctrlSpaceCompletesFunctionsAndOperatorWords()
    {
        auto builder = makeAidsBuilder();
        QStringList afterLe, afterAn;
        QString text;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *script = child<QPlainTextEdit>(w, "txtScript");
            auto *list = child<QListWidget>(w, "lstCompletion");
            script->setFocus();
            QTest::keyClicks(script, "Le");
            QVERIFY(!list->isVisible());
            QTest::keyClick(script, Qt::Key_Space, Qt::ControlModifier);
            afterLe = listed(list);
            QTest::keyClick(script, Qt::Key_Escape);
            script->setPlainText("[Total] > 1 ");
            script->moveCursor(QTextCursor::End);
            QTest::keyClicks(script, "An");
            QTest::keyClick(script, Qt::Key_Space, Qt::ControlModifier);
            afterAn = listed(list);
            QTest::keyClick(script, Qt::Key_Return);
            text = script->toPlainText();
            press(w, "cmdCancel");
        });
        builder->Edit();
        // Two letters are enough when the user asks.
        QCOMPARE(afterLe.mid(0, 4),
                 QStringList({"Len(string)", "LenB(string)", "Left(string, length)", "LeftB(string, length)"}));
        QCOMPARE(afterAn.value(0), QStringLiteral("And"));
        QCOMPARE(text, QStringLiteral("[Total] > 1 And "));
    }

    void contextMenuOffersTheOperators()
    {
        auto builder = makeAidsBuilder();
        QStringList offered;
        QString text;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *script = child<QPlainTextEdit>(w, "txtScript");
            script->setPlainText("[Total]");
            script->moveCursor(QTextCursor::End);
            const QPoint at(5, 5);
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, script->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(script->viewport(), &menuEvent);
            auto *operators = script->findChild<QMenu *>("mOperators");
            QVERIFY(operators);
            for (QAction *action : operators->actions())
                offered << action->text();
            operators->actions().at(offered.indexOf(">="))->trigger();
            for (QMenu *menu : script->findChildren<QMenu *>("mScript"))
                menu->close();
            text = script->toPlainText();
            press(w, "cmdCancel");
        });
        builder->Edit();
        QCOMPARE(offered, nvtarnix::editor::scriptOperators());
        QCOMPARE(offered.size(), 19);
        QCOMPARE(text, QStringLiteral("[Total] >= "));
    }

    void downAndEnterGoFromTheFilterToTheFirstMatch()
    {
        auto builder = makeAidsBuilder();
        QString variable, function, focusAfterDown, focusAfterEnter;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *filter = child<QLineEdit>(w, "txtFilter");
            filter->setFocus();
            QTest::keyClicks(filter, "city");
            QTest::keyClick(filter, Qt::Key_Down);
            focusAfterDown = w->focusWidget() ? w->focusWidget()->objectName() : QString();
            variable = child<QTreeWidget>(w, "tvVariables")->currentItem()->text(0);
            filter->setFocus();
            filter->clear();
            QTest::keyClicks(filter, "ucase");
            QTest::keyClick(filter, Qt::Key_Return);
            focusAfterEnter = w->focusWidget() ? w->focusWidget()->objectName() : QString();
            function = child<QTreeWidget>(w, "tvFunctions")->currentItem()->text(0);
            press(w, "cmdCancel");
        });
        builder->Edit();
        QCOMPARE(focusAfterDown, QStringLiteral("tvVariables"));
        QCOMPARE(variable, QStringLiteral("City"));
        QCOMPARE(focusAfterEnter, QStringLiteral("tvFunctions"));
        QVERIFY2(function.startsWith("UCase"), qPrintable(function));
    }
};

NVTARNIX_TEST_CLASS(tst_EditingKeys)
#include "tst_editingkeys.moc"
