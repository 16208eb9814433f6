#pragma once

#include <QString>

#include <optional>

// The editor's one per-user setting: the point size of the script text, kept
// under "Tarnix" / "Editor" / "fontsize" as the locale's decimal text of a
// number with up to four decimals (8.25, or 8,25 where the comma is decimal).

namespace nvtarnix::editor {

// The size as the setting holds it: rounded to four decimals, halves to even.
double toFixedPoint4(double size);

// The text written for a size, in the current locale, without trailing zeros.
QString fontSizeText(double size);

// Reads the size back with the current locale; nothing when the stored text is
// not a number. defaultSize is answered when no value is stored.
std::optional<double> readFontSizeSetting(double defaultSize);

void writeFontSizeSetting(double size);

} // namespace nvtarnix::editor
