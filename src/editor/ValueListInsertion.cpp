#include "editor/ValueListInsertion.h"

#include "editor/ScriptSpans.h"

#include <QRegularExpression>

namespace nvtarnix::editor {

namespace {

const QString kComparisons[] = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                QStringLiteral("="),  QStringLiteral("<"),  QStringLiteral(">")};

// A character that may be part of a code as a value list writes it.
bool isCodeChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'.' || c == u'"' || c == u'_' || c == u'-' || c == u'#' || c == u'/';
}

bool endsWithComparison(QStringView before)
{
    const QStringView trimmed = before.trimmed();
    for (const QString &op : kComparisons) {
        if (trimmed.endsWith(op))
            return true;
    }
    return false;
}

} // namespace

TextReplacement valueListInsertion(QStringView text, qsizetype selectionStart, qsizetype selectionEnd,
                                   const QString &code)
{
    if (selectionEnd > selectionStart)
        return {selectionStart, selectionEnd, code};
    const qsizetype caret = selectionStart;
    // The code written next to the caret, after a comparison.
    qsizetype start = caret;
    qsizetype end = caret;
    while (start > 0 && isCodeChar(text.at(start - 1)))
        --start;
    while (end < text.size() && isCodeChar(text.at(end)))
        ++end;
    if (end > start && endsWithComparison(text.left(start)))
        return {start, end, code};

    const QStringView before = text.left(caret);
    const QStringView trimmed = before.trimmed();
    const bool blankBefore = !before.isEmpty() && before.back().isSpace();
    const QString lead = blankBefore || before.isEmpty() ? QString() : QStringLiteral(" ");
    if (endsWithComparison(before))
        return {caret, caret, lead + code};
    if (trimmed.endsWith(u']'))
        return {caret, caret, lead + QStringLiteral("= ") + code};
    return {caret, caret, code};
}

QString codeAtCaret(QStringView text, qsizetype selectionStart, qsizetype selectionEnd)
{
    const TextReplacement place = valueListInsertion(text, selectionStart, selectionEnd, QString());
    QString code = text.mid(place.start, place.end - place.start).toString().trimmed();
    if (code.size() >= 2 && code.startsWith(u'"') && code.endsWith(u'"'))
        code = code.mid(1, code.size() - 2);
    return code;
}

QString referenceAtCaret(QStringView text, qsizetype caret)
{
    const QVector<ScriptSpan> spans = scriptSpans(text);
    const ScriptSpan *last = nullptr;
    for (const ScriptSpan &span : spans) {
        if (span.start >= caret)
            break;
        last = &span;
    }
    if (!last || last->kind != ScriptSpan::Reference || !last->closed)
        return {};
    if (last->end() >= caret)
        return text.mid(last->start, last->length).toString();
    static const QRegularExpression comparisonAndCode(
        QStringLiteral("^[ \\t]*(?:(?:<>|<=|>=|=|<|>)[ \\t]*[^\\s()&+*/\\\\,=<>\\[\\]]*)?\\z"));
    const QString between = text.mid(last->end(), caret - last->end()).toString();
    if (!comparisonAndCode.match(between).hasMatch())
        return {};
    return text.mid(last->start, last->length).toString();
}

} // namespace nvtarnix::editor
