#pragma once

#include "editor/PreviewEvaluation.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

namespace nvtarnix::editor {

// Runs the preview off the UI thread. A newer request cancels the older
// evaluation at once, and only the newest result is delivered, on the
// runner's own thread; typing never waits for an evaluation. Destroying the
// runner cancels what runs and waits for it to stop.
class PreviewRunner : public QObject
{
    Q_OBJECT
public:
    explicit PreviewRunner(QObject *parent = nullptr);
    ~PreviewRunner() override;

    void request(PreviewJob job);
    // Stops the running evaluation; its result is dropped.
    void cancel();
    // Whether an evaluation is still running, cancelled or not.
    bool evaluating() const;

signals:
    void ready(const nvtarnix::editor::PreviewResult &result);

private:
    QThreadPool m_pool;
    std::shared_ptr<std::atomic_bool> m_cancel;
    quint64 m_generation = 0;
};

} // namespace nvtarnix::editor
