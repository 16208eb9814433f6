// The function reference: every function of the catalog described in both
// languages with a working example, the tree's groups with guided editing on
// and off, and the reference where the window shows it (tooltip, argument
// hint, help line).
#include "AidsFixture.h"
#include "PlainOwner.h"

#include "editor/CallAtCaret.h"
#include "editor/EditorSession.h"
#include "editor/EditorTreeItems.h"
#include "editor/FunctionGroups.h"
#include "editor/FunctionReference.h"
#include "support/MlStringModule.h"
#include "vbscript/Builtins.h"
#include "vbscript/ScriptControl.h"

#include <nvtarnix/Language.h>

#include "TestMain.h"
#include "WindowVisit.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeWidget>

using namespace nvtarnix;
using namespace nvtarnix::editor;

namespace {

const QList<int> kLanguages = {GreekLanguage, EnglishLanguage};

bool hasGreek(const QString &text)
{
    static const QRegularExpression greek(QStringLiteral("[\\x{0370}-\\x{03FF}]"));
    return greek.match(text).hasMatch();
}

// The catalog's functions as the engine lists them: interface, name, parameters.
QVector<CatalogInterface> builtinCatalog()
{
    QVector<CatalogInterface> interfaces;
    for (const vbscript::CatalogListing &l : vbscript::BuiltinRegistry::standard().catalog()) {
        const QString key = QLatin1String(vbscript::catalogGroupInfo(l.entry.group).key);
        if (interfaces.isEmpty() || interfaces.last().key != key)
            interfaces.append(CatalogInterface{key, QLatin1String(vbscript::catalogGroupInfo(l.entry.group).caption), {}});
        const QString declaration = l.name + QLatin1Char('(') + QLatin1String(l.entry.parameters) + QLatin1Char(')');
        interfaces.last().functions.append(CatalogFunction{key, l.name, declaration, declaration});
    }
    return interfaces;
}

QStringList namesOf(const FunctionGroup &group)
{
    QStringList names;
    for (const CatalogFunction &f : group.functions)
        names.append(f.name);
    return names;
}

// The window's owner with guided editing on: what the host option will give.
class GuidedOwner final : public PlainOwner
{
public:
    bool guidedEditing() const override { return m_guided; }

    bool m_guided = true;
};

QString catalogText()
{
    QFile file(QStringLiteral(":/nvtarnix/functions.xml"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

} // namespace

class tst_FunctionReference : public QObject
{
    Q_OBJECT
private slots:
    void init() { setUserInterfaceLanguage(GreekLanguage); InitLanguage(GreekLanguage); }

    void everyCatalogFunctionIsDescribed();
    void examplesRun_data();
    void examplesRun();
    void offeredInRule_data();
    void offeredInRule();
    void groupsAsSpecifiedWithoutGuidance();
    void categoriesWhenGuided();
    void treeWhenGuided();
    void textsOfTheReference();
    void helpLineWhenGuided();
    void toolTipAndHintInTheWindow();
};

void tst_FunctionReference::everyCatalogFunctionIsDescribed()
{
    const FunctionReference &reference = FunctionReference::instance();
    const QList<int> languages = reference.languages();
    QCOMPARE(QSet<int>(languages.begin(), languages.end()), QSet<int>(kLanguages.begin(), kLanguages.end()));
    QStringList catalogNames;
    for (const CatalogInterface &i : builtinCatalog()) {
        for (const CatalogFunction &f : i.functions) {
            catalogNames.append(f.name);
            QVERIFY2(reference.category(f.name), qPrintable(f.name));
            for (const int language : kLanguages) {
                const auto entry = reference.find(f.name, language);
                QVERIFY2(entry, qPrintable(f.name));
                QVERIFY2(!entry->summary.isEmpty(), qPrintable(f.name));
                // Greek in the Greek reference, none in the English one.
                QCOMPARE(hasGreek(entry->summary), language == GreekLanguage);
                QCOMPARE(entry->parameters.size(), declaredParameters(f.declaration).size());
                for (const QString &meaning : entry->parameters)
                    QVERIFY2(!meaning.trimmed().isEmpty(), qPrintable(f.name));
            }
        }
    }
    QCOMPARE(catalogNames.size(), 109);
    // Nothing described that the catalog does not list.
    catalogNames.sort(Qt::CaseInsensitive);
    QCOMPARE(reference.names(), catalogNames);
}

void tst_FunctionReference::examplesRun_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : FunctionReference::instance().names())
        QTest::newRow(qPrintable(name)) << name;
}

void tst_FunctionReference::examplesRun()
{
    QFETCH(QString, name);
    const auto entry = FunctionReference::instance().find(name, EnglishLanguage);
    QVERIFY(entry);
    QVERIFY2(entry->example.contains(name, Qt::CaseInsensitive), "the example shows its own function");
    for (const int language : kLanguages) {
        vbscript::ScriptControl engine;
        engine.setLanguage(QStringLiteral("VBScript"));
        engine.setLocale(vbscript::ScriptLocale::fromLcid(language));
        engine.setUiCallback([](const vbscript::UiRequest &request) {
            return request.kind == vbscript::UiRequest::InputBox ? vbscript::Variant(QStringLiteral("Anna"))
                                                                 : vbscript::Variant(qint16(1));
        });
        int number = 0;
        try {
            if (entry->statement)
                engine.executeStatement(entry->example);
            else
                engine.eval(entry->example);
        } catch (const vbscript::ScriptError &e) {
            number = e.number();
        }
        QCOMPARE(number, entry->raises);
    }
}

void tst_FunctionReference::offeredInRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("offered");
    for (const char *name : {"Randomize", "Timer", "InputBox", "MsgBox", "CreateObject", "GetObject", "Execute",
                             "ExecuteGlobal", "Eval", "GetRef", "LoadPicture", "Erase", "Clear", "Raise"})
        QTest::newRow(name) << QString::fromLatin1(name) << false;
    QTest::newRow("letter case") << "msgbox" << false;
    QTest::newRow("DateDiff") << "DateDiff" << true;
    QTest::newRow("string") << "string" << true;
    QTest::newRow("Now") << "Now" << true;
}

void tst_FunctionReference::offeredInRule()
{
    QFETCH(QString, name);
    QFETCH(bool, offered);
    QCOMPARE(isOfferedInRule(name), offered);
}

void tst_FunctionReference::groupsAsSpecifiedWithoutGuidance()
{
    const QVector<CatalogInterface> catalog = builtinCatalog();
    const QVector<FunctionGroup> groups = categoriesFor(catalog, false);
    QCOMPARE(groups.size(), 2);
    QCOMPARE(groups.at(0).key, QStringLiteral("GlobalObj"));
    QCOMPARE(groups.at(0).caption, QStringLiteral("Global Functions"));
    QCOMPARE(groups.at(0).functions.size(), 107);
    QCOMPARE(groups.at(0).functions.first().name, QStringLiteral("CCur"));
    QCOMPARE(groups.at(1).caption, QStringLiteral("Error Functions"));
    QCOMPARE(namesOf(groups.at(1)), (QStringList{"Clear", "Raise"}));
}

void tst_FunctionReference::categoriesWhenGuided()
{
    QVector<CatalogInterface> catalog = builtinCatalog();
    // A host's own functions keep their interface, even one named as a
    // built-in that guided editing leaves out.
    catalog.append(CatalogInterface{"Host", "Our functions", {{"Host", "MsgBox", "MsgBox(text)", "MsgBox(text)"},
                                                              {"Host", "Margin", "Margin(a)", "Margin(a)"}}});
    const QVector<FunctionGroup> groups = categoriesFor(catalog, true);
    QStringList captions;
    int builtins = 0;
    for (const FunctionGroup &g : groups) {
        captions.append(g.caption);
        if (g.key.startsWith(QLatin1Char('#'))) {
            builtins += int(g.functions.size());
            QStringList names = namesOf(g);
            QStringList sorted = names;
            sorted.sort(Qt::CaseInsensitive);
            QCOMPARE(names, sorted);
            for (const QString &name : names)
                QVERIFY2(isOfferedInRule(name), qPrintable(name));
        }
    }
    QCOMPARE(captions, (QStringList{"Κείμενο", "Ημερομηνία και ώρα", "Αριθμοί", "Μετατροπές", "Έλεγχοι", "Άλλες",
                                    "Our functions"}));
    QCOMPARE(builtins, 109 - 14);
    QVERIFY(namesOf(groups.at(0)).contains("Left"));
    QVERIFY(namesOf(groups.at(1)).contains("DateDiff"));
    QVERIFY(namesOf(groups.at(2)).contains("Round"));
    QVERIFY(namesOf(groups.at(3)).contains("CLng"));
    QVERIFY(namesOf(groups.at(4)).contains("IsNull"));
    QCOMPARE(namesOf(groups.last()), (QStringList{"MsgBox", "Margin"}));

    InitLanguage(EnglishLanguage);
    setUserInterfaceLanguage(EnglishLanguage);
    QCOMPARE(categoriesFor(catalog, true).at(1).caption, QStringLiteral("Date and time"));
}

void tst_FunctionReference::treeWhenGuided()
{
    const QString text = catalogText();
    QVERIFY(!text.isEmpty());
    WordList words;
    const QVector<TreeNode> plain = buildFunctionTree("Functions", text, words, false);
    QCOMPARE(plain.at(1).text, QStringLiteral("Global Functions"));
    QCOMPARE(plain.size(), 1 + 2 + 109);
    WordList guidedWords;
    const QVector<TreeNode> guided = buildFunctionTree("Functions", text, guidedWords, true);
    QCOMPARE(guided.size(), 1 + 6 + 95);
    QCOMPARE(guided.at(1).text, QStringLiteral("Κείμενο"));
    for (const TreeNode &node : guided) {
        QVERIFY2(node.key != "MsgBox" && node.key != "Raise" && node.key != "ErrObj", qPrintable(node.key));
    }
}

void tst_FunctionReference::textsOfTheReference()
{
    const auto dateDiff = FunctionReference::instance().find("datediff", GreekLanguage);
    QVERIFY(dateDiff);
    QCOMPARE(exampleResult(*dateDiff, GreekLanguage), QStringLiteral("59"));
    const QString line = referenceHelpLine(*dateDiff, GreekLanguage);
    QVERIFY(line.startsWith(dateDiff->summary + QLatin1Char('\n')));
    QVERIFY2(line.endsWith(QStringLiteral("Παράδειγμα: το DateDiff(\"d\", #2025-01-01#, #2025-03-01#) δίνει 59")),
             qPrintable(line));
    // The interval codes are spelt out, in the language asked for.
    QVERIFY(dateDiff->parameters.first().contains(QStringLiteral("\"d\" ημέρα")));
    const auto english = FunctionReference::instance().find("DateDiff", EnglishLanguage);
    QVERIFY(english->parameters.first().contains(QStringLiteral("\"d\" day")));

    // A value in the language's formats; a text in quotes; no value for a
    // statement or for an example that asks the user.
    const auto round = FunctionReference::instance().find("Round", GreekLanguage);
    QCOMPARE(exampleResult(*round, GreekLanguage), QStringLiteral("3,14"));
    QCOMPARE(exampleResult(*round, EnglishLanguage), QStringLiteral("3.14"));
    QCOMPARE(exampleResult(*FunctionReference::instance().find("Left", EnglishLanguage), EnglishLanguage),
             QStringLiteral("\"Ath\""));
    QCOMPARE(exampleResult(*FunctionReference::instance().find("Erase", EnglishLanguage), EnglishLanguage), QString());
    QCOMPARE(exampleResult(*FunctionReference::instance().find("MsgBox", EnglishLanguage), EnglishLanguage), QString());

    const QStringList tip = referenceParagraphs(*english, "DateDiff(interval, date1, date2, firstdayofweek, firstdayofyear)",
                                                EnglishLanguage);
    QCOMPARE(tip.size(), 3);
    QVERIFY2(tip.at(1).startsWith(QStringLiteral("interval: the unit: \"yyyy\" year")), qPrintable(tip.at(1)));
    QCOMPARE(tip.at(1).count(QLatin1Char('\n')), 4);
    QVERIFY(tip.at(2).startsWith(QStringLiteral("Example: DateDiff(")));

    QCOMPARE(hintHtml("Left(string, length)", 1, "how many <characters>"),
             QStringLiteral("Left(string, <b>length</b>)<br>how many &lt;characters&gt;"));
}

void tst_FunctionReference::helpLineWhenGuided()
{
    QTreeWidget tree;
    WordList words;
    fillTree(&tree, buildFunctionTree("Functions", catalogText(), words, true), functionImages());
    GuidedOwner owner;
    EditorSession guided(&owner, true, {}, nullptr, &tree);
    const QTreeWidgetItem *left = guided.functionNode("Left");
    QVERIFY(left);
    const auto entry = FunctionReference::instance().find("Left", GreekLanguage);
    QCOMPARE(guided.nodeHelpLine(left, HelpKind::Function), referenceHelpLine(*entry, GreekLanguage));
    // Completion offers what the tree offers.
    QVERIFY(guided.completionEntries().functionInsertions.contains("Left("));
    QVERIFY(!guided.completionEntries().functionInsertions.contains("MsgBox("));
    QVERIFY(!guided.functionNode("Raise"));

    // Without guidance the help line says what it always said.
    owner.m_guided = false;
    EditorSession plain(&owner, true, {}, nullptr, &tree);
    QVERIFY(plain.nodeHelpLine(left, HelpKind::Function).startsWith(QStringLiteral("Κάνοντας διπλό κλικ")));
}

void tst_FunctionReference::toolTipAndHintInTheWindow()
{
    auto builder = makeAidsBuilder();
    QString tip, hint;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *tree = testsupport::child<QTreeWidget>(w, "tvFunctions");
        const auto found = tree->findItems("DateDiff", Qt::MatchStartsWith | Qt::MatchRecursive);
        if (!found.isEmpty()) {
            tree->scrollToItem(found.first());
            const QPoint at = tree->visualItemRect(found.first()).center();
            QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
            QApplication::sendEvent(tree->viewport(), &help);
            QTextDocument document;
            document.setHtml(QToolTip::text());
            tip = document.toPlainText();
            QToolTip::hideText();
        }
        auto *script = testsupport::child<QPlainTextEdit>(w, "txtScript");
        script->setFocus();
        script->setPlainText("DateDiff(\"d\", ");
        QTextCursor cursor = script->textCursor();
        cursor.movePosition(QTextCursor::End);
        script->setTextCursor(cursor);
        QTextDocument document;
        document.setHtml(testsupport::child<QLabel>(w, "lblArgumentHint")->text());
        hint = document.toPlainText();
        testsupport::press(w, "cmdCancel");
    });
    builder->Edit();
    const auto entry = FunctionReference::instance().find("DateDiff", GreekLanguage);
    QVERIFY2(tip.contains(entry->summary), qPrintable(tip));
    QVERIFY2(tip.contains(QStringLiteral("Παράδειγμα: το DateDiff(")), qPrintable(tip));
    QVERIFY2(hint.contains(entry->parameters.at(1)), qPrintable(hint));
}

NVTARNIX_TEST_CLASS(tst_FunctionReference)
#include "tst_functionreference.moc"
