#include "rows/RowCountRunner.h"

namespace nvtarnix::rows {

RowCountRunner::RowCountRunner(QObject *parent) : QObject(parent)
{
    // A cancelled count that is still leaving SQLite must not hold up the
    // next one.
    m_pool.setMaxThreadCount(2);
}

RowCountRunner::~RowCountRunner()
{
    cancel();
    m_pool.waitForDone();
}

void RowCountRunner::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
    m_cancel.reset();
    ++m_generation;
}

bool RowCountRunner::counting() const
{
    return m_pool.activeThreadCount() > 0;
}

void RowCountRunner::request(RowCountJob job)
{
    cancel();
    m_cancel = std::make_shared<std::atomic_bool>(false);
    const quint64 generation = m_generation;
    const std::shared_ptr<std::atomic_bool> flag = m_cancel;
    m_pool.start([this, job = std::move(job), flag, generation] {
        RowCount count = countRows(job, flag.get());
        if (flag->load())
            return;
        // Queued to the runner's thread; the destructor waits for this task
        // before the runner goes.
        QMetaObject::invokeMethod(
            this,
            [this, count = std::move(count), generation] {
                if (generation == m_generation)
                    emit counted(count);
            },
            Qt::QueuedConnection);
    });
}

} // namespace nvtarnix::rows
