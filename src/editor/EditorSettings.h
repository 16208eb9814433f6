#pragma once

#include <QString>

#include <optional>

// The editor's one per-user setting: the point size of the script text, kept
// under "Tarnix" / "Editor" / "fontsize" as the decimal text of a number with
// up to four decimals, "8.25" in every locale, so that the size survives a
// change of the user's locale.

namespace nvtarnix::editor {

// The size as the setting holds it: rounded to four decimals, halves to even.
double toFixedPoint4(double size);

// The text written for a size, with a decimal point and no trailing zeros.
QString fontSizeText(double size);

// Reads the size back, also from a text with a decimal comma; nothing when the
// stored text is not a number. defaultSize is answered when no value is stored.
std::optional<double> readFontSizeSetting(double defaultSize);

void writeFontSizeSetting(double size);

} // namespace nvtarnix::editor
