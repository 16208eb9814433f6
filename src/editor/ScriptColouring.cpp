#include "editor/ScriptColouring.h"

#include <QHash>
#include <QStringView>

#include <vector>

namespace nvtarnix::editor {

namespace {

// Every "[" of the text with the text up to the next "]", by content. Variable
// display names are such spans, so thousands of them are found by lookup
// instead of one search of the whole text each.
class BracketSpans
{
public:
    explicit BracketSpans(const QString &upperText)
    {
        qsizetype close = -1;
        std::vector<qsizetype> nextClose(upperText.size(), -1);
        for (qsizetype i = upperText.size() - 1; i >= 0; --i) {
            if (upperText.at(i) == QLatin1Char(']'))
                close = i;
            nextClose[i] = close;
        }
        for (qsizetype i = 0; i + 1 < upperText.size(); ++i) {
            if (upperText.at(i) != QLatin1Char('[') || nextClose[i + 1] < 0)
                continue;
            m_starts[QStringView(upperText).mid(i, nextClose[i + 1] - i + 1)].append(i);
        }
    }

    // Ascending start positions of the word, a bracketed word.
    const QVector<qsizetype> *find(const QString &word) const
    {
        const auto it = m_starts.constFind(QStringView(word));
        return it == m_starts.cend() ? nullptr : &*it;
    }

private:
    QHash<QStringView, QVector<qsizetype>> m_starts;
};

} // namespace

ColouringResult ColourScript(const WordList &words, const QString &text, qint64 selectionStart,
                             qint64 selectionLength)
{
    ColouringResult result;
    if (selectionStart > kLargestPosition || selectionLength > kLargestPosition)
        return result;
    result.applied = true;

    const qsizetype size = text.size();
    std::vector<QRgb> colour(size, qRgb(0, 0, 0));
    std::vector<bool> bold(size, false);
    const QString upperText = upperSameLength(text);

    const BracketSpans spans(upperText);
    const QVector<ParsedWord> &parsed = words.parsed();
    const QStringList &entries = words.entries();
    for (qsizetype index = 0; index < parsed.size(); ++index) {
        if (index > kLargestPosition)
            break;
        if (entries.at(index).isEmpty())
            continue;
        const ParsedWord &word = parsed.at(index);
        if (!word.valid)
            break;
        // An empty word would be found at every position without moving on.
        if (word.upperWord.isEmpty())
            continue;
        const qsizetype length = word.upperWord.size();
        bool ended = false;
        qsizetype scan = 0;
        const QVector<qsizetype> *starts = nullptr;
        qsizetype next = 0;
        if (word.bracketed) {
            starts = spans.find(word.upperWord);
            if (!starts)
                continue;
        }
        while (true) {
            // Scanning on from the end of the last match, left to right, so
            // that occurrences of one word never overlap.
            qsizetype found = -1;
            if (starts) {
                while (next < starts->size() && starts->at(next) < scan)
                    ++next;
                if (next < starts->size())
                    found = starts->at(next++);
            } else {
                found = upperText.indexOf(word.upperWord, scan, Qt::CaseSensitive);
            }
            if (found < 0)
                break;
            // found is 0-based; the pass keeps the 1-based position in 16 bits.
            if (found + 1 > kLargestPosition) {
                ended = true;
                break;
            }
            std::fill(colour.begin() + found, colour.begin() + found + length, word.colour);
            if (word.bold)
                std::fill(bold.begin() + found, bold.begin() + found + length, *word.bold);
            scan = found + length;
            if (scan > kLargestPosition) {
                ended = true;
                break;
            }
        }
        if (ended)
            break;
    }

    qsizetype runStart = 0;
    for (qsizetype i = 1; i <= size; ++i) {
        if (i == size || colour[i] != colour[runStart] || bold[i] != bold[runStart]) {
            result.runs.append(ColourRun{int(runStart), int(i - runStart), colour[runStart], bool(bold[runStart])});
            runStart = i;
        }
    }
    return result;
}

} // namespace nvtarnix::editor
