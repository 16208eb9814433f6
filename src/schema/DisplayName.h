#pragma once

#include <nvtarnix/VariableRecord.h>

#include <QString>
#include <QStringView>

#include <array>

// A variable's display name: "[" + groupcaption + "." + vardescription + "]",
// or "[" + vardescription + "]" when it has no group. It is how the display
// form of a script writes the variable, the tag of its node in the editor's
// variable tree, the text inserted for it and the word coloured for it, and
// what the conversions and the check search for.

namespace nvtarnix {

// The name in its pieces, in order; without a group the group and its dot are
// empty. The pieces view the two strings passed in, so the name can be
// compared or hashed without being built.
using DisplayNamePieces = std::array<QStringView, 5>;
DisplayNamePieces displayNamePieces(const QString &groupcaption, const QString &vardescription);

QString displayName(const QString &groupcaption, const QString &vardescription);
inline QString displayName(const VariableRecord &record)
{
    return displayName(record.groupcaption, record.vardescription);
}

// Whether text is exactly the display name (letter case counts).
bool isDisplayName(QStringView text, const QString &groupcaption, const QString &vardescription);

} // namespace nvtarnix
