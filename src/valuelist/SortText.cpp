#include "valuelist/SortText.h"

#include "valuelist/RecordsetErrors.h"

#include <QRegularExpression>

namespace nvtarnix {

namespace {

// Splits at the commas that are not inside a bracketed field name.
QStringList splitKeys(const QString &text)
{
    QStringList keys;
    QString current;
    bool inBrackets = false;
    for (const QChar c : text) {
        if (c == u'[')
            inBrackets = true;
        else if (c == u']')
            inBrackets = false;
        if (c == u',' && !inBrackets) {
            keys.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (inBrackets)
        recordset_errors::raiseInvalidArgument(
            QStringLiteral("the sort text \"%1\" has an unclosed \"[\"").arg(text));
    keys.append(current);
    return keys;
}

bool readDirection(const QString &word, bool &descending)
{
    if (word.compare(u"ASC", Qt::CaseInsensitive) == 0) {
        descending = false;
        return true;
    }
    if (word.compare(u"DESC", Qt::CaseInsensitive) == 0) {
        descending = true;
        return true;
    }
    return false;
}

SortKey parseKey(const QString &rawKey, const QString &wholeText)
{
    const QString key = rawKey.trimmed();
    if (key.isEmpty())
        recordset_errors::raiseInvalidArgument(
            QStringLiteral("the sort text \"%1\" has an empty key").arg(wholeText));

    SortKey result;
    if (key.startsWith(u'[')) {
        const qsizetype close = key.indexOf(u']');
        result.field = key.mid(1, close - 1);
        const QString rest = key.mid(close + 1).trimmed();
        if (!rest.isEmpty() && !readDirection(rest, result.descending))
            recordset_errors::raiseInvalidArgument(
                QStringLiteral("\"%1\" in the sort text is neither ASC nor DESC").arg(rest));
        return result;
    }

    // A name without brackets may itself hold blanks, so only a last word
    // of ASC or DESC is taken as the direction.
    const qsizetype lastBlank = key.lastIndexOf(QRegularExpression(QStringLiteral("\\s")));
    if (lastBlank > 0 && readDirection(key.mid(lastBlank + 1), result.descending)) {
        result.field = key.left(lastBlank).trimmed();
        return result;
    }
    result.field = key;
    return result;
}

} // namespace

QList<SortKey> parseSortText(const QString &text)
{
    QList<SortKey> keys;
    if (text.trimmed().isEmpty())
        return keys;
    for (const QString &rawKey : splitKeys(text))
        keys.append(parseKey(rawKey, text));
    return keys;
}

} // namespace nvtarnix
