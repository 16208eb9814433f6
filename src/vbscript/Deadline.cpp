#include "vbscript/Deadline.h"

#include "vbscript/ScriptError.h"

namespace vbscript {

Deadline::Deadline(int timeoutMs) : m_timeoutMs(timeoutMs)
{
    m_clock.start();
}

void Deadline::overdrawn()
{
    refill();
    if (m_timeoutMs >= 0 && m_clock.elapsedMs() > m_timeoutMs)
        raise(err::TimeLimitReached);
}

} // namespace vbscript
