#include "rows/RowCountRunner.h"

namespace nvtarnix::rows {

void RowCountRunner::request(RowCountJob job)
{
    m_work.start([job = std::move(job)](const std::atomic_bool *cancelled) { return countRows(job, cancelled); },
                 [this](const RowCount &count) { emit counted(count); });
}

} // namespace nvtarnix::rows
