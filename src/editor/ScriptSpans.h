#pragma once

#include <QStringView>
#include <QVector>

// Where the parts of a script text lie that the editing aids must tell apart:
// string literals ("..." with "" for a quote, ending at the line's end when
// unclosed), bracketed references ([...], on one line) and comments (from '
// or Rem to the line's end). Everything else is code.

namespace nvtarnix::editor {

struct ScriptSpan
{
    enum Kind { String, Reference, Comment };
    Kind kind = String;
    qsizetype start = 0;
    qsizetype length = 0;  // an unclosed string or reference runs to the line's end
    bool closed = true;

    qsizetype end() const { return start + length; }
};

// The spans in text order.
QVector<ScriptSpan> scriptSpans(QStringView text);

// The span that holds the character before position (the caret sits after
// what was typed), or null. A caret right after a closing quote or bracket is
// outside its span.
const ScriptSpan *spanBefore(const QVector<ScriptSpan> &spans, qsizetype position);
// The answer points into `spans`, so a list about to die cannot be asked.
const ScriptSpan *spanBefore(QVector<ScriptSpan> &&spans, qsizetype position) = delete;

// The span that holds the character at position, or null.
const ScriptSpan *spanAt(const QVector<ScriptSpan> &spans, qsizetype position);

} // namespace nvtarnix::editor
