// The time limit on every path a run can take: loops whatever their bodies,
// long built-ins, code read by Eval and Execute, Class_Terminate; searches and
// case mapping in time that grows with the text. A run that must stop ends
// with the time-limit error and within its limit and two seconds: the bound
// guards against a hang, it measures no speed.

#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ValueText.h"

#include "ProcessorClock.h"
#include "TestMain.h"
#include "TsvTable.h"

#include <QTest>

using namespace vbscript;

namespace {

constexpr qint64 kHangGuardMs = 2000;

struct Outcome
{
    int error = 0;
    QString description;
    QString result;  // ValueText::resultLine of the value, when there was one
    qint64 cpuMs = 0;  // processor time the run took
};

template<typename Run>
Outcome timed(Run &&run)
{
    Outcome o;
    const testsupport::ProcessorClock cpu;
    try {
        o.result = ValueText::resultLine(run());
    } catch (const ScriptError &e) {
        o.error = e.number();
        o.description = e.description();
    }
    o.cpuMs = cpu.elapsedMs();
    return o;
}

Outcome throughRule(const QString &rule, int timeoutMs)
{
    return timed([&] {
        const auto compiled = CompiledExpression::compile(rule, timeoutMs);
        return compiled->evaluate({}, RuleSettings{ScriptLocale(QLocale::c()), timeoutMs, nullptr});
    });
}

std::unique_ptr<ScriptControl> newControl(int timeoutMs)
{
    auto sc = std::make_unique<ScriptControl>();
    sc->setLanguage(QStringLiteral("vbscript"));
    sc->setAllowUI(false);
    sc->setLocale(ScriptLocale(QLocale::c()));
    sc->setTimeout(timeoutMs);
    return sc;
}

Outcome throughControl(const QString &expression, int timeoutMs)
{
    const auto sc = newControl(timeoutMs);
    return timed([&] { return sc->eval(expression); });
}

// A host object that notes whether script code set its Touched property.
class Recorder : public Object
{
public:
    QString typeName() const override { return QStringLiteral("Recorder"); }
    void put(const QString &name, std::span<Variant>, const Variant &, bool) override
    {
        if (name.compare(QLatin1String("Touched"), Qt::CaseInsensitive) == 0)
            touched = true;
    }
    bool touched = false;
};

const QString endlessTerminate = QStringLiteral(
    "Class Endless\nSub Class_Terminate\nDo\nLoop\nEnd Sub\nEnd Class\n");

} // namespace

class tst_TimeLimit : public QObject
{
    Q_OBJECT

private slots:
    // The hostile rules about time, through a compiled rule and through the
    // ScriptControl's Eval, as the wizard's check runs them.
    void hostileRules_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("timeoutMs");
        const QString file = QStringLiteral(HOSTILE_RULES "/time.tsv");
        const testsupport::TsvTable table = testsupport::readTsv(file, {"name", "rule", "error", "timeoutMs"});
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        for (const testsupport::TsvRow &row : table.rows) {
            const int timeoutMs = row.cells[3].isEmpty() ? 2000 : row.cells[3].toInt();
            QTest::newRow(row.name(file).constData()) << row.cells[1] << row.cells[2].toInt() << timeoutMs;
        }
    }

    void hostileRules()
    {
        QFETCH(QString, rule);
        QFETCH(int, error);
        QFETCH(int, timeoutMs);
        for (const bool control : {false, true}) {
            const Outcome o = control ? throughControl(rule, timeoutMs) : throughRule(rule, timeoutMs);
            const char *path = control ? "ScriptControl" : "compiled rule";
            QVERIFY2(o.error == error, qPrintable(QStringLiteral("%1: error %2, expected %3")
                                                      .arg(QLatin1String(path)).arg(o.error).arg(error)));
            // Met inside a built-in or not, the time limit reads as itself.
            if (error == int(err::TimeLimitReached))
                QCOMPARE(o.description, ScriptError::standardText(error));
            QVERIFY2(o.cpuMs <= timeoutMs + kHangGuardMs,
                     qPrintable(QStringLiteral("%1: took %2 ms").arg(QLatin1String(path)).arg(o.cpuMs)));
        }
    }

    // Searches that take the long-text path find what they should: where
    // occurrences overlap, past the first window of the text, in text
    // compare mode with Greek and surrogate pairs, backwards from a start.
    void searchesFindTheirText_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("result");
        const QString deseretCapital = QStringLiteral("ChrW(&HD801) & ChrW(&HDC00)");
        const QString deseretSmall = QStringLiteral("ChrW(&HD801) & ChrW(&HDC28)");
        QTest::newRow("overlapping start") << "InStr(\"aaaaaaaaaaaab\", \"aaaaaaaaaab\")" << "Long\t3";
        QTest::newRow("past the first window") << "InStr(String(70000, \"a\") & \"abcdefghijX\", \"abcdefghijX\")"
                                               << "Long\t70001";
        QTest::newRow("from a start") << "InStr(3, \"abcdefghijabcdefghij\", \"abcdefghij\")" << "Long\t11";
        QTest::newRow("short, past the first window") << "InStr(String(70000, \"a\") & \"bc\", \"abc\")"
                                                      << "Long\t70000";
        QTest::newRow("Greek, text compare") << "InStr(1, String(70000, \"x\") & \"ΑΒΓΔΕΖΗΘΙΚ\", \"αβγδεζηθικ\", 1)"
                                             << "Long\t70001";
        QTest::newRow("Greek, binary compare") << "InStr(1, \"ΑΒΓΔΕΖΗΘΙΚ\", \"αβγδεζηθικ\", 0)" << "Long\t0";
        QTest::newRow("surrogate pair, text compare")
            << "InStr(1, \"0123456789\" & " + deseretCapital + " & \"ABCDEFGHI\", " + deseretSmall + " & \"abcdefghi\", 1)"
            << "Long\t11";
        QTest::newRow("InStrRev, last of two") << "InStrRev(\"abcdefghij-abcdefghij-\", \"abcdefghij\")" << "Long\t12";
        QTest::newRow("InStrRev, ending by the start") << "InStrRev(\"abcdefghijabcdefghij\", \"abcdefghij\", 19)"
                                                       << "Long\t1";
        QTest::newRow("InStrRev, past the last window")
            << "InStrRev(\"Xbcdefghij\" & String(70000, \"a\"), \"xBCDEFGHIJ\", -1, 1)" << "Long\t1";
        QTest::newRow("InStrRev, short, past the last window")
            << "InStrRev(\"ab\" & String(70000, \"c\"), \"ab\")" << "Long\t1";
        QTest::newRow("InStrB") << "InStrB(String(20, \"a\") & \"bcdefghijk\", \"bcdefghijk\")" << "Long\t41";
        QTest::newRow("Replace, no overlaps") << "Replace(String(30, \"a\"), String(10, \"a\"), \"b\")" << "String\tbbb";
        QTest::newRow("Replace, count and start")
            << "Replace(\"x0123456789y0123456789z0123456789\", \"0123456789\", \"-\", 2, 2)" << "String\t-y-z0123456789";
        QTest::newRow("Replace, text compare") << "Replace(\"ABCDEFGHIJxabcdefghij\", \"abcdefghij\", \"!\", 1, -1, 1)"
                                               << "String\t!x!";
        QTest::newRow("Split") << "Join(Split(\"x---------y---------z\", \"---------\"), \"|\")" << "String\tx|y|z";
        QTest::newRow("Filter") << "Join(Filter(Array(\"abcdefghijk\", \"ABCDEFGHIJK\", \"abcdefghij\"), \"bcdefghijk\", True, 1), \"|\")"
                                << "String\tabcdefghijk|ABCDEFGHIJK";
    }

    void searchesFindTheirText()
    {
        QFETCH(QString, expression);
        QFETCH(QString, result);
        const Outcome o = throughRule(expression, 5000);
        QCOMPARE(o.error, 0);
        QCOMPARE(o.result, result);
    }

    // Long texts are mapped a piece at a time; a piece never ends between
    // the halves of a surrogate pair, and the pieces join to the whole.
    void caseMappingOfLongText_data()
    {
        QTest::addColumn<QString>("expression");
        const QString small = QStringLiteral("ChrW(&HD801) & ChrW(&HDC28)");
        const QString capital = QStringLiteral("ChrW(&HD801) & ChrW(&HDC00)");
        QTest::newRow("pairs across pieces, even")
            << "UCase(Replace(Space(5000), \" \", " + small + ")) = Replace(Space(5000), \" \", " + capital + ")";
        QTest::newRow("pairs across pieces, odd")
            << "LCase(\"A\" & Replace(Space(5000), \" \", " + capital + ")) = \"a\" & Replace(Space(5000), \" \", " + small + ")";
        QTest::newRow("expanding upper case") << "UCase(String(10000, ChrW(223))) = String(20000, \"S\")";
        QTest::newRow("expanding lower case") << "LCase(String(10000, ChrW(304))) = Replace(Space(10000), \" \", \"i\" & ChrW(775))";
        QTest::newRow("Greek") << "UCase(String(9000, \"ά\") & \"σ\") = String(9000, \"Ά\") & \"Σ\"";
    }

    void caseMappingOfLongText()
    {
        QFETCH(QString, expression);
        const Outcome o = throughRule(expression, 5000);
        QCOMPARE(o.error, 0);
        QCOMPARE(o.result, QStringLiteral("Boolean\tTrue"));
    }

    // A mapping that grows past the string limit stops there, whether the
    // text grows in its first piece or in a later one.
    void caseMappingKeepsTheStringLimit_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("error");
        QTest::newRow("within") << "UCase(String(2000, ChrW(223)))" << 0;
        QTest::newRow("short text") << "UCase(String(200, ChrW(223)))" << 0;
        QTest::newRow("past it, long text") << "UCase(String(2600, ChrW(223)))" << int(err::OutOfStringSpace);
        QTest::newRow("past it, later pieces") << "LCase(String(4000, \"a\") & String(600, ChrW(304)))"
                                               << int(err::OutOfStringSpace);
    }

    void caseMappingKeepsTheStringLimit()
    {
        QFETCH(QString, expression);
        QFETCH(int, error);
        const auto sc = newControl(5000);
        Limits limits;
        limits.maxStringLength = 5000;
        sc->setLimits(limits);
        int got = 0;
        try {
            sc->eval(expression);
        } catch (const ScriptError &e) {
            got = e.number();
        }
        QCOMPARE(got, error);
    }

    // Compiling refuses text past the size a rule may have before reading
    // it, and stops reading at the time limit.
    void compilingIsBounded_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("error");
        QTest::newRow("past the size") << QString(1024 * 1024 + 1, QLatin1Char('1')) << -1 << int(err::CompilerOutOfMemory);
        const QString longList = QStringLiteral("Array(") + QStringLiteral("1,").repeated(400000) + QStringLiteral("1)");
        QTest::newRow("long, no time") << longList << 0 << int(err::TimeLimitReached);
        QTest::newRow("long, time enough") << longList << 60000 << 0;
    }

    void compilingIsBounded()
    {
        QFETCH(QString, text);
        QFETCH(int, timeoutMs);
        QFETCH(int, error);
        int got = 0;
        const testsupport::ProcessorClock cpu;
        try {
            CompiledExpression::compile(text, timeoutMs);
        } catch (const ScriptError &e) {
            got = e.number();
        }
        QCOMPARE(got, error);
        QVERIFY(cpu.elapsedMs() <= qMax(timeoutMs, 0) + kHangGuardMs);
    }

    // An object whose last reference a host drops after the run: its
    // Class_Terminate runs as a run of its own, under the time limit.
    void terminateAfterTheRunIsBounded()
    {
        const auto sc = newControl(300);
        sc->addCode(endlessTerminate + QStringLiteral("Set o = New Endless"));
        Variant held = sc->eval(QStringLiteral("o"));
        sc->executeStatement(QStringLiteral("Set o = Nothing"));
        const testsupport::ProcessorClock cpu;
        held = Variant();
        QVERIFY2(cpu.elapsedMs() <= 300 + kHangGuardMs, "Class_Terminate ran on past the time limit");
        // The engine goes on working.
        QCOMPARE(ValueText::resultLine(sc->eval(QStringLiteral("1 + 1"))), QStringLiteral("Integer\t2"));
    }

    // Once a run has met its time limit, no script code runs for it: not
    // the Class_Terminate of what it leaves behind.
    void noScriptCodeAfterTheDeadline_data()
    {
        QTest::addColumn<QString>("lastStatement");
        QTest::addColumn<bool>("touched");
        QTest::newRow("run ends well") << "x = 1" << true;
        QTest::newRow("run meets its limit") << "Do : Loop" << false;
    }

    void noScriptCodeAfterTheDeadline()
    {
        QFETCH(QString, lastStatement);
        QFETCH(bool, touched);
        const auto sc = newControl(200);
        auto recorder = std::make_shared<Recorder>();
        sc->addObject(QStringLiteral("Host"), recorder);
        sc->addCode(QStringLiteral("Class Noting\nSub Class_Terminate\nHost.Touched = 1\nEnd Sub\nEnd Class\n"
                                   "Set o = New Noting"));
        Variant held = sc->eval(QStringLiteral("o"));
        try {
            sc->executeStatement(QStringLiteral("Set o = Nothing : ") + lastStatement);
        } catch (const ScriptError &e) {
            QCOMPARE(e.number(), int(err::TimeLimitReached));
        }
        held = Variant();
        QCOMPARE(recorder->touched, touched);
    }
};

NVTARNIX_TEST_CLASS(tst_TimeLimit)
#include "tst_timelimit.moc"
