// 10,000 Evals of a short expression in one ScriptControl: the resident
// memory after the first thousand and after all of them, which should match.

#include "vbscript/ScriptControl.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {
long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
} // namespace

int main()
{
    vbscript::ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    sc.setTimeout(-1);
    sc.addCode(QStringLiteral("Dim price\nprice = 12.5"));
    const QString expr = QStringLiteral("Left(\"Customer\" & CStr(price * 3), 12) & Len(\"abc\") + 1");
    QElapsedTimer t;
    t.start();
    long afterWarmup = 0;
    for (int i = 0; i < 10000; ++i) {
        sc.eval(expr);
        if (i == 999)
            afterWarmup = residentKb();
    }
    const long atEnd = residentKb();
    std::printf("10000 Evals: %.1f us each; resident memory after 1000: %ld KB, after 10000: %ld KB\n",
                double(t.nsecsElapsed()) / 10000 / 1000.0, afterWarmup, atEnd);
    return 0;
}
