#pragma once

#include "rows/RowCount.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

namespace nvtarnix::rows {

// Counts off the UI thread. A newer request cancels the older count at once
// (inside SQLite too), and only the newest result is delivered, on the
// runner's own thread; typing never waits for a count. Destroying the runner
// cancels what runs and waits for it to stop.
class RowCountRunner : public QObject
{
    Q_OBJECT
public:
    explicit RowCountRunner(QObject *parent = nullptr);
    ~RowCountRunner() override;

    void request(RowCountJob job);
    // Stops the running count; its result is dropped.
    void cancel();
    // Whether a count is still running, cancelled or not.
    bool counting() const;

signals:
    void counted(const nvtarnix::rows::RowCount &count);

private:
    QThreadPool m_pool;
    std::shared_ptr<std::atomic_bool> m_cancel;
    quint64 m_generation = 0;
};

} // namespace nvtarnix::rows
