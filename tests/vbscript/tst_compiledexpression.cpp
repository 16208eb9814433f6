// The engine's side of rules: variables a row does not reach, and a run
// stopped from another thread.

#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ValueText.h"

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
};

#include "TestMain.h"

NVTARNIX_TEST_CLASS(tst_CompiledExpression)
#include "tst_compiledexpression.moc"
