#pragma once

#include <QtGlobal>

namespace vbscript {

// The clock a run's time limit is measured on. Every evaluation of a rule
// starts it, so a host running a rule over a million rows reads it a million
// times: where the system has a coarse monotonic clock it is read instead,
// a few nanoseconds a read rather than a few dozen, at a resolution of a few
// milliseconds that a limit of seconds does not notice.
class RunClock
{
public:
    void start() { m_startMs = nowMs(); }
    qint64 elapsedMs() const { return nowMs() - m_startMs; }

private:
    static qint64 nowMs();

    qint64 m_startMs = 0;
};

} // namespace vbscript
