#pragma once

#include <QString>
#include <QStringView>

// Where guided editing writes a code picked from a value list, so that the
// mouse alone can finish a comparison: after a variable, a whole comparison
// ("[Customer.Country] = 276"); after an operator, the code with a blank
// before it; on a code already written next to the caret, in its place
// ("< 4" becomes "< 3", not "< 43"); a selection is replaced as always. And
// which variable the value list is for: the one the caret stands at.

namespace nvtarnix::editor {

struct TextReplacement
{
    qsizetype start = 0;
    qsizetype end = 0;
    QString text;
};

TextReplacement valueListInsertion(QStringView text, qsizetype selectionStart, qsizetype selectionEnd,
                                   const QString &code);

// The code a value list should start on: the selection, or the code written
// next to the caret after a comparison; empty for none. Quotes are dropped.
QString codeAtCaret(QStringView text, qsizetype selectionStart, qsizetype selectionEnd);

// The reference the caret stands at: the one it is in, or the last one
// before it on its line with nothing after it but a comparison and a code
// being written. Empty when there is none.
QString referenceAtCaret(QStringView text, qsizetype caret);

} // namespace nvtarnix::editor
