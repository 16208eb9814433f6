#pragma once

#include "editor/WordList.h"

#include <QRgb>
#include <QString>
#include <QVector>

// The colouring pass over the whole script text, computed as runs of equal
// format. It reads the text and the word list only; applying the runs is the
// highlighter's job, so colouring never touches the text or its selection.

namespace nvtarnix::editor {

struct ColourRun
{
    int start = 0;
    int length = 0;
    QRgb colour = qRgb(0, 0, 0);
    bool bold = false;

    friend bool operator==(const ColourRun &, const ColourRun &) = default;
};

struct ColouringResult
{
    // False when the pass ended before it reset the text: the text then keeps
    // the colours it had.
    bool applied = false;
    // Runs covering the whole text in order; characters after the point where a
    // pass ended keep black, not bold, like the rest of the reset text.
    QVector<ColourRun> runs;
};

// Positions in the pass are 16-bit: a selection beyond 32,767 when the pass
// begins ends it before any colouring, and a match or scan position beyond it
// ends the pass there with everything before it applied.
inline constexpr int kLargestPosition = 32767;

// Every word is found wherever its text occurs, ignoring letter case, scanning
// left to right without overlaps; entries later in the list win where their
// occurrences overlap earlier ones.
ColouringResult ColourScript(const WordList &words, const QString &text, qint64 selectionStart,
                             qint64 selectionLength);

} // namespace nvtarnix::editor
