#include "vbscript/library/CaseMapping.h"

#include <algorithm>

namespace vbscript::lib {

namespace {

// Small enough that the moves inside a piece cost little more than the
// piece's own mapping.
constexpr qsizetype kPiece = 256;

QString mapped(QString &&text, LetterCase letterCase)
{
    return letterCase == LetterCase::Upper ? std::move(text).toUpper() : std::move(text).toLower();
}

} // namespace

QString mappedCase(const QString &text, LetterCase letterCase, ExecContext &ctx)
{
    if (text.size() <= kPiece)
        return mapped(QString(text), letterCase);
    QString out;
    out.reserve(text.size());
    for (qsizetype pos = 0; pos < text.size();) {
        qsizetype length = std::min(kPiece, text.size() - pos);
        // A surrogate pair maps as one character: never cut between its halves.
        if (pos + length < text.size() && text[pos + length - 1].isHighSurrogate())
            --length;
        out += mapped(text.sliced(pos, length), letterCase);
        ctx.limits().checkString(out.size());
        ctx.spendScan(length);
        pos += length;
    }
    return out;
}

} // namespace vbscript::lib
