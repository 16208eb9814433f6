#include "rows/RowTally.h"

#include "expression/HostValues.h"
#include "vbscript/Operators.h"
#include "vbscript/CatchScriptErrors.h"

#include <vector>

namespace nvtarnix::rows {

namespace {

bool isConditionValue(const vbscript::Variant &value)
{
    return value.isEmpty() || value.isNull() || value.type() == vbscript::VarType::Boolean;
}

} // namespace

RowTally::RowTally(const vbscript::CompiledExpression &rule, const RowCountJob &job, RowCount &count,
                   const std::atomic_bool *cancel, QDeadlineTimer deadline)
    : m_rule(rule), m_job(job), m_count(count), m_cancel(cancel), m_deadline(deadline)
{
    m_settings.locale = vbscript::ScriptLocale(job.locale);
    m_settings.cancel = cancel;
    m_settings.now = job.now;
}

bool RowTally::stopped()
{
    if (!m_stopped && (cancelled() || pastDeadline())) {
        m_stopped = true;
        m_count.bounded = !cancelled();
    }
    return m_stopped;
}

bool RowTally::selects(const QVariantList &values)
{
    std::vector<vbscript::Variant> row(size_t(m_rule.variables().size()));
    for (size_t i = 0; i < row.size() && i < size_t(values.size()); ++i)
        row[i] = expression::toEngineValue(values[qsizetype(i)]);
    // A row's own limit, unless less of the count's time is left.
    const qint64 left = m_deadline.remainingTime();
    m_settings.timeoutMs = int(left < 0 ? m_job.rowTimeoutMs : std::min<qint64>(m_job.rowTimeoutMs, std::max<qint64>(left, 1)));
    const vbscript::Variant result = m_rule.evaluate(row, m_settings);
    const vbscript::ExecutionSettings truth{m_settings.locale, vbscript::Limits()};
    if (isConditionValue(result))
        return vbscript::ops::truth(truth, result);
    // A value, not a verdict: it selects the rows If would take as True, and a
    // text If cannot take ("Dear ..." of a letter rule) is no failure of the
    // rule, which computed its value.
    m_condition = false;
    return vbscript::catchScriptErrors([&] { return vbscript::ops::truth(truth, result); },
                                       [](const vbscript::ScriptError &) { return false; });
}

void RowTally::evaluate(const QVariantList &values)
{
    const auto fail = [&](const vbscript::ScriptError &error) {
        // The count's own end is no error of the row.
        if (error.number() == vbscript::err::TimeLimitReached && stopped())
            return;
        ++m_count.rows;
        ++m_count.failed;
        if (m_count.failedRows.size() < m_job.keptRows)
            m_count.failedRows.append({values, error.number(), error.descriptionIn(m_job.language)});
    };
    vbscript::catchScriptErrors(
        [&] {
            const bool selected = selects(values);
            ++m_count.rows;
            if (!selected)
                return;
            ++m_count.selected;
            if (wantsSelectedRows())
                keepSelected(values);
        },
        fail);
}

} // namespace nvtarnix::rows
