#include "editor/Completion.h"

#include "editor/ScriptSpans.h"
#include "support/SearchFolding.h"

namespace nvtarnix::editor {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

QStringList operatorWords()
{
    return {QStringLiteral("And"), QStringLiteral("Or"), QStringLiteral("Not"), QStringLiteral("Xor"),
            QStringLiteral("Mod")};
}

CompletionRequest completionAt(QStringView text, qsizetype caret, int minimumLetters)
{
    CompletionRequest request;
    if (caret < 0 || caret > text.size())
        return request;
    const QVector<ScriptSpan> spans = scriptSpans(text);
    if (const ScriptSpan *span = spanBefore(spans, caret)) {
        if (span->kind != ScriptSpan::Reference)
            return request;
        request.kind = CompletionRequest::Variable;
        request.start = span->start;
        request.end = span->closed ? span->end() : caret;
        request.typed = text.mid(span->start + 1, caret - span->start - 1).toString();
        return request;
    }
    qsizetype start = caret;
    while (start > 0 && isWordChar(text.at(start - 1)))
        --start;
    // A word that starts with a digit is a number; one after a dot is a member.
    if (caret - start < minimumLetters || (caret > start && text.at(start).isDigit())
        || (start > 0 && text.at(start - 1) == QLatin1Char('.')))
        return request;
    // The caret must end the word: completion offers words being typed.
    if (caret < text.size() && isWordChar(text.at(caret)))
        return request;
    request.kind = CompletionRequest::Function;
    request.start = start;
    request.end = caret;
    request.typed = text.mid(start, caret - start).toString();
    return request;
}

CompletionMatcher::CompletionMatcher(const QStringList &searchTexts)
{
    m_folded.reserve(searchTexts.size());
    for (const QString &text : searchTexts)
        m_folded.append(foldForSearch(text));
}

QVector<int> CompletionMatcher::matches(const QString &query, int limit) const
{
    const QString folded = foldForSearch(query);
    const qsizetype dot = folded.indexOf(QLatin1Char('.'));
    const QString groupPart = dot < 0 ? QString() : folded.left(dot);
    const QString captionPart = dot < 0 ? folded : folded.mid(dot + 1);

    QVector<int> atWordStart;
    QVector<int> inside;
    for (qsizetype i = 0; i < m_folded.size() && atWordStart.size() < limit; ++i) {
        const QString &entry = m_folded.at(i);
        QStringView group;
        QStringView caption = entry;
        if (dot >= 0) {
            // Only an entry with a group can match a query with a dot.
            const qsizetype entryDot = entry.indexOf(QLatin1Char('.'));
            if (entryDot < 0)
                continue;
            group = QStringView(entry).left(entryDot);
            caption = QStringView(entry).mid(entryDot + 1);
            if (!group.contains(groupPart))
                continue;
        }
        if (containsAtWordStart(caption, captionPart)
            && (dot < 0 || containsAtWordStart(group, groupPart)))
            atWordStart.append(int(i));
        else if (caption.contains(captionPart) && inside.size() < limit)
            inside.append(int(i));
    }
    for (int i : inside) {
        if (atWordStart.size() >= limit)
            break;
        atWordStart.append(i);
    }
    return atWordStart;
}

} // namespace nvtarnix::editor
