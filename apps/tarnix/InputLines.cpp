#include "InputLines.h"

#include <cerrno>
#include <utility>
#include <unistd.h>

namespace tarnixcli {

bool InputLines::fill()
{
    m_buffer.resize(1 << 16);
    m_pos = 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, m_buffer.data(), size_t(m_buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        m_buffer.resize(n > 0 ? qsizetype(n) : 0);
        return n > 0;
    }
}

bool InputLines::next(QByteArray &line)
{
    line.clear();
    bool started = false;
    for (;;) {
        if (m_pos == m_buffer.size() && !fill())
            return started;
        const char c = m_buffer[m_pos++];
        if (std::exchange(m_afterCarriageReturn, false) && c == '\n')
            continue;
        if (c == '\n')
            return true;
        if (c == '\r') {
            // Whether a LF follows is known only from the next byte: the line
            // goes now, and that LF is skipped when it comes.
            m_afterCarriageReturn = true;
            return true;
        }
        line.append(c);
        started = true;
    }
}

} // namespace tarnixcli
