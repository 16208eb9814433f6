#include "PendingEdits.h"

namespace tarnixdemo {

void PendingEdits::keep(const Rule &rule)
{
    m_rules.insert(rule.id, rule);
}

std::optional<Rule> PendingEdits::find(int id) const
{
    const auto it = m_rules.constFind(id);
    if (it == m_rules.constEnd())
        return std::nullopt;
    return *it;
}

bool PendingEdits::save(int id, DemoDatabase &database)
{
    const auto it = m_rules.constFind(id);
    if (it == m_rules.constEnd())
        return false;
    const bool recreated = database.saveRule(*it);
    m_rules.remove(id);
    return recreated;
}

PendingEdits::Report PendingEdits::saveAll(DemoDatabase &database)
{
    Report report;
    for (const Rule &rule : rules()) {
        try {
            if (save(rule.id, database))
                report.recreated.append(rule);
            report.saved.append(rule);
        } catch (const nvtarnix::Error &e) {
            report.lastError = e;
        }
    }
    return report;
}

} // namespace tarnixdemo
