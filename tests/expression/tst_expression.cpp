// nvtarnix::Expression as a host sees it: typing in and out, errors with
// their numbers and places, many threads against one (over rows of their own
// and over the same rows), what a host keeps outliving the rule and the row,
// the time limit.

#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>

#include <QPoint>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include "AddressSpaceCap.h"
#include "ErrorNumber.h"
#include "ResidentPeak.h"
#include "TestMain.h"
#include "TsvTable.h"

#include <algorithm>
#include <thread>

using nvtarnix::Expression;
using nvtarnix::ExpressionOptions;

namespace {

ExpressionOptions english(int timeoutMs = 5000)
{
    return {QLocale(QLocale::English, QLocale::UnitedStates), timeoutMs};
}

QVariant evaluate(const QString &text, const QVariantList &values = {})
{
    return Expression::compile(text, english()).evaluate(values);
}

} // namespace

class tst_Expression : public QObject
{
    Q_OBJECT

private slots:
    void valuesGoingIn_data();
    void valuesGoingIn();
    void dateThatIsNoDay();
    void sqlNullIsNull();
    void resultsComingOut_data();
    void resultsComingOut();
    void objectsDoNotComeOut();
    void arraysOfMoreDimensions();
    void variablesAreTheFreeNames_data();
    void variablesAreTheFreeNames();
    void bindingByPositionAndByName();
    void compileErrorsCarryTheirPlace_data();
    void compileErrorsCarryTheirPlace();
    void runtimeErrors_data();
    void runtimeErrors();
    void nothingCarriesOver();
    void localeOfTheOptions();
    void safetyOfTheCheck_data();
    void safetyOfTheCheck();
    void timeLimitLeavesTheExpressionUsable();
    void memoryBudgetOfTheOptions_data();
    void memoryBudgetOfTheOptions();
    void hostileMemoryRules_data();
    void hostileMemoryRules();
    void refusedAllocationIsOutOfMemory();
    void dictionaryCyclesGoWithTheEvaluation();
    void manyThreadsAgreeWithOne();
    void keptValuesOutliveRuleAndRow_data();
    void keptValuesOutliveRuleAndRow();
    void nullExpression();
};

void tst_Expression::valuesGoingIn_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<QString>("text");  // CStr in en-US, or the error number

    QTest::newRow("invalid is Empty") << QVariant() << "Empty" << "";
    QTest::newRow("null int is Null") << QVariant(QMetaType::fromType<int>()) << "Null" << "94";
    QTest::newRow("null string is Null") << QVariant(QMetaType::fromType<QString>()) << "Null" << "94";
    QTest::newRow("bool") << QVariant(true) << "Boolean" << "True";
    QTest::newRow("int") << QVariant(-7) << "Long" << "-7";
    QTest::newRow("short") << QVariant::fromValue<short>(12) << "Long" << "12";
    QTest::newRow("longlong that fits") << QVariant(qlonglong(2147483647)) << "Long" << "2147483647";
    QTest::newRow("longlong too wide") << QVariant(qlonglong(2147483648LL)) << "Double" << "2147483648";
    QTest::newRow("negative longlong too wide") << QVariant(qlonglong(-2147483649LL)) << "Double" << "-2147483649";
    QTest::newRow("uint too wide") << QVariant(uint(4000000000u)) << "Double" << "4000000000";
    QTest::newRow("ulonglong") << QVariant(qulonglong(5)) << "Long" << "5";
    QTest::newRow("float") << QVariant(1.5f) << "Single" << "1.5";
    QTest::newRow("double") << QVariant(2.25) << "Double" << "2.25";
    QTest::newRow("string") << QVariant(QStringLiteral("Όνομα")) << "String" << "Όνομα";
    QTest::newRow("utf-8 bytes") << QVariant(QByteArray("Κύπρος")) << "String" << "Κύπρος";
    QTest::newRow("date") << QVariant(QDate(2000, 10, 28)) << "Date" << "10/28/2000";
    QTest::newRow("date and time") << QVariant(QDateTime(QDate(2000, 10, 28), QTime(14, 45, 45))) << "Date"
                                   << "10/28/2000 2:45:45 PM";
    QTest::newRow("point raises 13") << QVariant(QPoint(1, 2)) << "13" << "13";
    QTest::newRow("time raises 13") << QVariant(QTime(1, 2)) << "13" << "13";
}

void tst_Expression::valuesGoingIn()
{
    QFETCH(QVariant, value);
    QFETCH(QString, typeName);
    QFETCH(QString, text);

    const auto outcome = [&](const QString &expression) {
        const nvtarnix::Error e = testsupport::raisedError([&] { evaluate(expression, {value}); }).value_or(nvtarnix::Error(0, {}, {}));
        return e.number() ? QString::number(e.number()) : evaluate(expression, {value}).toString();
    };
    QCOMPARE(outcome(QStringLiteral("TypeName([X])")), typeName);
    QCOMPARE(outcome(QStringLiteral("CStr([X])")), text);
}

// PostgreSQL's 'infinity' reaches a host as a date that is no day: it is a
// value later than every day, as the database compares it.
void tst_Expression::dateThatIsNoDay()
{
    for (const QVariant &value : {QVariant(QDate()), QVariant(QDateTime())}) {
        QCOMPARE(evaluate(QStringLiteral("TypeName([X])"), {value}).toString(), QStringLiteral("Date"));
        QCOMPARE(evaluate(QStringLiteral("IsNull([X]) Or [X] <= #12/31/9999#"), {value}).toBool(), false);
        QCOMPARE(evaluate(QStringLiteral("Year([X])"), {value}).toInt(), 10000);
    }
}

void tst_Expression::sqlNullIsNull()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("nulls"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    QVERIFY(db.open());
    QSqlQuery query(db);
    QVERIFY(query.exec(QStringLiteral("SELECT NULL, 12, 'x', 2.5")));
    QVERIFY(query.next());
    const Expression rule = Expression::compile(
        QStringLiteral("IsNull([A]) And TypeName([B]) = \"Long\" And [C] = \"x\" And [D] = 2.5"), english());
    QCOMPARE(rule.evaluate(QVariantList{query.value(0), query.value(1), query.value(2), query.value(3)}),
             QVariant(true));
    query.finish();
    db.close();
}

void tst_Expression::resultsComingOut_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("Empty") << "Empty" << QVariant();
    QTest::newRow("Null") << "Null" << QVariant::fromValue(nullptr);
    QTest::newRow("Boolean") << "1 < 2" << QVariant(true);
    QTest::newRow("Byte") << "CByte(200)" << QVariant(200);
    QTest::newRow("Integer") << "-3" << QVariant(-3);
    QTest::newRow("Long") << "100000 * 3" << QVariant(300000);
    QTest::newRow("Single") << "CSng(1.5)" << QVariant(1.5f);
    QTest::newRow("Double") << "5 / 2" << QVariant(2.5);
    QTest::newRow("Currency") << "CCur(\"1.2345\")" << QVariant(1.2345);
    QTest::newRow("Date") << "#10/28/2000 14:45:45#"
                          << QVariant(QDateTime(QDate(2000, 10, 28), QTime(14, 45, 45)));
    QTest::newRow("day before the epoch") << "CDate(-1.5)" << QVariant(QDateTime(QDate(1899, 12, 29), QTime(12, 0)));
    QTest::newRow("String") << "\"a\" & 1" << QVariant(QStringLiteral("a1"));
    QTest::newRow("array") << "Array(1, \"b\", Null, Empty)"
                           << QVariant(QVariantList{1, QStringLiteral("b"), QVariant::fromValue(nullptr), QVariant()});
    QTest::newRow("empty array") << "Array()" << QVariant(QVariantList());
    QTest::newRow("array of arrays") << "Array(Array(1, 2), Split(\"x,y\", \",\"))"
                                     << QVariant(QVariantList{QVariantList{1, 2},
                                                              QVariantList{QStringLiteral("x"), QStringLiteral("y")}});
}

void tst_Expression::resultsComingOut()
{
    QFETCH(QString, expression);
    QFETCH(QVariant, expected);

    const QVariant actual = evaluate(expression);
    QCOMPARE(actual.metaType(), expected.metaType());
    QCOMPARE(actual, expected);
}

void tst_Expression::objectsDoNotComeOut()
{
    QCOMPARE(testsupport::errorNumber([] { evaluate(QStringLiteral("CreateObject(\"Scripting.Dictionary\")")); }), 13);
    QCOMPARE(testsupport::errorNumber([] { evaluate(QStringLiteral("Array(1, Nothing)")); }), 13);
}

void tst_Expression::arraysOfMoreDimensions()
{
    // g(i, j) comes out as list[i][j].
    const QVariant grid = evaluate(QStringLiteral(
        "Array(Execute(\"ReDim g(1, 2) : g(1, 0) = \"\"a\"\" : g(0, 2) = 5\"), Eval(\"g\"))(1)"));
    QCOMPARE(grid, QVariant(QVariantList{QVariantList{QVariant(), QVariant(), 5},
                                         QVariantList{QStringLiteral("a"), QVariant(), QVariant()}}));
}

void tst_Expression::variablesAreTheFreeNames_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QStringList>("variables");

    QTest::newRow("brackets and bare names are one") << "[CUST_NAME] > 3 And cust_name < 10"
                                                     << QStringList{"CUST_NAME"};
    QTest::newRow("first occurrence, as written") << "Len([C]) + b * [A] - [c] + B"
                                                  << QStringList{"C", "b", "A"};
    QTest::newRow("functions, constants and Err are not") << "Len(x) & vbCrLf & Err.Number & Now & Pi"
                                                          << QStringList{"x", "Pi"};
    QTest::newRow("display names with dots") << "[Customer.Name] & [Order.Amount]"
                                             << QStringList{"Customer.Name", "Order.Amount"};
    QTest::newRow("a name called like a function") << "Items(1) + 2" << QStringList{"Items"};
    QTest::newRow("literals only") << "1 + 2 = 3 Or Null Or True" << QStringList{};
    QTest::newRow("members are not variables") << "[Order].Total > 3" << QStringList{"Order"};
}

void tst_Expression::variablesAreTheFreeNames()
{
    QFETCH(QString, expression);
    QFETCH(QStringList, variables);
    QCOMPARE(Expression::compile(expression).variables(), variables);
}

void tst_Expression::bindingByPositionAndByName()
{
    const Expression rule = Expression::compile(QStringLiteral("[A] & \"|\" & [b] & \"|\" & IsEmpty([C])"), english());
    QCOMPARE(rule.evaluate(QVariantList{1, 2, 3}).toString(), QStringLiteral("1|2|False"));
    QCOMPARE(rule.evaluate(QVariantList{1}).toString(), QStringLiteral("1||True"));
    QCOMPARE(rule.evaluate(QVariantList{1, 2, 3, 4, 5}).toString(), QStringLiteral("1|2|False"));
    QCOMPARE(rule.evaluate(QVariantMap{{"a", 1}, {"B", 2}}).toString(), QStringLiteral("1|2|True"));
    QCOMPARE(rule.evaluate(QVariantMap{{"x", 1}}).toString(), QStringLiteral("||True"));
    // The spelling of the expression wins over another spelling of the name.
    QCOMPARE(rule.evaluate(QVariantMap{{"A", "exact"}, {"a", "other"}}).toString(), QStringLiteral("exact||True"));
    QCOMPARE(rule.evaluate(QVariantMap{{"b", "exact"}, {"B", "other"}}).toString(), QStringLiteral("|exact|True"));
}

void tst_Expression::compileErrorsCarryTheirPlace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");

    QTest::newRow("empty") << "" << 1002 << 1 << 0;
    QTest::newRow("incomplete") << "[A] >" << 1002 << 1 << 5;
    QTest::newRow("two expressions") << "[A] [B]" << 1025 << 1 << 4;
    QTest::newRow("unclosed parenthesis") << "Len([A]" << 1006 << 1 << 7;
    QTest::newRow("unterminated string") << "[A] = \"abc" << 1033 << 1 << 10;
    QTest::newRow("no line continues an expression") << "[A] +\r\n 2" << 1002 << 1 << 5;
    QTest::newRow("second line") << "[A]\r\n+ 2" << 1025 << 2 << 0;
    QTest::newRow("a statement") << "Dim x" << 1023 << 1 << 0;
}

void tst_Expression::compileErrorsCarryTheirPlace()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(int, line);
    QFETCH(int, column);

    const nvtarnix::Error e = testsupport::raisedError([&] { Expression::compile(text); }).value();
    QCOMPARE(e.number(), number);
    QCOMPARE(e.line(), line);
    QCOMPARE(e.column(), column);
    QVERIFY(!e.description().isEmpty());
    QCOMPARE(e.source(), QStringLiteral("Microsoft VBScript compilation error"));
}

void tst_Expression::runtimeErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");

    QTest::newRow("division by zero") << "[A] / [B]" << QVariantList{1, 0} << 11 << "Division by zero";
    QTest::newRow("type mismatch") << "[A] + 1" << QVariantList{"abc"} << 13 << "Type mismatch";
    QTest::newRow("null to a function") << "CLng([A])" << QVariantList{QVariant::fromValue(nullptr)} << 94
                                        << "Invalid use of Null: 'CLng'";
    QTest::newRow("bad argument") << "Left([A], -1)" << QVariantList{"abc"} << 5
                                  << "Invalid procedure call or argument: 'Left'";
    QTest::newRow("overflow") << "CInt([A])" << QVariantList{100000} << 6 << "Overflow: 'CInt'";
}

void tst_Expression::runtimeErrors()
{
    QFETCH(QString, text);
    QFETCH(QVariantList, values);
    QFETCH(int, number);
    QFETCH(QString, description);

    const Expression rule = Expression::compile(text, english());
    const nvtarnix::Error e = testsupport::raisedError([&] { rule.evaluate(values); }).value();
    QCOMPARE(e.number(), number);
    QCOMPARE(e.description(), description);
    QCOMPARE(e.line(), 1);
    QCOMPARE(e.source(), QStringLiteral("Microsoft VBScript runtime error"));
}

void tst_Expression::nothingCarriesOver()
{
    // Err, the random seed and names an Execute leaves behind are gone at
    // the next evaluation.
    const Expression random = Expression::compile(QStringLiteral("Rnd()"), english());
    QCOMPARE(random.evaluate(QVariantList{}), random.evaluate(QVariantList{}));
    const Expression defines = Expression::compile(
        QStringLiteral("IsEmpty(Eval(\"y\")) And ExecuteGlobal(\"y = 5\") = Empty"), english());
    QCOMPARE(defines.evaluate(QVariantList{}), QVariant(true));
    QCOMPARE(defines.evaluate(QVariantList{}), QVariant(true));
    const Expression setsLocale = Expression::compile(QStringLiteral("SetLocale(1032) & CStr(2.5)"), english());
    QCOMPARE(setsLocale.evaluate(QVariantList{}).toString(), QStringLiteral("10332,5"));
    QCOMPARE(setsLocale.evaluate(QVariantList{}).toString(), QStringLiteral("10332,5"));
    // Execute assigns to a variable of the rule for this run only.
    const Expression assigns = Expression::compile(QStringLiteral("Execute(\"[A] = [A] + 1\") & [A]"), english());
    QCOMPARE(assigns.evaluate(QVariantList{1}).toString(), QStringLiteral("2"));
    QCOMPARE(assigns.evaluate(QVariantList{1}).toString(), QStringLiteral("2"));
}

void tst_Expression::localeOfTheOptions()
{
    const ExpressionOptions greek{QLocale(QLocale::Greek, QLocale::Greece), 5000};
    QCOMPARE(Expression::compile(QStringLiteral("CStr([A])"), greek).evaluate(QVariantList{2.5}).toString(),
             QStringLiteral("2,5"));
    QCOMPARE(Expression::compile(QStringLiteral("CDbl([A]) * 2"), greek).evaluate(QVariantList{"1,25"}),
             QVariant(2.5));
    QCOMPARE(Expression::compile(QStringLiteral("Month(CDate([A]))"), greek).evaluate(QVariantList{"3/10/2020"}),
             QVariant(10));
    QCOMPARE(Expression::compile(QStringLiteral("Month(CDate([A]))"), english()).evaluate(QVariantList{"3/10/2020"}),
             QVariant(3));
}

void tst_Expression::safetyOfTheCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");

    QTest::newRow("MsgBox") << "MsgBox(\"hi\")" << 70;
    QTest::newRow("InputBox") << "InputBox(\"hi\")" << 70;
    QTest::newRow("file system") << "CreateObject(\"Scripting.FileSystemObject\")" << 429;
    QTest::newRow("shell") << "CreateObject(\"WScript.Shell\")" << 429;
    // F is a variable of the rule; Eval reads the function ExecuteGlobal made.
    QTest::newRow("endless recursion") << "ExecuteGlobal(\"Function F() : F = F() : End Function\") & Eval(\"F()\")"
                                       << 28;
    QTest::newRow("huge string") << "String(1000000000, \"x\")" << 14;
}

void tst_Expression::safetyOfTheCheck()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(testsupport::errorNumber([&] { evaluate(text); }), number);
}

void tst_Expression::timeLimitLeavesTheExpressionUsable()
{
    const Expression rule = Expression::compile(
        QStringLiteral("Execute(Left(\"Do : Loop\", 9 * [A])) & [B]"), english(200));
    const nvtarnix::Error e = testsupport::raisedError([&] { rule.evaluate(QVariantList{1, 1}); }).value();
    QCOMPARE(e.number(), -2147467260);
    QVERIFY2(e.description().contains(QLatin1String("time limit")), qPrintable(e.description()));
    QCOMPARE(rule.evaluate(QVariantList{0, 7}), QVariant(QStringLiteral("7")));
    QCOMPARE(testsupport::errorNumber([&] { rule.evaluate(QVariantList{1, 1}); }), -2147467260);
    QCOMPARE(rule.evaluate(QVariantList{0, 8}), QVariant(QStringLiteral("8")));
}

void tst_Expression::memoryBudgetOfTheOptions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("budget");
    QTest::addColumn<int>("number");
    const qint64 MB = 1024 * 1024;
    QTest::newRow("a text within") << "Len(Space(1000000) & [A])" << 4 * MB << 0;
    QTest::newRow("a text past") << "Len(Space(1000000) & [A])" << 2 * MB << 7;
    QTest::newRow("the default holds 60 MB") << "Len(Space(15000000) & Space(15000000) & [A])" << ExpressionOptions().memoryBudget << 0;
    QTest::newRow("an array past") << "UBound(Split(Space(100000) & [A]))" << 2 * MB << 7;
    QTest::newRow("code past") << "Eval(\"Len(\"\"\" & Space(100000) & [A] & \"\"\")\")" << 2 * MB << 7;
    QTest::newRow("code within") << "Eval(\"Len(\"\"\" & Space(100000) & [A] & \"\"\")\")" << 32 * MB << 0;
}

void tst_Expression::memoryBudgetOfTheOptions()
{
    QFETCH(QString, text);
    QFETCH(qint64, budget);
    QFETCH(int, number);
    ExpressionOptions options = english();
    options.memoryBudget = budget;
    const Expression rule = Expression::compile(text, options);
    for (int i = 0; i < 2; ++i)  // the same again: nothing is left charged
        QCOMPARE(testsupport::errorNumber([&] { rule.evaluate(QVariantList{1}); }), number);
    // Within the budget, the expression still answers after a refusal.
    QCOMPARE(Expression::compile(QStringLiteral("Len(Space(100) & [A])"), options).evaluate(QVariantList{1}), QVariant(101));
}

// The memory rules of the shared corpus of hostile rules: each raises its
// error (or returns a value, for 0) and the process grows by no more than
// the default budget and 64 MB.
void tst_Expression::hostileMemoryRules_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("timeoutMs");
    const QString path = QStringLiteral(HOSTILE_RULES "/memory.tsv");
    const testsupport::TsvTable table = testsupport::readTsv(
        path, {QStringLiteral("name"), QStringLiteral("rule"), QStringLiteral("error"), QStringLiteral("timeoutMs")});
    QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
    QVERIFY(!table.rows.isEmpty());
    for (const testsupport::TsvRow &row : table.rows) {
        // \t, \n and \\ stand for a tab, a line end and a backslash.
        QString rule;
        const QString &cell = row.cells[1];
        for (qsizetype i = 0; i < cell.size(); ++i) {
            const QChar next = i + 1 < cell.size() ? cell[i + 1] : QChar();
            if (cell[i] != QLatin1Char('\\') || (next != u't' && next != u'n' && next != u'\\')) {
                rule += cell[i];
                continue;
            }
            rule += next == u't' ? QLatin1Char('\t') : next == u'n' ? QLatin1Char('\n') : QLatin1Char('\\');
            ++i;
        }
        // A blank limit is the hostile-rule runner's: long enough that the
        // memory bound, not the clock, ends a row even on a busy machine.
        const int timeoutMs = row.cells[3].isEmpty() ? 20000 : row.cells[3].toInt();
        QTest::newRow(row.name(path).constData()) << rule << row.cells[2].toInt() << timeoutMs;
    }
}

void tst_Expression::hostileMemoryRules()
{
    QFETCH(QString, rule);
    QFETCH(int, number);
    QFETCH(int, timeoutMs);
    const Expression expression = Expression::compile(rule, english(timeoutMs));
    testsupport::ResidentPeak peak;
    QCOMPARE(testsupport::errorNumber([&] { expression.evaluate(QVariantList{}); }), number);
    const long boundMb = ExpressionOptions().memoryBudget / (1024 * 1024) + 64;
    if (peak.isReset())
        QVERIFY2(peak.growthMb() <= boundMb, qPrintable(QStringLiteral("grew %1 MB").arg(peak.growthMb())));
}

// An allocation the system refuses is 7 too: nothing but nvtarnix::Error
// leaves evaluate(), and the expression is usable again.
void tst_Expression::refusedAllocationIsOutOfMemory()
{
    ExpressionOptions options = english(-1);
    options.memoryBudget = std::numeric_limits<qint64>::max();
    const Expression rule = Expression::compile(
        QStringLiteral("Execute(\"Dim a(200): For i = 0 To 200: a(i) = Space(30000000) & i: Next\") & [A]"), options);
    {
        testsupport::AddressSpaceCap cap(512 * 1024 * 1024);
        if (!cap.isSet())
            QSKIP("the address space cannot be capped here");
        QCOMPARE(testsupport::errorNumber([&] { rule.evaluate(QVariantList{1}); }), 7);
    }
    QCOMPARE(Expression::compile(QStringLiteral("Len([A])"), options).evaluate(QVariantList{"abc"}), QVariant(3));
}

// Dictionaries a rule leaves holding each other are freed when its
// evaluation returns: a thousand evaluations do not keep a thousand cycles.
void tst_Expression::dictionaryCyclesGoWithTheEvaluation()
{
    const Expression rule = Expression::compile(
        QStringLiteral("Execute(\"Set d = CreateObject(\"\"Scripting.Dictionary\"\"): d.Add 1, d: "
                       "Set e = CreateObject(\"\"Scripting.Dictionary\"\"): e.Add d, e: d.Add 2, e: "
                       "d.Add 3, Space(1000000) & i\") & [A]"),
        english());
    testsupport::ResidentPeak peak;
    for (int i = 0; i < 1000; ++i)
        QCOMPARE(rule.evaluate(QVariantList{i}), QVariant(QString::number(i)));
    if (peak.isReset())
        QVERIFY2(peak.growthMb() < 100, qPrintable(QStringLiteral("grew %1 MB").arg(peak.growthMb())));
}

void tst_Expression::manyThreadsAgreeWithOne()
{
    // Rules that use the locale, the random seed, Err and Execute, so any
    // state leaking between threads or runs shows in the results.
    // Text rules whose results are the row's strings, literals, or both.
    const QStringList texts = {
        QStringLiteral("[A] > 1000 And [B] < 4 And Len([C]) > 3"),
        QStringLiteral("CStr([A] / 7) & \"|\" & UCase([C]) & \"|\" & Rnd()"),
        QStringLiteral("Execute(\"[B] = [B] * 2\") & FormatNumber([A], 2) & [B]"),
        QStringLiteral("Eval(\"[A] + [B]\") / ([B] - 2)"),
        QStringLiteral("IIf([B] > 2, Trim([C]), \"small \" & [C] & vbNullChar)"),
        QStringLiteral("Join(Array(Left([C], 3), \"lit\", Mid([C], 2), vbFormFeed), \"/\")"),
    };
    std::vector<Expression> rules;
    for (const QString &t : texts) {
        rules.push_back(Expression::compile(t, english()));
        rules.push_back(Expression::compile(t, {QLocale(QLocale::Greek, QLocale::Greece), 5000}));
    }
    const auto rowValues = [](int i) {
        return QVariantList{double(i * 37 % 2000), i % 6, QString(i % 7, QLatin1Char('x')) + QString::number(i)};
    };
    const auto outcome = [](const Expression &rule, const QVariantList &values) {
        try {
            return rule.evaluate(values).toString();
        } catch (const nvtarnix::Error &e) {
            return QStringLiteral("error %1").arg(e.number());
        }
    };
    constexpr int kRows = 2000;
    std::vector<QStringList> expected(rules.size());
    for (size_t r = 0; r < rules.size(); ++r)
        for (int i = 0; i < kRows; ++i)
            expected[r].append(outcome(rules[r], rowValues(i)));

    // Rows of one cache: every thread reads these same strings.
    std::vector<QVariantList> sharedRows;
    for (int i = 0; i < kRows; ++i)
        sharedRows.push_back(rowValues(i));

    constexpr int kThreads = 8;
    std::vector<std::vector<QStringList>> seen(kThreads, std::vector<QStringList>(rules.size()));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Each thread works on copies and on the originals, rules
            // interleaved; half of them on the shared rows, half on rows of
            // their own.
            const std::vector<Expression> copies = rules;
            for (int i = 0; i < kRows; ++i)
                for (size_t r = 0; r < rules.size(); ++r)
                    seen[t][r].append(outcome(t % 2 ? copies[r] : rules[r],
                                              t % 4 < 2 ? sharedRows[size_t(i)] : rowValues(i)));
        });
    }
    for (std::thread &th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t)
        for (size_t r = 0; r < rules.size(); ++r)
            QCOMPARE(seen[t][r], expected[r]);
}

void tst_Expression::keptValuesOutliveRuleAndRow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QVariant>("expected");  // an error as {number, source, description}

    QTest::newRow("the value") << "[A]" << "Customer-7" << QVariant(QStringLiteral("Customer-7"));
    QTest::newRow("the value, through functions that leave it as it is")
        << "Trim(LCase(Left([A], 20)))" << "customer-7" << QVariant(QStringLiteral("customer-7"));
    QTest::newRow("a literal") << "Array(\"none\", \"some text\")(Len([A]))" << "x"
                               << QVariant(QStringLiteral("some text"));
    QTest::newRow("the value and a literal in an array")
        << "Array([A], \"literal\")" << "Customer-7"
        << QVariant(QVariantList{QStringLiteral("Customer-7"), QStringLiteral("literal")});
    QTest::newRow("an error's texts from the value")
        << "Err.Raise(1000, [A], [A])" << "Customer-7"
        << QVariant(QVariantList{1000, QStringLiteral("Customer-7"), QStringLiteral("Customer-7")});
    QTest::newRow("an error's texts from literals")
        << "Err.Raise(1000, \"the rule\", \"went wrong\")" << ""
        << QVariant(QVariantList{1000, QStringLiteral("the rule"), QStringLiteral("went wrong")});
}

void tst_Expression::keptValuesOutliveRuleAndRow()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QVariant, expected);

    // The row's string has characters of its own, so that writing over them
    // below reaches whatever still reads them.
    QVariantList row{QVariant(QString())};
    QString &inRow = *static_cast<QString *>(row[0].data());
    inRow = QString(value.constData(), value.size());
    QVariant kept;
    {
        const Expression rule = Expression::compile(text, english());
        try {
            kept = rule.evaluate(row);
        } catch (const nvtarnix::Error &e) {
            kept = QVariantList{e.number(), e.source(), e.description()};
        }
    }
    // The host reuses its row and has dropped the rule; memory is reused.
    std::fill(inRow.begin(), inRow.end(), QLatin1Char('#'));
    const std::vector<QString> reuse(256, QString(64, QLatin1Char('@')));
    QCOMPARE(kept, expected);
}

void tst_Expression::nullExpression()
{
    const Expression none;
    QVERIFY(none.isNull());
    QVERIFY(none.variables().isEmpty());
    QCOMPARE(testsupport::errorNumber([&] { none.evaluate(QVariantList{}); }), 91);
    QVERIFY(!Expression::compile(QStringLiteral("1")).isNull());
    QCOMPARE(Expression::compile(QStringLiteral("\r\n[A] + 1\r\n")).text(), QStringLiteral("\r\n[A] + 1\r\n"));
}

NVTARNIX_TEST_CLASS(tst_Expression)
#include "tst_expression.moc"
