#pragma once

#include <QRgb>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The words that the script text is coloured with: variable display names,
// the host's error texts and function call templates. Each entry is the word,
// its colour literal and its bold flag joined by "|" (for example
// "[Customer.Name]|&HBB0000&|0"); index 0 is always an empty entry. The entry
// texts keep the colour literals hosts know (blue, green, red as 0xBBGGRR);
// what is read from them is a QRgb.

namespace nvtarnix::editor {

// One entry as the colouring pass reads it, parsed once when it is added.
struct ParsedWord
{
    QString upperWord;        // the word, upper-cased character by character
    bool valid = false;       // false: reading the entry fails and ends the pass
    QRgb colour = qRgb(0, 0, 0);
    std::optional<bool> bold; // only when the entry has a third piece
    // "[" ... "]" with no other "]": every occurrence is a "[" together with
    // the text up to the next "]", so the pass finds it by lookup.
    bool bracketed = false;
};

class WordList
{
public:
    WordList();

    // Back to the single empty entry of a freshly loaded window.
    void reset();

    void InitWordColours();
    void AddWord(const QString &word, const QString &colour, bool bold);
    // Blanks every entry in the error colour, once per opening and never while
    // the window is being filled.
    void ClearErrorWords(bool isLoading);

    const QString &errorColour() const { return m_errorColour; }
    const QString &variableColour() const { return m_variableColour; }
    const QString &functionColour() const { return m_functionColour; }

    bool errorWordsCleared() const { return m_errorWordsCleared; }
    void setErrorWordsCleared(bool cleared) { m_errorWordsCleared = cleared; }

    const QStringList &entries() const { return m_entries; }
    const QVector<ParsedWord> &parsed() const { return m_parsed; }

private:
    void append(const QString &entry);

    QStringList m_entries;
    QVector<ParsedWord> m_parsed;
    QString m_errorColour;
    QString m_variableColour;
    QString m_functionColour;
    bool m_errorWordsCleared = false;
};

// Upper-cases one character at a time, so that positions in the result are the
// positions in the original text.
QString upperSameLength(const QString &text);

// Reads a colour literal ("&HBB0000&", or a decimal number), whose value is
// blue, green, red as 0xBBGGRR.
std::optional<QRgb> parseColourLiteral(const QString &literal);

// Reads a boolean written as text: "-1", "0", any number, "True" or "False".
std::optional<bool> parseBooleanText(const QString &text);

ParsedWord parseWordEntry(const QString &entry);

} // namespace nvtarnix::editor
