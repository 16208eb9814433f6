#include "editor/ScriptSpans.h"

namespace nvtarnix::editor {

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator
        || c == QChar::LineSeparator;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

qsizetype lineEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && !isLineEnd(text.at(from)))
        ++from;
    return from;
}

bool startsRem(QStringView text, qsizetype i)
{
    if (i > 0 && isWordChar(text.at(i - 1)))
        return false;
    if (text.size() - i < 3 || text.mid(i, 3).compare(QLatin1String("rem"), Qt::CaseInsensitive) != 0)
        return false;
    return i + 3 == text.size() || !isWordChar(text.at(i + 3));
}

} // namespace

QVector<ScriptSpan> scriptSpans(QStringView text)
{
    QVector<ScriptSpan> spans;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n && !isLineEnd(text.at(j))) {
                if (text.at(j) == QLatin1Char('"')) {
                    if (j + 1 < n && text.at(j + 1) == QLatin1Char('"')) {
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                ++j;
            }
            spans.append({ScriptSpan::String, i, j - i, closed});
            i = j;
        } else if (c == QLatin1Char('[')) {
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n && !isLineEnd(text.at(j))) {
                if (text.at(j++) == QLatin1Char(']')) {
                    closed = true;
                    break;
                }
            }
            spans.append({ScriptSpan::Reference, i, j - i, closed});
            i = j;
        } else if (c == QLatin1Char('\'') || ((c == QLatin1Char('r') || c == QLatin1Char('R')) && startsRem(text, i))) {
            const qsizetype j = lineEnd(text, i);
            spans.append({ScriptSpan::Comment, i, j - i, true});
            i = j;
        } else {
            ++i;
        }
    }
    return spans;
}

const ScriptSpan *spanAt(const QVector<ScriptSpan> &spans, qsizetype position)
{
    // Few spans in a script: a straight search is enough.
    for (const ScriptSpan &span : spans) {
        if (span.start > position)
            break;
        if (position < span.end())
            return &span;
    }
    return nullptr;
}

const ScriptSpan *spanBefore(const QVector<ScriptSpan> &spans, qsizetype position)
{
    if (position <= 0)
        return nullptr;
    const ScriptSpan *span = spanAt(spans, position - 1);
    if (!span)
        return nullptr;
    // The caret right after a closing quote or bracket has left the span;
    // an unclosed one keeps the caret inside up to the line's end.
    if (span->closed && position == span->end())
        return nullptr;
    return span;
}

} // namespace nvtarnix::editor
