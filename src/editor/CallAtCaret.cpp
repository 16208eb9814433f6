#include "editor/CallAtCaret.h"

#include "editor/ScriptSpans.h"

#include <QVector>

namespace nvtarnix::editor {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The parentheses of the code, in order, with the partner of each
// (-1 when unmatched), and the commas at each level.
struct Parenthesis
{
    qsizetype position;
    qsizetype partner = -1;
};

// Calls f(position, character) for every character of code before end,
// skipping strings, references and comments.
template<typename F>
void forEachCodeChar(QStringView text, qsizetype end, F f)
{
    const QVector<ScriptSpan> spans = scriptSpans(text);
    qsizetype next = 0;
    for (qsizetype i = 0; i < end && i < text.size();) {
        if (next < spans.size() && spans.at(next).start == i) {
            i = spans.at(next).end();
            ++next;
            continue;
        }
        f(i, text.at(i));
        ++i;
    }
}

QString nameBefore(QStringView text, qsizetype openParen)
{
    qsizetype end = openParen;
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    qsizetype start = end;
    while (start > 0 && isWordChar(text.at(start - 1)))
        --start;
    if (start == end || text.at(start).isDigit())
        return {};
    return text.mid(start, end - start).toString();
}

} // namespace

std::optional<CallAtCaret> callAtCaret(QStringView text, qsizetype caret,
                                       const std::function<bool(const QString &)> &isFunction)
{
    struct Open
    {
        qsizetype position;
        int commas;
    };
    QVector<Open> open;
    forEachCodeChar(text, caret, [&](qsizetype i, QChar c) {
        if (c == QLatin1Char('('))
            open.append({i, 0});
        else if (c == QLatin1Char(')') && !open.isEmpty())
            open.removeLast();
        else if (c == QLatin1Char(',') && !open.isEmpty())
            ++open.last().commas;
    });
    for (qsizetype level = open.size() - 1; level >= 0; --level) {
        const QString name = nameBefore(text, open.at(level).position);
        if (!name.isEmpty() && isFunction(name))
            return CallAtCaret{name, open.at(level).commas};
    }
    return std::nullopt;
}

QString hintHtml(const QString &declaration, int argument, const QString &meaning)
{
    if (!meaning.isEmpty())
        return hintHtml(declaration, argument) + QStringLiteral("<br>") + meaning.toHtmlEscaped();
    const qsizetype open = declaration.indexOf(QLatin1Char('('));
    const qsizetype close = declaration.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return declaration.toHtmlEscaped();
    // The parameters split at the commas of the list's own level.
    QStringList parameters;
    int depth = 0;
    qsizetype from = open + 1;
    for (qsizetype i = open + 1; i < close; ++i) {
        const QChar c = declaration.at(i);
        if (c == QLatin1Char('(') || c == QLatin1Char('['))
            ++depth;
        else if (c == QLatin1Char(')') || c == QLatin1Char(']'))
            --depth;
        else if (c == QLatin1Char(',') && depth == 0) {
            parameters.append(declaration.mid(from, i - from));
            from = i + 1;
        }
    }
    parameters.append(declaration.mid(from, close - from));
    QString html = declaration.left(open + 1).toHtmlEscaped();
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        if (i > 0)
            html += QLatin1Char(',');
        const QString escaped = parameters.at(i).toHtmlEscaped();
        if (i == argument && !parameters.at(i).trimmed().isEmpty()) {
            // Leading blanks stay outside the bold part.
            const qsizetype blanks = escaped.size() - QStringView(escaped).trimmed().size();
            html += escaped.left(blanks) + QStringLiteral("<b>") + escaped.mid(blanks) + QStringLiteral("</b>");
        } else {
            html += escaped;
        }
    }
    return html + declaration.mid(close).toHtmlEscaped();
}

std::optional<std::pair<qsizetype, qsizetype>> parenthesisPair(QStringView text, qsizetype caret)
{
    QVector<Parenthesis> parens;
    QVector<qsizetype> stack;
    forEachCodeChar(text, text.size(), [&](qsizetype i, QChar c) {
        if (c == QLatin1Char('(')) {
            stack.append(parens.size());
            parens.append(Parenthesis{i, -1});
        } else if (c == QLatin1Char(')')) {
            parens.append(Parenthesis{i, -1});
            if (!stack.isEmpty()) {
                const qsizetype opener = stack.takeLast();
                parens[opener].partner = i;
                parens.last().partner = parens.at(opener).position;
            }
        }
    });
    for (const qsizetype at : {caret, caret - 1}) {
        for (const Parenthesis &p : parens) {
            if (p.position == at && p.partner >= 0)
                return std::pair<qsizetype, qsizetype>{p.position, p.partner};
        }
    }
    return std::nullopt;
}

} // namespace nvtarnix::editor
