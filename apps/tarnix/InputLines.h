#pragma once

#include <QByteArray>

namespace tarnixcli {

// The lines of a byte stream as the script engine counts lines: each of
// CR LF, LF and CR alone ends one. Every other byte, NUL included, stays in
// its line as it came. A line typed at a terminal is handed over as soon as
// it is ended: the stream is read for what it has, never waited on to fill a
// buffer.
class InputLines
{
public:
    explicit InputLines(int fd) : m_fd(fd) {}

    // The next line, without its end, into `line`; false at the end of input.
    bool next(QByteArray &line);

private:
    bool fill();

    int m_fd;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_afterCarriageReturn = false;  // a LF next is the same line end
};

} // namespace tarnixcli
