#pragma once

#include "vbscript/RunClock.h"
#include "vbscript/WorkMeter.h"

namespace vbscript {

// A time limit for work done outside a run, such as compiling a rule: the
// work counted on it raises the time-limit error once `timeoutMs` have
// passed since it was made (never for -1).
class Deadline final : public WorkMeter
{
public:
    explicit Deadline(int timeoutMs);

protected:
    void overdrawn() override;

private:
    RunClock m_clock;
    int m_timeoutMs;
};

} // namespace vbscript
