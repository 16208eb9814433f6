#include "schema/DisplayName.h"

namespace nvtarnix {

DisplayNamePieces displayNamePieces(const QString &groupcaption, const QString &vardescription)
{
    return {u"[", groupcaption, groupcaption.isEmpty() ? QStringView() : QStringView(u"."),
            vardescription, u"]"};
}

QString displayName(const QString &groupcaption, const QString &vardescription)
{
    const DisplayNamePieces pieces = displayNamePieces(groupcaption, vardescription);
    QString name;
    name.reserve(pieces[1].size() + pieces[2].size() + pieces[3].size() + 2);
    for (QStringView piece : pieces)
        name.append(piece);
    return name;
}

bool isDisplayName(QStringView text, const QString &groupcaption, const QString &vardescription)
{
    const DisplayNamePieces pieces = displayNamePieces(groupcaption, vardescription);
    qsizetype size = 0;
    for (QStringView piece : pieces)
        size += piece.size();
    if (text.size() != size)
        return false;
    // Names are short: a plain loop beats a library call per piece.
    const QChar *at = text.data();
    for (QStringView piece : pieces) {
        for (QChar c : piece) {
            if (*at++ != c)
                return false;
        }
    }
    return true;
}

} // namespace nvtarnix
