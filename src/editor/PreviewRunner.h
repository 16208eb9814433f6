#pragma once

#include "editor/PreviewEvaluation.h"
#include "rows/NewestOnly.h"

#include <QObject>

namespace nvtarnix::editor {

// Runs the preview off the UI thread. A newer request cancels the older
// evaluation at once, and only the newest result is delivered, on the
// runner's own thread; typing never waits for an evaluation. Destroying the
// runner cancels what runs and waits for it to stop.
class PreviewRunner : public QObject
{
    Q_OBJECT
public:
    explicit PreviewRunner(QObject *parent = nullptr) : QObject(parent) {}

    void request(PreviewJob job);
    // Stops the running evaluation; its result is dropped.
    void cancel() { m_work.cancel(); }
    // Whether an evaluation is still running, cancelled or not.
    bool evaluating() const { return m_work.running(); }

signals:
    void ready(const nvtarnix::editor::PreviewResult &result);

private:
    rows::NewestOnly m_work{this};
};

} // namespace nvtarnix::editor
