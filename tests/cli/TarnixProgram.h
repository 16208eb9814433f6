#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>

#include "TestMain.h"

// The real tarnix program, run as a shell would run it, with some of the
// environment set for the run (the locale, the language). `program` is the
// built one unless a test runs a copy.
struct TarnixRun
{
    int status = -1;  // -1: it crashed or did not finish within a minute
    QString out;
    QString err;
};

inline TarnixRun runTarnix(const QStringList &arguments, const QByteArray &input,
                           const QList<QPair<QString, QString>> &environment,
                           const QString &program = QStringLiteral(TARNIX_PROGRAM))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : environment)
        env.insert(name, value);
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForStarted(10000))
        return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// `tarnix apply` with `arguments`, in the locale the test program pins.
inline TarnixRun runTarnixApply(const QStringList &arguments)
{
    const QString locale = testsupport::pinnedLocale();
    return runTarnix(QStringList{QStringLiteral("apply")} + arguments, {},
                     {{QStringLiteral("LC_ALL"), locale}, {QStringLiteral("LANG"), locale}});
}

// Push-down changes nothing: in each mode (every row, --count, --matching)
// `tarnix` run on `args` and `rule` with --push-down auto ends as it does
// with off, in its status, its output and its errors, row order included.
template<typename Tarnix>
void verifyPushDownChangesNothing(const Tarnix &tarnix, const QStringList &args, const QString &rule)
{
    for (const QString &mode : {QStringLiteral("--count"), QStringLiteral("--matching"), QString()}) {
        QStringList withMode = args;
        if (!mode.isEmpty())
            withMode << mode;
        const TarnixRun off = tarnix(withMode + QStringList{QStringLiteral("--push-down"), QStringLiteral("off"), rule});
        const TarnixRun on = tarnix(withMode + QStringList{QStringLiteral("--push-down"), QStringLiteral("auto"), rule});
        QVERIFY2(off.status == 0 || off.status == 1, qPrintable(off.err));
        QVERIFY(!off.out.isEmpty() || mode == QLatin1String("--matching"));
        QCOMPARE(on.status, off.status);
        QCOMPARE(on.out, off.out);
        QCOMPARE(on.err, off.err);
    }
}

// What --explain says of a --count run: its first line (the class) and its
// last (the rows fetched and re-checked).
inline void verifyExplained(const TarnixRun &run, const QString &firstLine, const QString &lastLine)
{
    const QStringList err = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(!err.isEmpty(), qPrintable(run.err));
    QCOMPARE(err.first(), firstLine);
    QVERIFY2(err.last() == lastLine, qPrintable(run.err));
}

// Where `tarnix apply` reads, as the push-down tests name it: "table",
// "table/key" or "query:SQL", in the database `database` names (--database
// FILE, --postgres CONNINFO).
inline QStringList applySource(const QStringList &database, const QString &name)
{
    if (name.startsWith(QLatin1String("query:")))
        return database + QStringList{QStringLiteral("--query"), name.mid(6)};
    QStringList args = database + QStringList{QStringLiteral("--table"), name.section(QLatin1Char('/'), 0, 0)};
    if (name.contains(QLatin1Char('/')))
        args << QStringLiteral("--key") << name.section(QLatin1Char('/'), 1);
    return args;
}

// The columns of the push-down tests' --explain data, and the rows every
// database answers alike: each holds the same 3000 orders, amount > 990 on 28
// of them. `typed` is a source where [name] = [qty] raises no error and SQL
// does not write it.
inline void addExplainRows(const QString &typed)
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("complete") << "orders/id" << QStringLiteral("[amount] > 990")
                              << QStringLiteral("push-down: Complete")
                              << QStringLiteral("push-down: 28 rows fetched, 0 re-checked by the engine");
    QTest::newRow("partial") << typed << QStringLiteral("Not ([name] = [qty]) And [amount] > 990")
                             << QStringLiteral("push-down: Partial")
                             << QStringLiteral("push-down: 28 rows fetched, 28 re-checked by the engine");
    QTest::newRow("fail") << "orders/id" << QStringLiteral("Oct([qty]) = \"12\"") << QStringLiteral("push-down: Fail")
                          << QStringLiteral("push-down: 3000 rows fetched, 3000 re-checked by the engine");
}

// The --explain account of the current data row's --count run over `database`.
inline void verifyExplainedRow(const QStringList &database)
{
    QFETCH(QString, from);
    QFETCH(QString, rule);
    QFETCH(QString, firstLine);
    QFETCH(QString, lastLine);
    verifyExplained(runTarnixApply(applySource(database, from)
                                   + QStringList{QStringLiteral("--count"), QStringLiteral("--explain"), rule}),
                    firstLine, lastLine);
}

// --push-down require over the orders of `database` stops before any row when
// the rule does not translate, and says which part; a rule that translates
// runs.
inline void verifyRequire(const QStringList &database)
{
    const QStringList args = applySource(database, QStringLiteral("orders/id"))
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
