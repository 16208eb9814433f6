#include "ApplyPushDownTests.h"

#include <QTest>

#include "TarnixProgram.h"

QStringList ApplyPushDownTests::source(const QString &name) const
{
    if (name.startsWith(QLatin1String("query:")))
        return database() + QStringList{QStringLiteral("--query"), name.mid(6)};
    QStringList args = database() + QStringList{QStringLiteral("--table"), name.section(QLatin1Char('/'), 0, 0)};
    if (name.contains(QLatin1Char('/')))
        args << QStringLiteral("--key") << name.section(QLatin1Char('/'), 1);
    return args;
}

// The account of --explain: its first line, and the rows after the run. Every
// database holds the same 3000 orders, amount > 990 on 28 of them.
void ApplyPushDownTests::explain_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("complete") << "orders/id" << QStringLiteral("[amount] > 990")
                              << QStringLiteral("push-down: Complete")
                              << QStringLiteral("push-down: 28 rows fetched, 0 re-checked by the engine");
    QTest::newRow("partial") << typedSource() << QStringLiteral("Not ([name] = [qty]) And [amount] > 990")
                             << QStringLiteral("push-down: Partial")
                             << QStringLiteral("push-down: 28 rows fetched, 28 re-checked by the engine");
    QTest::newRow("fail") << "orders/id" << QStringLiteral("Oct([qty]) = \"12\"") << QStringLiteral("push-down: Fail")
                          << QStringLiteral("push-down: 3000 rows fetched, 3000 re-checked by the engine");
    addOwnExplainRows();
}

void ApplyPushDownTests::explain()
{
    QFETCH(QString, from);
    QFETCH(QString, rule);
    QFETCH(QString, firstLine);
    QFETCH(QString, lastLine);
    verifyExplained(
        runTarnixApply(source(from) + QStringList{QStringLiteral("--count"), QStringLiteral("--explain"), rule}),
        firstLine, lastLine);
}

// require stops before any row when the rule does not translate, and says
// which part; a rule that translates runs.
void ApplyPushDownTests::require()
{
    const QStringList args = source(QStringLiteral("orders/id"))
        + QStringList{QStringLiteral("--matching"), QStringLiteral("--push-down"), QStringLiteral("require")};
    const TarnixRun refused
        = runTarnixApply(args + QStringList{QStringLiteral("[amount] > 5 And Oct([qty]) = \"12\"")});
    QCOMPARE(refused.status, 2);
    QCOMPARE(refused.out, QString());
    QVERIFY2(refused.err.contains(QLatin1String("Oct([qty]) (line 1, column 18)")), qPrintable(refused.err));
    const TarnixRun ran = runTarnixApply(args + QStringList{QStringLiteral("[amount] > 995")});
    QCOMPARE(ran.status, 0);
    QCOMPARE(ran.out.count(QLatin1Char('\n')), 15);
}
