#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

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
