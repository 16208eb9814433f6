#include "editor/ScriptColouring.h"

#include <vector>

namespace nvtarnix::editor {

ColouringResult ColourScript(const WordList &words, const QString &text, qint64 selectionStart,
                             qint64 selectionLength)
{
    ColouringResult result;
    if (selectionStart > kLargestPosition || selectionLength > kLargestPosition)
        return result;
    result.applied = true;

    const qsizetype size = text.size();
    std::vector<unsigned> colour(size, 0);
    std::vector<bool> bold(size, false);
    const QString upperText = upperSameLength(text);

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
        while (true) {
            const qsizetype found = upperText.indexOf(word.upperWord, scan, Qt::CaseSensitive);
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
