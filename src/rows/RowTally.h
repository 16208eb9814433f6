#pragma once

#include "rows/RowCount.h"
#include "vbscript/CompiledExpression.h"

#include <QDeadlineTimer>

#include <atomic>

namespace nvtarnix::rows {

// The engine's part of a count: evaluates rows one at a time and adds them
// up into a RowCount, keeping the first selected and failing rows. A row is
// True as the rule's own If would take it. The count's time limit bounds
// each row's run too; a row stopped by it, or by the cancel flag, is no
// failure of the rule but the end of the count (stopped()).
class RowTally
{
public:
    RowTally(const vbscript::CompiledExpression &rule, const RowCountJob &job, RowCount &count,
             const std::atomic_bool *cancel, QDeadlineTimer deadline);

    // values: one per variable of the rule, as the host's QtSql values.
    void evaluate(const QVariantList &values);
    // Rows the database found True without the engine.
    void addSelected(qint64 rows) { m_count.selected += rows; }
    // The first selected rows, when they come apart from the count (the
    // database counted them): kept until there are enough.
    bool wantsSelectedRows() const { return m_count.selectedRows.size() < m_job.keptRows; }
    void keepSelected(const QVariantList &values) { m_count.selectedRows.append({values, 0, {}}); }

    // Whether the count must end: cancelled, or past its time limit.
    bool stopped();
    bool cancelled() const { return m_cancel && m_cancel->load(); }
    bool pastDeadline() const { return m_deadline.hasExpired(); }
    // Whether every result so far was True, False, Null or Empty.
    bool condition() const { return m_condition; }
    // Evaluates without counting: whether the row is selected; throws the
    // row's error.
    bool selects(const QVariantList &values);

private:
    const vbscript::CompiledExpression &m_rule;
    const RowCountJob &m_job;
    RowCount &m_count;
    const std::atomic_bool *m_cancel;
    QDeadlineTimer m_deadline;
    vbscript::RuleSettings m_settings;
    bool m_condition = true;
    bool m_stopped = false;
};

} // namespace nvtarnix::rows
