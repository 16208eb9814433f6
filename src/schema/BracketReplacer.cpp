#include "schema/BracketReplacer.h"

namespace nvtarnix {

BracketReplacer::BracketReplacer(std::vector<Step> steps) : m_steps(std::move(steps))
{
    m_keys.reserve(m_steps.size());
    for (const Step &step : m_steps)
        m_keys.add(QStringView(step.search));
}

QString RemoveLineBreaks(const QString &text)
{
    if (!text.contains(u'\r'))
        return text;
    QString result = text;
    for (int n = 10; n >= 1; --n)
        result.replace(QStringLiteral("\r\n").repeated(n), QStringLiteral(" "));
    return result;
}

} // namespace nvtarnix
