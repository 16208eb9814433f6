#pragma once

#include <QByteArray>
#include <QFile>

#include <malloc.h>

// How far the process's resident memory rose over a stretch of a test: the
// kernel's high-water mark (VmHWM), reset to the present when the stretch
// begins, less what was resident then.
//
//     testsupport::ResidentPeak peak;
//     ...                              // the work
//     QVERIFY(peak.growthMb() < 320);
//
// Memory that the allocator keeps after frees would read as growth at the
// start, so it is given back first.

namespace testsupport {

class ResidentPeak
{
public:
    ResidentPeak()
    {
        malloc_trim(0);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        // "5" resets the high-water mark to the present resident size.
        m_reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        m_startKb = statusKb("VmRSS:");
    }

    // Whether the mark could be reset (Linux 4.0 on): without it, growth()
    // reads the whole life of the process and says nothing of the stretch.
    bool isReset() const { return m_reset; }
    long growthMb() const { return (statusKb("VmHWM:") - m_startKb) / 1024; }

    static long statusKb(const char *field)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith(field))
                return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLong();
        return 0;
    }

private:
    bool m_reset = false;
    long m_startKb = 0;
};

} // namespace testsupport
