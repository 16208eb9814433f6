#include "editor/WordList.h"

#include <QLocale>

namespace nvtarnix::editor {

namespace {

const QString kVariableColour = QStringLiteral("&HBB0000&");
const QString kErrorColour = QStringLiteral("&H0000DD&");
const QString kFunctionColour = QStringLiteral("&H000000&");

// Only the blank is trimmed: tabs and line breaks around a word stay part of it.
QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

bool isBracketed(const QString &w)
{
    return w.size() >= 2 && w.front() == QLatin1Char('[') && w.back() == QLatin1Char(']')
           && w.indexOf(QLatin1Char(']')) == w.size() - 1;
}

} // namespace

QString upperSameLength(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper)
        c = c.toUpper();
    return upper;
}

std::optional<QRgb> parseColourLiteral(const QString &literal)
{
    // The three literals the editor itself writes, read without conversions.
    if (literal == kVariableColour)
        return qRgb(0x00, 0x00, 0xBB);
    if (literal == kErrorColour)
        return qRgb(0xDD, 0x00, 0x00);
    if (literal == kFunctionColour)
        return qRgb(0x00, 0x00, 0x00);
    const QString text = literal.trimmed();
    qint64 value = 0;
    if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString digits = text.mid(2);
        if (digits.endsWith(QLatin1Char('&')))
            digits.chop(1);
        bool ok = false;
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        value = digits.toLongLong(&ok, 16);
        if (!ok)
            return std::nullopt;
    } else {
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        // A number no colour can be (NaN, 1E+100) has nothing to round.
        if (!ok || !(number > -1 && number < 0x1000000))
            return std::nullopt;
        value = qRound64(number);
    }
    if (value < 0 || value > 0xFFFFFF)
        return std::nullopt;
    return qRgb(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

std::optional<bool> parseBooleanText(const QString &text)
{
    if (text == QLatin1String("0"))
        return false;
    if (text == QLatin1String("-1"))
        return true;
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString digits = t.mid(2);
        if (digits.endsWith(QLatin1Char('&')))
            digits.chop(1);
        bool ok = false;
        const qulonglong value = digits.toULongLong(&ok, 16);
        if (!ok || digits.size() > 8)
            return std::nullopt;
        return value != 0;
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(t, &ok);
    if (!ok)
        return std::nullopt;
    return number != 0;
}

ParsedWord parseWordEntry(const QString &entry)
{
    ParsedWord parsed;
    const QStringList pieces = entry.split(QLatin1Char('|'));
    parsed.upperWord = upperSameLength(pieces.value(0));
    parsed.bracketed = isBracketed(parsed.upperWord);
    if (pieces.size() < 2)
        return parsed;
    const auto colour = parseColourLiteral(pieces.at(1));
    if (!colour)
        return parsed;
    parsed.colour = *colour;
    if (pieces.size() >= 3) {
        parsed.bold = parseBooleanText(pieces.at(2));
        if (!parsed.bold)
            return parsed;
    }
    parsed.valid = true;
    return parsed;
}

WordList::WordList()
{
    reset();
}

void WordList::reset()
{
    m_entries.clear();
    m_parsed.clear();
    append(QString());
}

void WordList::InitWordColours()
{
    m_errorColour = kErrorColour;
    m_variableColour = kVariableColour;
    m_functionColour = kFunctionColour;
}

void WordList::AddWord(const QString &word, const QString &colour, bool bold)
{
    const QString trimmed = trimBlanks(word);
    if (trimmed.isEmpty())
        return;
    const QString entry = trimmed + QLatin1Char('|') + colour + QLatin1Char('|')
                          + (bold ? QLatin1String("-1") : QLatin1String("0"));
    if (trimmed.contains(QLatin1Char('|')) || colour.contains(QLatin1Char('|'))) {
        // The word breaks its entry: read it back exactly as the pass will.
        append(entry);
        return;
    }
    // The usual case, read straight from the parts instead of splitting the
    // entry again: the same reading, without the copies.
    ParsedWord parsed;
    parsed.upperWord = upperSameLength(trimmed);
    parsed.bracketed = isBracketed(parsed.upperWord);
    if (const auto value = parseColourLiteral(colour)) {
        parsed.colour = *value;
        parsed.bold = bold;
        parsed.valid = true;
    }
    m_entries.append(entry);
    m_parsed.append(std::move(parsed));
}

void WordList::ClearErrorWords(bool isLoading)
{
    if (isLoading || m_errorWordsCleared)
        return;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).contains(kErrorColour)) {
            m_entries[i].clear();
            m_parsed[i] = ParsedWord{};
        }
    }
    m_errorWordsCleared = true;
}

void WordList::append(const QString &entry)
{
    m_entries.append(entry);
    m_parsed.append(entry.isEmpty() ? ParsedWord{} : parseWordEntry(entry));
}

} // namespace nvtarnix::editor
