#include "TestMain.h"
#include "WindowVisit.h"

#include <nvtarnix/TarnixObject.h>

#include "editor/ScriptProblems.h"
#include "schema/NameAmbiguities.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolTip>

using testsupport::child;
using testsupport::press;

namespace {

std::unique_ptr<nvtarnix::TarnixObject> collidingBuilder()
{
    auto o = std::make_unique<nvtarnix::TarnixObject>();
    o->AddVariable("ORD_AMOUNT", "Amount", "5", "8", "3", "0", {}, {}, {}, "Order");
    o->AddVariable("ORD_AMOUNT2", "Amount", "5", "8", "3", "0", {}, {}, {}, "Order");
    o->AddVariable("ORD_NUM2", "Num2", "5", "8", "3", "0", {}, {}, {}, "Order");
    o->AddVariable("ORD_X", "ORD_NUM2", "5", "8", "3", "0");
    o->AddVariable("ORD_NOTE", "Note]x", "5", "8", "3", "0", {}, {}, {}, "Order");
    o->AddVariable("ORD_PLAIN", "Plain", "5", "8", "3", "0", {}, {}, {}, "Order");
    o->LoadDefaultFunctions();
    return o;
}

QStringList underlinedMarks(const QPlainTextEdit *script)
{
    QStringList ranges;
    for (const QTextEdit::ExtraSelection &mark : script->extraSelections()) {
        if (mark.format.underlineStyle() != QTextCharFormat::NoUnderline)
            ranges << QStringLiteral("%1+%2")
                          .arg(mark.cursor.selectionStart())
                          .arg(mark.cursor.selectionEnd() - mark.cursor.selectionStart());
    }
    return ranges;
}

QString toolTipAt(QPlainTextEdit *script, int position)
{
    QTextCursor cursor(script->document());
    cursor.setPosition(position);
    const QPoint at = script->cursorRect(cursor).center() + QPoint(2, 0);
    QHelpEvent help(QEvent::ToolTip, at, script->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(script->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

// Ambiguous names in the editor: marked as the user types, and asked about
// before OK stores a variable as another one.
class tst_Ambiguity : public QObject
{
    Q_OBJECT
private slots:
    void ambiguousReferencesAreMarkedWithTheirVariables()
    {
        auto builder = collidingBuilder();
        QStringList marked;
        QString amountTip, bracketTip, plainTip;
        const QString text = QStringLiteral("[Order.Amount] + [order.num2] + [Order.Note]x] + [Order.Plain]");
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *script = child<QPlainTextEdit>(w, "txtScript");
            script->setPlainText(text);
            QTRY_VERIFY_WITH_TIMEOUT(!underlinedMarks(script).isEmpty(), 3000);
            marked = underlinedMarks(script);
            // A tooltip stays up a moment after it is hidden: the unmarked
            // name is asked first.
            plainTip = toolTipAt(script, int(text.indexOf("Plain")));
            amountTip = toolTipAt(script, 3);
            bracketTip = toolTipAt(script, int(text.indexOf("x]")));
            press(w, "cmdCancel");
        });
        builder->Edit();
        // The name through its letter case too, and the bracketed caption whole.
        QCOMPARE(marked.join(u' '), QStringLiteral("0+14 17+12 32+14"));
        QVERIFY2(amountTip.contains("[Order.Amount] (ORD_AMOUNT), [Order.Amount] (ORD_AMOUNT2)"),
                 qPrintable(amountTip));
        QVERIFY2(bracketTip.contains("ORD_NOTE"), qPrintable(bracketTip));
        QVERIFY2(!plainTip.contains("ORD_"), qPrintable(plainTip));
    }

    // The window-free reading agrees, and without the view's ambiguities a
    // known name is no problem at all.
    void findProblemsMarksOnlyWhenAskedToLookForAmbiguity()
    {
        QVector<nvtarnix::ViewVariable> variables(2);
        variables[0].varID = "A";
        variables[1].varID = "B";
        for (auto &v : variables) {
            v.groupcaption = "Order";
            v.vardescription = "Amount";
        }
        const nvtarnix::editor::AmbiguousReferences ambiguous(nvtarnix::findNameAmbiguities(variables));
        const QSet<QString> known{"[Order.Amount]"};
        const nvtarnix::editor::NameSuggestion suggestions(QStringList{"[Order.Amount]"});
        const QString text = "[Order.Amount] > \"[Order.Amount]\"";
        QVERIFY(nvtarnix::editor::findProblems(text, known, suggestions, 1033).isEmpty());
        const auto problems = nvtarnix::editor::findProblems(text, known, suggestions, 1033, &ambiguous);
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems[0].kind, nvtarnix::editor::ScriptProblem::AmbiguousReference);
        QCOMPARE(problems[0].start, 0);
        QVERIFY(problems[0].message.contains("[Order.Amount] (B)"));
    }

    void okAsksBeforeAVariableIsStoredAsAnother()
    {
        auto builder = collidingBuilder();
        const QString opened = QStringLiteral("[ORD_AMOUNT2] > 5 And [ORD_NUM2] = 1");
        builder->setDatabaseScript(opened);
        QString question;
        bool stillOpenAfterGoBack = false;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            {
                const auto ask = testsupport::whenShown("msgNameChanges", [&](QWidget *box) {
                    question = static_cast<QMessageBox *>(box)->text();
                    press(box, "cmdGoBack");
                });
                press(w, "cmdOK");
            }
            stillOpenAfterGoBack = w->isVisible();
            const auto keep = testsupport::whenShown("msgNameChanges", [&](QWidget *box) { press(box, "cmdKeep"); });
            press(w, "cmdOK");
        });
        QVERIFY(builder->Edit());
        QVERIFY(stillOpenAfterGoBack);
        QVERIFY2(question.contains("[Order.Amount] (ORD_AMOUNT2)") && question.contains("[ORD_AMOUNT]")
                     && question.contains("[Order.Num2] (ORD_NUM2)") && question.contains("[ORD_X]"),
                 qPrintable(question));
        // Kept as the user was told it would be.
        QCOMPARE(builder->DatabaseScript(), QStringLiteral("[ORD_AMOUNT] > 5 And [ORD_X] = 1"));
    }

    void okDoesNotAskWhenEveryNameConvertsBack()
    {
        auto builder = collidingBuilder();
        builder->setDatabaseScript("[ORD_PLAIN] > 5");
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) { press(w, "cmdOK"); });
        QVERIFY(builder->Edit());
        QCOMPARE(builder->DatabaseScript(), QStringLiteral("[ORD_PLAIN] > 5"));
    }
};

NVTARNIX_TEST_CLASS(tst_Ambiguity)
#include "tst_ambiguity.moc"
