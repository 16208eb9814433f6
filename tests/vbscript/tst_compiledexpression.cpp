// The engine's side of rules: variables a row does not reach, and a run
// stopped from another thread.

#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ValueText.h"

#include <QDateTime>
#include <QTest>

#include <thread>

using namespace vbscript;

class tst_CompiledExpression : public QObject
{
    Q_OBJECT

private slots:
    // Values bind to the first variables; the rest are Empty and may be
    // assigned by the rule without touching the caller's values.
    void variablesPastTheRowAreEmpty()
    {
        const auto rule = CompiledExpression::compile(
            QStringLiteral("[a] & \"|\" & IsEmpty([b]) & \"|\" & TypeName([c]) & \"|\" & "
                           "Eval(\"Execute(\"\"b = 5\"\")\") & [b]"));
        QCOMPARE(rule->variables(), QStringList({"a", "b", "c"}));
        Variant a(QStringLiteral("x"));
        for (int run = 0; run < 2; ++run) {
            const Variant v = rule->evaluate(std::span<Variant>(&a, 1), RuleSettings{});
            QCOMPARE(ValueText::resultLine(v), QStringLiteral("String\tx|True|Empty|5"));
        }
        QCOMPARE(ValueText::resultLine(a), QStringLiteral("String\tx"));
        QCOMPARE(ValueText::resultLine(rule->evaluate({}, RuleSettings{})),
                 QStringLiteral("String\t|True|Empty|5"));
    }

    // A run given an instant reads it for Now, Date and Time, through Eval
    // too, to the second; the next run on the same thread without one reads
    // the clock again.
    void aRunsInstantIsItsNow()
    {
        RuleSettings fixed;
        fixed.now = QDateTime(QDate(2025, 6, 30), QTime(13, 45, 10, 999));
        const auto rule = CompiledExpression::compile(
            QStringLiteral("Year(Now) & \"|\" & CDbl(Date) & \"|\" & Second(Time()) & \"|\" & (Eval(\"Now()\") = Now)"));
        for (int run = 0; run < 2; ++run)
            QCOMPARE(ValueText::resultLine(rule->evaluate({}, fixed)), QStringLiteral("String\t2025|45838|10|True"));
        const auto year = CompiledExpression::compile(QStringLiteral("Year(Now)"));
        QCOMPARE(ValueText::resultLine(year->evaluate({}, RuleSettings{})),
                 QStringLiteral("Integer\t%1").arg(QDate::currentDate().year()));
    }

    void cancelStopsARunFromAnotherThread()
    {
        const auto rule = CompiledExpression::compile(QStringLiteral("Execute(\"Do : Loop\") & [A]"));
        std::atomic_bool cancel{false};
        // No time limit: only the flag can end the loop (a run that ignored
        // it would never end, and ctest's own limit would fail the program).
        RuleSettings settings{ScriptLocale(QLocale::c()), -1, &cancel};
        std::thread stopper([&] { cancel = true; });
        Variant a(qint32(1));
        int number = 0;
        try {
            rule->evaluate(std::span<Variant>(&a, 1), settings);
        } catch (const ScriptError &e) {
            number = e.number();
        }
        stopper.join();
        QCOMPARE(number, int(err::TimeLimitReached));

        // The next run on this thread starts afresh.
        const auto plain = CompiledExpression::compile(QStringLiteral("[a] + 1"));
        QCOMPARE(plain->indexOf(QStringLiteral("A")), 0);
        QCOMPARE(ValueText::resultLine(plain->evaluate(std::span<Variant>(&a, 1), RuleSettings{})), QStringLiteral("Long\t2"));
    }

    // What a rule leaves in its engine (a global ExecuteGlobal declared and
    // Execute set to the row's object, a class, a function) is let go when
    // the evaluation returns or fails, not kept until the thread's next rule.
    void aRulesGlobalsGoWhenItReturns_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("error");
        const QString keep = QStringLiteral("ExecuteGlobal(\"Dim kept\") & Execute(\"Set kept = [a]\") & ");
        QTest::newRow("returns") << keep + "TypeName(Eval(\"kept\"))" << 0;
        QTest::newRow("fails") << keep + "(1 / 0)" << int(err::DivisionByZero);
        QTest::newRow("in a class") << "ExecuteGlobal(\"Class C : Public H : End Class : Dim c : Set c = New C\") & "
                                       "Execute(\"Set c.H = [a]\") & TypeName(Eval(\"c.H\"))"
                                    << 0;
        QTest::newRow("in an array") << "ExecuteGlobal(\"Dim v(1)\") & Execute(\"Set v(1) = [a]\") & Eval(\"UBound(v)\")"
                                     << 0;
    }

    void aRulesGlobalsGoWhenItReturns()
    {
        QFETCH(QString, rule);
        QFETCH(int, error);
        class Held : public Object
        {
        public:
            QString typeName() const override { return QStringLiteral("Held"); }
        };
        // The rule names [a] itself, which makes it the row's first value.
        const auto compiled = CompiledExpression::compile(QStringLiteral("TypeName([a]) & ") + rule);
        auto held = std::make_shared<Held>();
        const std::weak_ptr<Object> watch = held;
        Variant a{std::shared_ptr<Object>(std::move(held))};
        int number = 0;
        try {
            compiled->evaluate(std::span<Variant>(&a, 1), RuleSettings{});
        } catch (const ScriptError &e) {
            number = e.number();
        }
        QCOMPARE(number, error);
        a = Variant();
        QVERIFY2(watch.expired(), "the rule's engine still holds the row's object");
        // The thread's next rule starts afresh all the same.
        QCOMPARE(ValueText::resultLine(CompiledExpression::compile(QStringLiteral("IsEmpty(Eval(\"kept\"))"))
                                           ->evaluate({}, RuleSettings{})),
                 QStringLiteral("Boolean\tTrue"));
    }
};

#include "TestMain.h"

NVTARNIX_TEST_CLASS(tst_CompiledExpression)
#include "tst_compiledexpression.moc"
