#pragma once

#include "editor/ScriptColouring.h"

#include <QSyntaxHighlighter>

// Shows the runs of a colouring pass. Formats set by a highlighter belong to the
// layout, not to the text: they never change the text, the selection or the
// undo stack and never raise a text change.

namespace nvtarnix::editor {

class ScriptHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit ScriptHighlighter(QTextDocument *document);

    // Takes the result of a pass. A pass that ended before it reset the text
    // leaves the previous colours on their characters.
    void apply(const ColouringResult &result);

    const QVector<ColourRun> &runs() const { return m_runs; }
    // The script box's background: a run whose colour would not stand out
    // from it is drawn in the nearest colour that does.
    void setBackground(QRgb background);

protected:
    void highlightBlock(const QString &text) override;

private:
    // Keeps the runs on their characters while the text is edited, until the
    // next pass replaces them.
    void followEdit(int position, int charsRemoved, int charsAdded);

    QVector<ColourRun> m_runs;
    QRgb m_background = qRgb(255, 255, 255);
};

} // namespace nvtarnix::editor
