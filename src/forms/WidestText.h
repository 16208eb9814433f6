#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>

#include <vector>

namespace nvtarnix {

// The width of the widest of many short texts (a tree's twenty thousand
// captions, a value list's codes), found without shaping every one: each
// text is first estimated from the advances of its characters, kept per
// character, and the widest few by that estimate are measured exactly. The
// answer is the larger of the two, so a column given this width shows every
// text whole; at worst it is a pixel or two wider than it needs to be.
class WidestText
{
public:
    explicit WidestText(const QFont &font);

    // One text's width in whole pixels, rounded up as item views round the
    // room they give a text.
    static int textWidth(const QFont &font, const QString &text);

    // A text that starts indent pixels in (a tree node's depth).
    void add(const QString &text, int indent = 0);

    // The widest text with its indent, in pixels; 0 when none was added.
    int width() const;

private:
    double estimate(const QString &text);

    struct Candidate
    {
        double estimate;
        int indent;
        QString text;
    };

    QFont m_font;
    QFontMetricsF m_metrics;
    QHash<QChar, qreal> m_advances;
    double m_widestEstimate = 0;
    // The widest texts by estimate, kept as a heap with the narrowest on top.
    std::vector<Candidate> m_candidates;
};

} // namespace nvtarnix
