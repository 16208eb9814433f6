#pragma once

#include <QElapsedTimer>

#include <cstdio>

namespace tarnixcli {

// How far a long run has got, on one line of standard error that each update
// overwrites: rows done and rows per second. It appears only once the run has
// lasted a second, and never when standard error is not a terminal, so logs
// and pipes see nothing of it.
class ProgressLine
{
public:
    // Draws on `out` when it is a terminal.
    explicit ProgressLine(std::FILE *out = stderr);
    ~ProgressLine();
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    // Redraws at most a few times a second; cheap to call after every block.
    void update(qint64 rowsDone);
    // Clears the line, so that what is written next starts on a clean one;
    // the next update draws it again.
    void clear();
    // Clears the line if `output` is a terminal too, where the line would
    // otherwise run into what is written there.
    void makeWayFor(std::FILE *output);

private:
    std::FILE *m_out;
    bool m_enabled;
    bool m_drawn = false;
    QElapsedTimer m_clock;
    qint64 m_lastDrawMs = 0;
};

} // namespace tarnixcli
