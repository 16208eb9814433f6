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
