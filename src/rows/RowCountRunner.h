#pragma once

#include "rows/NewestOnly.h"
#include "rows/RowCount.h"

#include <QObject>

namespace nvtarnix::rows {

// Counts off the UI thread. A newer request cancels the older count at once
// (inside SQLite too), and only the newest result is delivered, on the
// runner's own thread; typing never waits for a count. Destroying the runner
// cancels what runs and waits for it to stop.
class RowCountRunner : public QObject
{
    Q_OBJECT
public:
    explicit RowCountRunner(QObject *parent = nullptr) : QObject(parent) {}

    void request(RowCountJob job);
    // Stops the running count; its result is dropped.
    void cancel() { m_work.cancel(); }
    // Whether a count is still running, cancelled or not.
    bool counting() const { return m_work.running(); }

signals:
    void counted(const nvtarnix::rows::RowCount &count);

private:
    NewestOnly m_work{this};
};

} // namespace nvtarnix::rows
