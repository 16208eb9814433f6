#include "forms/WidestText.h"

#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace nvtarnix {

namespace {

// How many of the widest estimates are measured exactly.
constexpr std::size_t kExactlyMeasured = 32;

// A text's width as item views lay it out: one line, its natural width
// (which counts a last glyph that reaches past its advance).
double laidOutWidth(const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setNumColumns(int(text.size()));
    layout.endLayout();
    return line.isValid() ? line.naturalTextWidth() : 0;
}

} // namespace

WidestText::WidestText(const QFont &font) : m_font(font), m_metrics(font)
{
}

int WidestText::textWidth(const QFont &font, const QString &text)
{
    return int(std::ceil(laidOutWidth(font, text)));
}

double WidestText::estimate(const QString &text)
{
    double sum = 0;
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
    const double width = indent + estimate(text);
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
    double widest = m_widestEstimate;
    for (const Candidate &c : m_candidates)
        widest = std::max(widest, c.indent + laidOutWidth(m_font, c.text));
    return int(std::ceil(widest));
}

} // namespace nvtarnix
