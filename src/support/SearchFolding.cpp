#include "support/SearchFolding.h"

namespace nvtarnix {

QString foldForSearch(QStringView text)
{
    // Plain ASCII needs no decomposition: the common case stays cheap when
    // twenty thousand captions are folded.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toString().toLower();
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        folded.append(c);
    }
    return folded.toCaseFolded();
}

bool containsAtWordStart(QStringView folded, QStringView foldedNeedle)
{
    if (foldedNeedle.isEmpty())
        return true;
    qsizetype from = 0;
    while ((from = folded.indexOf(foldedNeedle, from)) >= 0) {
        if (from == 0 || !folded.at(from - 1).isLetterOrNumber())
            return true;
        ++from;
    }
    return false;
}

} // namespace nvtarnix
