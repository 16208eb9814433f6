#include "editor/CallAtCaret.h"
#include "editor/Completion.h"
#include "editor/NameSuggestion.h"
#include "editor/ScriptProblems.h"
#include "editor/ScriptSpans.h"
#include "support/SearchFolding.h"
#include "editor/TreeFilter.h"

#include "TestMain.h"

#include <QTest>

using namespace nvtarnix::editor;
using nvtarnix::containsAtWordStart;
using nvtarnix::foldForSearch;

// The window-free rules under the editing aids.
class tst_AidLogic : public QObject
{
    Q_OBJECT
private slots:
    void folding_data();
    void folding();
    void wordStart_data();
    void wordStart();
    void filterVisibility_data();
    void filterVisibility();
    void spans_data();
    void spans();
    void insideSpanAtCaret_data();
    void insideSpanAtCaret();
    void nearestName_data();
    void nearestName();
    void problems_data();
    void problems();
    void completionContext_data();
    void completionContext();
    void completionMatching_data();
    void completionMatching();
    void argumentAtCaret_data();
    void argumentAtCaret();
    void hintText_data();
    void hintText();
    void parentheses_data();
    void parentheses();
};

void tst_AidLogic::folding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("found");
    QTest::newRow("greek accent and case") << "Όνομα" << "ονομα" << true;
    QTest::newRow("greek upper without accent") << "όνομα πελάτη" << "ΠΕΛΑΤΗ" << true;
    QTest::newRow("diaeresis") << "Προϋπολογισμός" << "προυπολογισμος" << true;
    QTest::newRow("final sigma") << "Πελάτης" << "πελατησ" << true;
    QTest::newRow("latin letters are not greek") << "Όνομα" << "ONOMA" << false;
    QTest::newRow("latin accents") << "Café Total" << "CAFE" << true;
    QTest::newRow("plain ascii") << "Customer.Name" << "r.na" << true;
    QTest::newRow("missing") << "Customer" << "cost" << false;
}

void tst_AidLogic::folding()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, found);
    QCOMPARE(foldForSearch(text).contains(foldForSearch(needle)), found);
}

void tst_AidLogic::wordStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("atWordStart");
    QTest::newRow("first word") << "customer.name" << "cus" << true;
    QTest::newRow("after the dot") << "customer.name" << "na" << true;
    QTest::newRow("after a blank") << "order date" << "da" << true;
    QTest::newRow("inside only") << "customer.name" << "ame" << false;
    QTest::newRow("second occurrence at a word") << "banana nab" << "na" << true;
}

void tst_AidLogic::wordStart()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, atWordStart);
    QCOMPARE(containsAtWordStart(text, needle), atWordStart);
}

void tst_AidLogic::filterVisibility_data()
{
    // root(0) - group a(1) - x(2), y(3); group b(4) - z(5); w(6) under root
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty shows all") << "" << "1111111";
    QTest::newRow("leaf keeps its group") << "yy" << "1101000";
    QTest::newRow("group match shows its children") << "bb" << "1000110";
    QTest::newRow("leaf under root") << "ww" << "1000001";
    QTest::newRow("nothing keeps the root") << "qq" << "1000000";
    QTest::newRow("root text is not searched") << "root" << "1000000";
}

void tst_AidLogic::filterVisibility()
{
    QFETCH(QString, needle);
    QFETCH(QString, shown);
    const QVector<FilterNode> nodes{{-1, "root"}, {0, "aa"}, {1, "xx"}, {1, "yy"}, {0, "bb"}, {4, "zz"}, {0, "ww"}};
    QString flags;
    for (bool v : visibleNodes(nodes, needle))
        flags += v ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(flags, shown);
}

void tst_AidLogic::spans_data()
{
    // One letter per character: s string, r reference, c comment, . code.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kinds");
    QTest::newRow("string with doubled quote") << R"(a & "x""]" & b)" << "....ssssss....";
    QTest::newRow("bracket inside a string") << R"("[A]" & [B])" << "sssss...rrr";
    QTest::newRow("quote inside a reference") << R"([A"B] & "x")" << "rrrrr...sss";
    QTest::newRow("unclosed string ends at the line") << "\"ab\n[C]" << "sss.rrr";
    QTest::newRow("comments") << "1 ' \"x\"\n2 Rem y\nremark" << "..ccccc...ccccc.......";
}

void tst_AidLogic::spans()
{
    QFETCH(QString, text);
    QFETCH(QString, kinds);
    QString seen(text.size(), QLatin1Char('.'));
    for (const ScriptSpan &span : scriptSpans(text)) {
        const char letter = span.kind == ScriptSpan::String ? 's' : span.kind == ScriptSpan::Reference ? 'r' : 'c';
        for (qsizetype i = span.start; i < span.end(); ++i)
            seen[i] = QLatin1Char(letter);
    }
    QCOMPARE(seen, kinds);
}

void tst_AidLogic::insideSpanAtCaret_data()
{
    // | marks the caret.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");  // -1 for code
    QTest::newRow("typing in a string") << R"(Len("ab|)" << int(ScriptSpan::String);
    QTest::newRow("after the closing quote") << R"(Len("ab"|)" << -1;
    QTest::newRow("after a doubled quote") << R"("a""|)" << int(ScriptSpan::String);
    QTest::newRow("typing a reference") << "1 + [Cus|" << int(ScriptSpan::Reference);
    QTest::newRow("after a reference") << "[A]|" << -1;
    QTest::newRow("at the start") << R"(|"a")" << -1;
}

void tst_AidLogic::insideSpanAtCaret()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    const qsizetype caret = text.indexOf(QLatin1Char('|'));
    text.remove(caret, 1);
    const QList<ScriptSpan> spans = scriptSpans(text);
    const ScriptSpan *span = spanBefore(spans, caret);
    QCOMPARE(span ? int(span->kind) : -1, kind);
}

void tst_AidLogic::nearestName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("nearest");
    QTest::newRow("one letter missing") << "[Customer.Nme]" << "[Customer.Name]";
    QTest::newRow("letter case") << "[customer.city]" << "[Customer.City]";
    QTest::newRow("greek without accent") << "[Πελατης.Ονομα]" << "[Πελάτης.Όνομα]";
    QTest::newRow("letter dropped in the group") << "[Custmer.Name]" << "[Customer.Name]";
    QTest::newRow("first of equals") << "[Customer.Xity]" << "[Customer.City]";
    QTest::newRow("nothing alike") << "[Q]" << "";
}

void tst_AidLogic::nearestName()
{
    QFETCH(QString, name);
    QFETCH(QString, nearest);
    const NameSuggestion suggestion(
        {"[Customer.Name]", "[Customer.City]", "[Customer.Mity]", "[Πελάτης.Όνομα]", "[Total]", "[Order.Date]"});
    QCOMPARE(suggestion.nearest(name), nearest);
    QCOMPARE(editDistance(u"kitten", u"sitting", 10), 3);
    QCOMPARE(editDistance(u"kitten", u"sitting", 2), 3);
}

void tst_AidLogic::problems_data()
{
    // The marked characters: u unknown reference, x syntax error.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("suggestion");
    QTest::newRow("known reference") << "[Total] + 1" << "..........." << "";
    QTest::newRow("misspelt reference") << "[Totl] + 1" << "uuuuuu...." << "[Total]";
    QTest::newRow("reference in a string is text") << R"("[Totl]" & 1)" << "............" << "";
    QTest::newRow("letter case counts") << "[total]" << "uuuuuuu" << "[Total]";
    QTest::newRow("missing operand") << "[Total] +" << "........x" << "";
    QTest::newRow("stray word") << "1 + 2 foo" << "......xxx" << "";
    QTest::newRow("a line ends the expression") << "1 +\n2" << "..x.." << "";
    QTest::newRow("both") << "[Totl] +" << "uuuuuu.x" << "[Total]";
}

void tst_AidLogic::problems()
{
    QFETCH(QString, text);
    QFETCH(QString, marks);
    QFETCH(QString, suggestion);
    const QStringList names{"[Total]", "[Customer.Name]"};
    const QVector<ScriptProblem> found =
        findProblems(text, QSet<QString>(names.begin(), names.end()), NameSuggestion(names), 1033);
    QString seen(text.size(), QLatin1Char('.'));
    QString suggested;
    for (const ScriptProblem &problem : found) {
        for (qsizetype i = problem.start; i < problem.start + problem.length; ++i)
            seen[i] = problem.kind == ScriptProblem::Syntax ? QLatin1Char('x') : QLatin1Char('u');
        if (problem.kind == ScriptProblem::Syntax)
            QVERIFY(!problem.message.isEmpty());
        else
            suggested = problem.suggestion;
    }
    QCOMPARE(seen, marks);
    QCOMPARE(suggested, suggestion);
}

void tst_AidLogic::completionContext_data()
{
    // | marks the caret; what is offered, what it replaces and what was typed.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("replaced");
    QTest::addColumn<QString>("typed");
    using R = CompletionRequest;
    QTest::newRow("just the bracket") << "1 + [|" << int(R::Variable) << "[" << "";
    QTest::newRow("part of a reference") << "1 + [Cust.na|" << int(R::Variable) << "[Cust.na" << "Cust.na";
    QTest::newRow("inside a closed reference") << "[Cu|stomer] & 1" << int(R::Variable) << "[Customer]" << "Cu";
    QTest::newRow("bracket in a string") << R"(Len("[Cu|)" << int(R::None) << "" << "";
    QTest::newRow("after a closed string") << R"("[x]" & [Cu|)" << int(R::Variable) << "[Cu" << "Cu";
    QTest::newRow("bracket in a comment") << "1 ' [Cu|" << int(R::None) << "" << "";
    QTest::newRow("three letters") << "1 + UCa|" << int(R::Function) << "UCa" << "UCa";
    QTest::newRow("two letters") << "1 + UC|" << int(R::None) << "" << "";
    QTest::newRow("letters in a string") << R"("UCase|)" << int(R::None) << "" << "";
    QTest::newRow("inside a word") << "UCa|se" << int(R::None) << "" << "";
    QTest::newRow("a number") << "123|" << int(R::None) << "" << "";
    QTest::newRow("a member") << "Err.Num|" << int(R::None) << "" << "";
    QTest::newRow("after a reference") << "[A]|" << int(R::None) << "" << "";
}

void tst_AidLogic::completionContext()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QString, replaced);
    QFETCH(QString, typed);
    const qsizetype caret = text.indexOf(QLatin1Char('|'));
    text.remove(caret, 1);
    const CompletionRequest request = completionAt(text, caret);
    QCOMPARE(int(request.kind), kind);
    if (kind == CompletionRequest::None)
        return;
    QCOMPARE(text.mid(request.start, request.end - request.start), replaced);
    QCOMPARE(request.typed, typed);
}

void tst_AidLogic::completionMatching_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("found");
    QTest::newRow("everything") << "" << "0 1 2 3 4";
    QTest::newRow("word start before inside") << "na" << "0 2";
    QTest::newRow("the group matches too") << "cust" << "0 1";
    QTest::newRow("group and caption") << "cu.ci" << "1";
    QTest::newRow("a dot needs a group") << "total." << "";
    QTest::newRow("accents folded") << "ονομ" << "3";
    QTest::newRow("no match") << "zz" << "";
}

void tst_AidLogic::completionMatching()
{
    QFETCH(QString, query);
    QFETCH(QString, found);
    const CompletionMatcher matcher({"Customer.Name", "Customer.City", "Order.Financial", "Πελάτης.Όνομα", "Total"});
    QStringList indexes;
    for (int i : matcher.matches(query, 10))
        indexes << QString::number(i);
    QCOMPARE(indexes.join(QLatin1Char(' ')), found);
    QCOMPARE(matcher.matches(QString(), 2).size(), 2);
}

void tst_AidLogic::argumentAtCaret_data()
{
    // | marks the caret; "" when the caret is in no known call.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("call");
    QTest::newRow("first argument") << "Mid(|" << "Mid 0";
    QTest::newRow("third argument") << "Mid(a, b, |" << "Mid 2";
    QTest::newRow("nested call counts its own") << "Mid(Left(a, 2|" << "Left 1";
    QTest::newRow("after a nested call") << "Mid(Left(a, 2), |" << "Mid 1";
    QTest::newRow("commas in a string") << R"(Mid("a,b,c", |)" << "Mid 1";
    QTest::newRow("caret in a string") << R"(Mid(x, "a,b|)" << "Mid 1";
    QTest::newRow("parenthesis in a string") << R"(Mid("(", |)" << "Mid 1";
    QTest::newRow("comma in a reference") << "Mid([a,b], |" << "Mid 1";
    QTest::newRow("grouping is looked through") << "Mid((1 + 2|" << "Mid 0";
    QTest::newRow("unknown function is looked through") << "Mid(a, Foo(1, |" << "Mid 1";
    QTest::newRow("letter case") << "mid(a, |" << "mid 1";
    QTest::newRow("blank before the parenthesis") << "Mid (a, |" << "Mid 1";
    QTest::newRow("closed call") << "Mid(a, b)|" << "";
    QTest::newRow("no call") << "1 + |" << "";
}

void tst_AidLogic::argumentAtCaret()
{
    QFETCH(QString, text);
    QFETCH(QString, call);
    const qsizetype caret = text.indexOf(QLatin1Char('|'));
    text.remove(caret, 1);
    const auto found = callAtCaret(text, caret, [](const QString &name) {
        return QStringList{"mid", "left"}.contains(name.toLower());
    });
    QCOMPARE(found ? QStringLiteral("%1 %2").arg(found->function).arg(found->argument) : QString(), call);
}

void tst_AidLogic::hintText_data()
{
    QTest::addColumn<QString>("declaration");
    QTest::addColumn<int>("argument");
    QTest::addColumn<QString>("html");
    QTest::newRow("first") << "Mid(string, start, length)" << 0 << "Mid(<b>string</b>, start, length)";
    QTest::newRow("last") << "Mid(string, start, length)" << 2 << "Mid(string, start, <b>length</b>)";
    QTest::newRow("past the last") << "Mid(string, start, length)" << 3 << "Mid(string, start, length)";
    QTest::newRow("optional part") << "InStr([start, ]string1, string2)" << 1
                                   << "InStr([start, ]string1, <b>string2</b>)";
    QTest::newRow("escaped") << "Cmp(a<b, c)" << 1 << "Cmp(a&lt;b, <b>c</b>)";
    QTest::newRow("no parameters") << "Now" << 0 << "Now";
}

void tst_AidLogic::hintText()
{
    QFETCH(QString, declaration);
    QFETCH(int, argument);
    QFETCH(QString, html);
    QCOMPARE(hintHtml(declaration, argument), html);
}

void tst_AidLogic::parentheses_data()
{
    // | marks the caret; the two positions, or "" for none.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pair");
    QTest::newRow("before an opening") << "a |(b)" << "2 4";
    QTest::newRow("after a closing") << "a (b)|" << "4 2";
    QTest::newRow("after takes the one after first") << "(a)|(b)" << "3 5";
    QTest::newRow("nested") << "(Len(a|))" << "6 4";
    QTest::newRow("string parenthesis ignored") << R"x(|(")"))x" << "0 4";
    QTest::newRow("unmatched") << "|(a" << "";
    QTest::newRow("not next to one") << "(a |b)" << "";
}

void tst_AidLogic::parentheses()
{
    QFETCH(QString, text);
    QFETCH(QString, pair);
    const qsizetype caret = text.indexOf(QLatin1Char('|'));
    text.remove(caret, 1);
    const auto found = parenthesisPair(text, caret);
    QCOMPARE(found ? QStringLiteral("%1 %2").arg(found->first).arg(found->second) : QString(), pair);
}

NVTARNIX_TEST_CLASS(tst_AidLogic)
#include "tst_aidlogic.moc"
