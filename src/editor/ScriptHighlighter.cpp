#include "editor/ScriptHighlighter.h"

#include "editor/Contrast.h"

#include <QTextDocument>

#include <algorithm>

namespace nvtarnix::editor {

ScriptHighlighter::ScriptHighlighter(QTextDocument *document) : QSyntaxHighlighter(document)
{
    connect(document, &QTextDocument::contentsChange, this, &ScriptHighlighter::followEdit);
}

void ScriptHighlighter::apply(const ColouringResult &result)
{
    if (result.applied)
        m_runs = result.runs;
    // Rehighlighting closes an edit block, which the document would announce
    // as a change of its contents. Only formats change here, so the document
    // stays silent; the layout is told directly and still repaints.
    QTextDocument *doc = document();
    const bool wasBlocked = doc->blockSignals(true);
    rehighlight();
    doc->blockSignals(wasBlocked);
}

void ScriptHighlighter::setBackground(QRgb background)
{
    if (m_background == background)
        return;
    m_background = background;
    apply(ColouringResult{});
}

void ScriptHighlighter::highlightBlock(const QString &text)
{
    const int blockStart = currentBlock().position();
    const int blockEnd = blockStart + int(text.size());
    auto run = std::upper_bound(m_runs.cbegin(), m_runs.cend(), blockStart,
                                [](int position, const ColourRun &r) { return position < r.start + r.length; });
    for (; run != m_runs.cend() && run->start < blockEnd; ++run) {
        const int from = std::max(run->start, blockStart);
        const int to = std::min(run->start + run->length, blockEnd);
        if (to <= from)
            continue;
        QTextCharFormat format;
        format.setForeground(QColor::fromRgb(readableOn(run->colour, m_background, kTextContrast)));
        format.setFontWeight(run->bold ? QFont::Bold : QFont::Normal);
        setFormat(from - blockStart, to - from, format);
    }
}

void ScriptHighlighter::followEdit(int position, int charsRemoved, int charsAdded)
{
    // Equal counts are a change of format, not of text: nothing moves.
    if (m_runs.isEmpty() || charsRemoved == charsAdded)
        return;
    QVector<ColourRun> moved;
    moved.reserve(m_runs.size() + 1);
    const int removedEnd = position + charsRemoved;
    const int shift = charsAdded - charsRemoved;
    for (ColourRun r : std::as_const(m_runs)) {
        const int end = r.start + r.length;
        if (end <= position) {
            moved.append(r);
        } else if (r.start >= removedEnd) {
            r.start += shift;
            moved.append(r);
        } else {
            // The run loses the removed characters and keeps what lies outside.
            const int keepBefore = std::max(0, position - r.start);
            const int keepAfter = std::max(0, end - removedEnd);
            if (keepBefore > 0)
                moved.append(ColourRun{r.start, keepBefore, r.colour, r.bold});
            if (keepAfter > 0)
                moved.append(ColourRun{position + charsAdded, keepAfter, r.colour, r.bold});
        }
    }
    // Inserted characters start black and not bold until the next pass.
    if (charsAdded > 0) {
        moved.append(ColourRun{position, charsAdded, qRgb(0, 0, 0), false});
        std::sort(moved.begin(), moved.end(),
                  [](const ColourRun &a, const ColourRun &b) { return a.start < b.start; });
    }
    m_runs = moved;
}

} // namespace nvtarnix::editor
