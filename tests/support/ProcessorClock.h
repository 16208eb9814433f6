#pragma once

#include <QtGlobal>

#include <ctime>

// The processor time the calling thread has used since start(), in ms.
//
// Tests of the time limit read this rather than the clock: a run that stops
// promptly at its deadline still takes longer by the clock when the machine
// is busy with other work, while a run that goes on past its deadline uses
// processor time past it whatever the load. A test that waits on another
// thread or process still bounds its wait by the clock, generously, to call
// a run hung.
//
//     testsupport::ProcessorClock cpu;
//     engine.eval(rule);                  // with a time limit of 300 ms
//     QVERIFY(cpu.elapsedMs() <= 300 + 2000);

namespace testsupport {

class ProcessorClock
{
public:
    ProcessorClock() { start(); }
    void start() { m_startMs = nowMs(); }
    qint64 elapsedMs() const { return nowMs() - m_startMs; }

    static qint64 nowMs()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    }

private:
    qint64 m_startMs = 0;
};

} // namespace testsupport
