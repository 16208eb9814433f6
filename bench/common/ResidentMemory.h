#pragma once

#include <QByteArray>
#include <QFile>

#include <malloc.h>

namespace nvtarnix::bench {

// The process's resident memory in KB, as the kernel counts it. Freed memory
// that the allocator still holds would read as growth, so it is given back
// first.
inline long residentKb()
{
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace nvtarnix::bench
