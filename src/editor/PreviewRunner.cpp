#include "editor/PreviewRunner.h"

namespace nvtarnix::editor {

void PreviewRunner::request(PreviewJob job)
{
    m_work.start([job = std::move(job)](const std::atomic_bool *cancelled) { return runPreview(job, cancelled); },
                 [this](const PreviewResult &result) { emit ready(result); });
}

} // namespace nvtarnix::editor
