#include "editor/PreviewRunner.h"

#include <QPointer>

namespace nvtarnix::editor {

PreviewRunner::PreviewRunner(QObject *parent) : QObject(parent)
{
    // One evaluation that ignores its cancel flag for a moment must not hold
    // up the next one.
    m_pool.setMaxThreadCount(2);
}

PreviewRunner::~PreviewRunner()
{
    cancel();
    m_pool.waitForDone();
}

void PreviewRunner::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
    m_cancel.reset();
    ++m_generation;
}

bool PreviewRunner::evaluating() const
{
    return m_pool.activeThreadCount() > 0;
}

void PreviewRunner::request(PreviewJob job)
{
    cancel();
    m_cancel = std::make_shared<std::atomic_bool>(false);
    const quint64 generation = m_generation;
    const std::shared_ptr<std::atomic_bool> flag = m_cancel;
    m_pool.start([this, job = std::move(job), flag, generation] {
        PreviewResult result = runPreview(job, flag.get());
        if (flag->load())
            return;
        // Queued to the runner's thread; a runner gone by then drops it, and
        // the destructor waits for this task before the runner goes.
        QMetaObject::invokeMethod(
            this,
            [this, result = std::move(result), generation] {
                if (generation == m_generation)
                    emit ready(result);
            },
            Qt::QueuedConnection);
    });
}

} // namespace nvtarnix::editor
