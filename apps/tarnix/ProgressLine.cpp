#include "ProgressLine.h"

#include <unistd.h>

namespace tarnixcli {

namespace {

constexpr qint64 QuietMs = 1000;      // a run this short shows nothing
constexpr qint64 RedrawEveryMs = 250;

} // namespace

ProgressLine::ProgressLine(std::FILE *out) : m_out(out), m_enabled(::isatty(::fileno(out)) == 1)
{
    m_clock.start();
}

ProgressLine::~ProgressLine()
{
    clear();
}

void ProgressLine::update(qint64 rowsDone)
{
    if (!m_enabled)
        return;
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed < QuietMs || elapsed - m_lastDrawMs < RedrawEveryMs)
        return;
    m_lastDrawMs = elapsed;
    // "\r" back to the line's start, ESC [K clears what a longer line left.
    std::fprintf(m_out, "\r%lld rows, %lld rows/s\x1b[K", static_cast<long long>(rowsDone),
                 static_cast<long long>(rowsDone * 1000 / elapsed));
    std::fflush(m_out);
    m_drawn = true;
}

void ProgressLine::clear()
{
    if (!m_drawn)
        return;
    std::fputs("\r\x1b[K", m_out);
    std::fflush(m_out);
    m_drawn = false;
}

void ProgressLine::makeWayFor(std::FILE *output)
{
    if (m_drawn && ::isatty(::fileno(output)) == 1)
        clear();
}

} // namespace tarnixcli
