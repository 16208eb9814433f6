#pragma once

#include <QString>
#include <QVariant>

namespace nvtarnix {

// The value list reads codes and descriptions with the script language's own
// conversions, so that a code means the same number in the list as in an
// expression ("12" is 12, 2.5 is 2, 3.5 is 4). A value that does not convert
// raises the script engine's error (13 "Type mismatch", 94 "Invalid use of
// Null", 6 "Overflow") as an nvtarnix::Error with the same number and text.

// A value as a 32-bit integer, as CLng converts it.
qint32 codeToLong(const QVariant &value);

// A value as text, as CStr converts it; Null gives the empty text.
QString valueToText(const QVariant &value);

} // namespace nvtarnix
