#include "support/WidestText.h"

#include <algorithm>

namespace nvtarnix {

namespace {

// How many of the widest estimates are measured exactly.
constexpr std::size_t kExactlyMeasured = 32;

} // namespace

WidestText::WidestText(const QFontMetrics &metrics) : m_metrics(metrics)
{
}

int WidestText::estimate(const QString &text)
{
    int sum = 0;
    for (const QChar c : text) {
        // A character outside the basic plane has no advance of its own half:
        // such a text is measured exactly.
        if (c.isSurrogate())
            return m_metrics.horizontalAdvance(text);
        auto it = m_advances.constFind(c);
        if (it == m_advances.cend())
            it = m_advances.insert(c, m_metrics.horizontalAdvance(c));
        sum += *it;
    }
    return sum;
}

void WidestText::add(const QString &text, int indent)
{
    const int width = indent + estimate(text);
    m_widestEstimate = std::max(m_widestEstimate, width);
    const auto narrowestOnTop = [](const Candidate &a, const Candidate &b) { return a.estimate > b.estimate; };
    if (m_candidates.size() < kExactlyMeasured) {
        m_candidates.push_back({width, indent, text});
        std::push_heap(m_candidates.begin(), m_candidates.end(), narrowestOnTop);
    } else if (width > m_candidates.front().estimate) {
        std::pop_heap(m_candidates.begin(), m_candidates.end(), narrowestOnTop);
        m_candidates.back() = {width, indent, text};
        std::push_heap(m_candidates.begin(), m_candidates.end(), narrowestOnTop);
    }
}

int WidestText::width() const
{
    int widest = m_widestEstimate;
    for (const Candidate &c : m_candidates)
        widest = std::max(widest, c.indent + m_metrics.horizontalAdvance(c.text));
    return widest;
}

} // namespace nvtarnix
