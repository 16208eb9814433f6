// The editing aids as objects of their own: each is built on a bare script
// box or pair of trees with a session, without the editor window.

#include "AidsFixture.h"
#include "PlainOwner.h"
#include "TestVariables.h"
#include "TestMain.h"

#include "component/BuilderEditorOwner.h"
#include "component/TarnixObjectAccess.h"

#include "editor/CaretAids.h"
#include "editor/CompletionAid.h"
#include "editor/EditorSession.h"
#include "editor/EditorTreeItems.h"
#include "editor/EditorTrees.h"
#include "editor/FunctionReference.h"
#include "editor/PreviewEvaluation.h"
#include "editor/ProblemMarksAid.h"
#include "editor/TreeFilterAid.h"
#include "support/MlStringModule.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace nvtarnix::editor;

namespace {

// An owner with help lines and nothing else; it counts the help it is asked for.
class HelpOwner final : public PlainOwner
{
public:
    QHash<QString, QString> variableHelps;
    QHash<QString, QString> functionHelps;
    mutable int asked = 0;

    QString variableRoot() const override { return QStringLiteral("Variables"); }
    QString functionRoot() const override { return QStringLiteral("Functions"); }
    QString variableHelp(const QString &varID) const override
    {
        ++asked;
        return variableHelps.value(varID);
    }
    QString functionHelp(const QString &name) const override
    {
        ++asked;
        return functionHelps.value(name);
    }
};

const QVector<EditorVariable> kVariables{testVariable("CUST_NAME", "Name", 0, "Customer"),
                                         testVariable("CUST_CITY", "City", 0, "Customer"),
                                         testVariable("TOTAL", "Total", 5)};

const QString kCatalog = QStringLiteral(
    "<Interfaces><Interface name=\"Text\" description=\"Text\" visible=\"-1\"><Functions>"
    "<Function name=\"Len\" declaration=\"Len(text)\" declarationext=\"Len(text)\" visible=\"-1\"/>"
    "<Function name=\"Left\" declaration=\"Left(text, n)\" declarationext=\"Left(text, n)\" visible=\"-1\"/>"
    "</Functions></Interface></Interfaces>");

// Two trees filled as the window fills them, a script box, and the session
// over them; the variable source counts its reads.
struct Bench
{
    QWidget window;
    QTreeWidget *variables = new QTreeWidget(&window);
    QTreeWidget *functions = new QTreeWidget(&window);
    QPlainTextEdit *script = new QPlainTextEdit(&window);
    HelpOwner owner;
    int reads = 0;
    EditorSession session{&owner, true,
                          [this] {
                              ++reads;
                              return kVariables;
                          },
                          variables, functions};

    Bench()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *>{variables, functions, script})
            layout->addWidget(w);
        WordList words;
        fillTree(variables, buildVariableTree(QStringLiteral("Variables"), kVariables, words), variableImages());
        fillTree(functions, buildFunctionTree(QStringLiteral("Functions"), kCatalog, words), functionImages());
        window.resize(500, 600);
    }
};

// The aids over the builder the window tests open the editor on, built as
// the window builds them but without it.
struct BuilderBench
{
    std::unique_ptr<nvtarnix::TarnixObject> builder = makeAidsBuilder();
    nvtarnix::BuilderEditorOwner owner{*builder};
    QWidget window;
    QTreeWidget *variables = new QTreeWidget(&window);
    QTreeWidget *functions = new QTreeWidget(&window);
    QPlainTextEdit *script = new QPlainTextEdit(&window);
    QLabel *helpLine = new QLabel(&window);
    const bool showsHelp;
    EditorSession session{&owner, showsHelp,
                          [this] {
                              return variablesOfView(nvtarnix::TarnixObjectAccess::CurrentView(*builder).get());
                          },
                          variables, functions};

    explicit BuilderBench(bool showHelpLine = false) : showsHelp(showHelpLine)
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *>{variables, functions, script, helpLine})
            layout->addWidget(w);
        WordList words;
        fillTree(variables, buildVariableTree(owner.variableRoot(), session.variables(), words), variableImages());
        fillTree(functions, buildFunctionTree(owner.functionRoot(), owner.functionCatalogText(), words),
                 functionImages());
        window.resize(500, 600);
    }
};

// The entries of the list while it shows.
QStringList entries(const QListWidget *list)
{
    QStringList texts;
    if (!list->isVisible())
        return texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The shown nodes of a tree, depth first, children indented by one blank.
QStringList shownNodes(const QTreeWidget *tree)
{
    QStringList shown;
    const std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *item, int depth) {
        if (item->isHidden())
            return;
        shown << QString(depth, QLatin1Char(' ')) + item->text(0) + (item->childCount() && item->isExpanded() ? "+" : "");
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return shown;
}

QStringList shownTexts(const QTreeWidget *tree)
{
    QStringList shown;
    const std::function<void(const QTreeWidgetItem *)> walk = [&](const QTreeWidgetItem *item) {
        if (item->isHidden())
            return;
        shown << item->text(0);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i));
    return shown;
}

} // namespace

class tst_AidObjects : public QObject
{
    Q_OBJECT
private slots:
    void sessionGathersOncePerRun();
    void filterFindsNodesByTheirHelp_data();
    void filterFindsNodesByTheirHelp();
    void filterNarrowsBothTrees_data();
    void filterNarrowsBothTrees();
    void filterEscapeRestoresTreesAndExpansion();
    void problemMarksFollowTheCompiledText();
    void replacementOnlyWhereTheReferenceStillIs_data();
    void replacementOnlyWhereTheReferenceStillIs();
    void completionKeysChooseAndInsert_data();
    void completionKeysChooseAndInsert();
    void completionNeverInsideAString();
    void hintFollowsTheArgument();
    void parenthesisAndPartnerAreHighlighted();
    void helpLineFollowsTheCaret();
    void previewUsesTheSharedCompile();
};

void tst_AidObjects::sessionGathersOncePerRun()
{
    Bench bench;
    // Every aid asks; the view is read once, whichever asks first.
    QCOMPARE(bench.session.knownNames(), (QSet<QString>{"[Customer.Name]", "[Customer.City]", "[Total]"}));
    QCOMPARE(bench.session.completionEntries().variables,
             (QStringList{"[Customer.Name]", "[Customer.City]", "[Total]"}));
    QCOMPARE(bench.session.variables().size(), 3);
    QCOMPARE(bench.session.suggestions().nearest("[Customer.Nme]"), QStringLiteral("[Customer.Name]"));
    QCOMPARE(bench.reads, 1);
    // The operator words follow the catalog's functions.
    QCOMPARE(bench.session.completionEntries().functionInsertions,
             (QStringList{"Len(", "Left(", "And ", "Or ", "Not ", "Xor ", "Mod "}));

    // Function nodes are found whatever the letter case, variable nodes by
    // their display name exactly.
    QVERIFY(bench.session.functionNode("LEN"));
    QCOMPARE(nodeKey(bench.session.functionNode("left")), QStringLiteral("Left"));
    QVERIFY(!bench.session.functionNode("Mid"));
    QCOMPARE(nodeKey(bench.session.variableNode("[Total]")), QStringLiteral("TOTAL"));
    QVERIFY(!bench.session.variableNode("[total]"));

    // The help line: the owner's help, the node's text without it, nothing
    // at all without an owner.
    bench.owner.variableHelps.insert("TOTAL", "The order's total");
    QCOMPARE(bench.session.nodeHelpLine(bench.session.variableNode("[Total]"), HelpKind::Variable),
             QStringLiteral("The order's total"));
    EditorSession ownerless(nullptr, true, {}, bench.variables, bench.functions);
    QCOMPARE(ownerless.help(HelpKind::Variable, "TOTAL"), QString());
    QVERIFY(ownerless.variables().isEmpty());
}

void tst_AidObjects::filterFindsNodesByTheirHelp_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<QStringList>("functions");
    // A tree's root stays, matches or not.
    QTest::newRow("caption") << "city" << QStringList{"Variables", "Customer", "City"}
                             << QStringList{"Functions"};
    QTest::newRow("help only") << "registered" << QStringList{"Variables", "Customer", "Name"}
                               << QStringList{"Functions"};
    QTest::newRow("function help") << "characters" << QStringList{"Variables"}
                                   << QStringList{"Functions", "Text", "Len(text)"};
    QTest::newRow("accent and case folded") << "ΤΟΜΉ" << QStringList{"Variables"}
                                            << QStringList{"Functions", "Text", "Left(text, n)"};
    QTest::newRow("emptied") << "" << QStringList{"Variables", "Customer", "Name", "City", "Total"}
                             << QStringList{"Functions", "Text", "Len(text)", "Left(text, n)"};
}

void tst_AidObjects::filterFindsNodesByTheirHelp()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, variables);
    QFETCH(QStringList, functions);
    Bench bench;
    bench.owner.variableHelps.insert("CUST_NAME", "The customer's registered name");
    bench.owner.functionHelps.insert("Len", "The number of characters");
    bench.owner.functionHelps.insert("Left", "Η αρχή (τομή) του κειμένου");
    TreeFilterAid aid(&bench.window, bench.variables, bench.functions, bench.session);
    bench.variables->expandAll();
    bench.functions->expandAll();
    aid.filter(QStringLiteral("something first"));
    aid.filter(typed);
    QCOMPARE(shownTexts(bench.variables), variables);
    QCOMPARE(shownTexts(bench.functions), functions);
    // The help is read once a run, not on every key.
    const int asked = bench.owner.asked;
    aid.filter(QStringLiteral("again"));
    QCOMPARE(bench.owner.asked, asked);
}

void tst_AidObjects::filterNarrowsBothTrees_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<int>("functionCount");
    QTest::newRow("accent and case folded")
        << "ονομα" << QStringList{"Μεταβλητές+", " Πελάτης+", "  Όνομα"} << 0;
    QTest::newRow("latin is not greek") << "ONOMA" << QStringList{"Μεταβλητές+"} << 0;
    QTest::newRow("by ID") << "ord_d" << QStringList{"Μεταβλητές+", " Order+", "  Date"} << 0;
    QTest::newRow("by help text") << "registered" << QStringList{"Μεταβλητές+", " Customer+", "  Name"} << 0;
    QTest::newRow("group shows its variables")
        << "custom" << QStringList{"Μεταβλητές+", " Customer+", "  Name", "  City"} << 0;
    QTest::newRow("function by name") << "ucase" << QStringList{"Μεταβλητές+"} << 1;
}

void tst_AidObjects::filterNarrowsBothTrees()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, variables);
    QFETCH(int, functionCount);
    BuilderBench bench;
    TreeFilterAid aid(&bench.window, bench.variables, bench.functions, bench.session);
    QVERIFY(!aid.box()->placeholderText().isEmpty());
    typeText(aid.box(), typed);
    QCOMPARE(shownNodes(bench.variables), variables);
    // Leaves only: functions, not their interface or root.
    int shownFunctions = 0;
    for (const QString &node : shownNodes(bench.functions))
        shownFunctions += node.startsWith(QLatin1String("  ")) ? 1 : 0;
    QCOMPARE(shownFunctions, functionCount);
}

void tst_AidObjects::filterEscapeRestoresTreesAndExpansion()
{
    BuilderBench bench;
    TreeFilterAid aid(&bench.window, bench.variables, bench.functions, bench.session);
    // The user folds a group; filtering opens it, Esc folds it again.
    bench.variables->topLevelItem(0)->child(0)->setExpanded(false);
    const QStringList before = shownNodes(bench.variables);
    const QStringList functionsBefore = shownNodes(bench.functions);
    QTest::keyClicks(aid.box(), "city");
    QCOMPARE(shownNodes(bench.variables), (QStringList{"Μεταβλητές+", " Customer+", "  City"}));
    QTest::keyClick(aid.box(), Qt::Key_Escape);
    QVERIFY(aid.box()->text().isEmpty());
    QCOMPARE(shownNodes(bench.variables), before);
    QCOMPARE(shownNodes(bench.functions), functionsBefore);
    QVERIFY(before.contains(" Customer"));
}

void tst_AidObjects::problemMarksFollowTheCompiledText()
{
    Bench bench;
    ProblemMarksAid aid(bench.script, bench.session, 1033);
    QSignalSpy changed(&aid, &ProblemMarksAid::marksChanged);
    const QString text = QStringLiteral("[Customer.Nme] & (");
    bench.script->setPlainText(text);
    aid.mark(compileScript(text, 1033));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(aid.problems().size(), 2);
    QCOMPARE(aid.problems().at(0).suggestion, QStringLiteral("[Customer.Name]"));
    QCOMPARE(aid.problems().at(1).kind, ScriptProblem::Syntax);
    QCOMPARE(aid.selections().size(), 2);
    QVERIFY(aid.problemAt(3));
    QVERIFY(!aid.problemAt(15));

    // Cut short before the next pause: the mark past the end waits.
    bench.script->setPlainText(QStringLiteral("[Customer.Nme]"));
    QCOMPARE(aid.selections().size(), 1);
    aid.mark(compileScript(bench.script->toPlainText(), 1033));
    QCOMPARE(aid.problems().size(), 1);

    // A failed check sends the caret to the syntax error, else to its line.
    bench.script->setPlainText(QStringLiteral("1 + * 2"));
    aid.moveCaretToFailure(1);
    QCOMPARE(bench.script->textCursor().position(), 4);
    bench.script->setPlainText(QStringLiteral("1\n2 / 0"));
    aid.moveCaretToFailure(2);
    QCOMPARE(bench.script->textCursor().position(), 2);
}

void tst_AidObjects::replacementOnlyWhereTheReferenceStillIs_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("still there") << "1 & [Customer.Nme]" << "1 & [Customer.Name]";
    QTest::newRow("edited since") << "1 & [Customer.Nam]" << "1 & [Customer.Nam]";
    QTest::newRow("moved since") << "12 & [Customer.Nme]" << "12 & [Customer.Nme]";
}

void tst_AidObjects::replacementOnlyWhereTheReferenceStillIs()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    Bench bench;
    ProblemMarksAid aid(bench.script, bench.session, 1033);
    const QString marked = QStringLiteral("1 & [Customer.Nme]");
    bench.script->setPlainText(marked);
    aid.mark(compileScript(marked, 1033));
    QCOMPARE(aid.problems().size(), 1);
    const ScriptProblem problem = aid.problems().first();
    bench.script->setPlainText(before);
    aid.replaceReference(problem);
    QCOMPARE(bench.script->toPlainText(), after);
}

void tst_AidObjects::completionKeysChooseAndInsert_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("bracket, narrowed, Enter")
        << "1 & [cust" << QStringList{"[Customer.Name]", "[Customer.City]"} << QList<int>{Qt::Key_Return}
        << "1 & [Customer.Name]";
    QTest::newRow("Down then Tab") << "[cust" << QStringList{"[Customer.Name]", "[Customer.City]"}
                                   << QList<int>{Qt::Key_Down, Qt::Key_Tab} << "[Customer.City]";
    QTest::newRow("greek without accents") << "[ονομ" << QStringList{"[Πελάτης.Όνομα]"}
                                           << QList<int>{Qt::Key_Return} << "[Πελάτης.Όνομα]";
    QTest::newRow("function after three letters")
        << "1 + UCa" << QStringList{"UCase(string)"} << QList<int>{Qt::Key_Tab} << "1 + UCase(";
    QTest::newRow("Esc closes, text stays") << "[cust" << QStringList{"[Customer.Name]", "[Customer.City]"}
                                            << QList<int>{Qt::Key_Escape} << "[cust";
}

void tst_AidObjects::completionKeysChooseAndInsert()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    QFETCH(QList<int>, keys);
    QFETCH(QString, text);
    BuilderBench bench;
    CompletionAid aid(&bench.window, bench.script, bench.session);
    connect(bench.script, &QPlainTextEdit::textChanged, &aid, [&] { aid.textChanged(); });
    bench.window.show();
    QApplication::setActiveWindow(&bench.window);
    QVERIFY(QTest::qWaitForWindowActive(&bench.window));
    bench.script->setFocus();
    typeText(bench.script, typed);
    QCOMPARE(entries(aid.list()), offered);
    for (int key : keys)
        QTest::keyClick(bench.script, Qt::Key(key));
    QCOMPARE(bench.script->toPlainText(), text);
    QVERIFY(!aid.list()->isVisible());
    // The list never takes the focus from the script.
    QCOMPARE(QApplication::focusWidget(), bench.script);
}

void tst_AidObjects::completionNeverInsideAString()
{
    BuilderBench bench;
    CompletionAid aid(&bench.window, bench.script, bench.session);
    connect(bench.script, &QPlainTextEdit::textChanged, &aid, [&] { aid.textChanged(); });
    bench.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.window));
    typeText(bench.script, "\"[cust UCas");
    QVERIFY(entries(aid.list()).isEmpty());
    typeText(bench.script, "\" & [cust");
    QCOMPARE(entries(aid.list()), (QStringList{"[Customer.Name]", "[Customer.City]"}));
    // Text put in by code (an insertion from a tree) is not typing: no list opens.
    QTest::keyClick(bench.script, Qt::Key_Escape);
    bench.script->insertPlainText(QStringLiteral(" & [Cu"));
    QVERIFY(entries(aid.list()).isEmpty());
}

void tst_AidObjects::hintFollowsTheArgument()
{
    BuilderBench bench;
    CaretAids aid(&bench.window, bench.script, bench.helpLine, bench.session);
    bench.window.show();
    QApplication::setActiveWindow(&bench.window);
    QVERIFY(QTest::qWaitForWindowActive(&bench.window));
    bench.script->setFocus();
    QStringList hints;
    QStringList meanings;
    // The declaration, then the argument's meaning from the function reference.
    const auto seen = [&] {
        const QString text = aid.hint()->isVisible() ? aid.hint()->text() : QStringLiteral("-");
        hints << text.section(QStringLiteral("<br>"), 0, 0);
        meanings << text.section(QStringLiteral("<br>"), 1);
    };
    typeText(bench.script, "Mid(\"a,(b\", ");
    seen();
    typeText(bench.script, "Len(");
    seen();
    typeText(bench.script, "[Total]), ");
    seen();
    typeText(bench.script, "2)");
    seen();
    QCOMPARE(hints, (QStringList{"Mid(string, <b>start</b>, length)", "Len(<b>string</b>)",
                                 "Mid(string, start, <b>length</b>)", "-"}));
    const auto mid = FunctionReference::instance().find("Mid", nvtarnix::CurrentLanguage());
    QVERIFY(mid);
    QCOMPARE(meanings.at(0), mid->parameters.at(1).toHtmlEscaped());
    QCOMPARE(meanings.at(2), mid->parameters.at(2).toHtmlEscaped());
    // The hint belongs to typing: it goes with the focus.
    typeText(bench.script, " & Len(");
    QVERIFY(aid.hint()->isVisible());
    bench.variables->setFocus();
    QVERIFY(!aid.hint()->isVisible());
}

void tst_AidObjects::parenthesisAndPartnerAreHighlighted()
{
    BuilderBench bench;
    CaretAids aid(&bench.window, bench.script, bench.helpLine, bench.session);
    QSignalSpy changed(&aid, &CaretAids::marksChanged);
    const auto highlighted = [&] {
        QStringList positions;
        for (const QTextEdit::ExtraSelection &mark : aid.selections())
            positions << QString::number(mark.cursor.selectionStart());
        return positions;
    };
    bench.script->setPlainText(QStringLiteral("Len(UCase(\")\")) + 1"));
    QTextCursor cursor = bench.script->textCursor();
    cursor.setPosition(3);
    bench.script->setTextCursor(cursor);
    QCOMPARE(highlighted(), (QStringList{"3", "14"}));
    QTest::keyClick(bench.script, Qt::Key_End);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(bench.script, Qt::Key_Left);
    QCOMPARE(highlighted(), (QStringList{"14", "3"}));
    QTest::keyClick(bench.script, Qt::Key_End);
    QVERIFY(highlighted().isEmpty());
    QVERIFY(changed.count() >= 3);
}

void tst_AidObjects::helpLineFollowsTheCaret()
{
    BuilderBench bench(true);
    CaretAids aid(&bench.window, bench.script, bench.helpLine, bench.session);
    bench.helpLine->setText(QStringLiteral("as opened"));
    bench.script->setPlainText(QStringLiteral("[Customer.Name] & UCase(\"x\")"));
    QTextCursor cursor = bench.script->textCursor();
    const auto helpAt = [&](int position) {
        cursor.setPosition(position);
        bench.script->setTextCursor(cursor);
        return bench.helpLine->text();
    };
    // While the window opens the help line keeps what it was given.
    QCOMPARE(helpAt(3), QStringLiteral("as opened"));
    aid.setHelpLineFollowsCaret(true);
    QCOMPARE(helpAt(4), QStringLiteral("The customer's registered name"));
    const QString onFunction = helpAt(20);
    QVERIFY(onFunction.contains(QStringLiteral("(UCase(string as Variant) as Variant)")));
    // Nothing under the caret leaves the help line as it is.
    QCOMPARE(helpAt(16), onFunction);
}

void tst_AidObjects::previewUsesTheSharedCompile()
{
    // The preview evaluates what the window compiled, or shows its compile
    // error, without compiling the text again.
    PreviewJob job;
    job.locale = vbscript::ScriptLocale::fromLcid(1033);
    job.language = 1033;
    const CompiledScript sum = compileScript(QStringLiteral("1 + 1"), 1033);
    QVERIFY(sum.compiled && !sum.error);
    job.displayText = QStringLiteral("2 + 2");
    job.compiled = sum.compiled;
    QCOMPARE(runPreview(job, nullptr).text, QStringLiteral("2"));

    const CompiledScript broken = compileScript(QStringLiteral("1 +"), 1033);
    QVERIFY(!broken.compiled && broken.error && broken.syntax);
    job.compiled = broken.compiled;
    job.compileError = broken.error;
    job.displayText = QStringLiteral("2 + 2");
    QCOMPARE(runPreview(job, nullptr).text, job.errorFormat.arg(broken.error->number()).arg(broken.error->descriptionIn(1033)));

    const CompiledScript empty = compileScript(QStringLiteral("  "), 1033);
    QVERIFY(!empty.compiled && !empty.error && !empty.syntax);
}

NVTARNIX_TEST_CLASS(tst_AidObjects)

#include "tst_aidobjects.moc"
