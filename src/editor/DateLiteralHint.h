#pragma once

#include <QString>

// What a date literal means, spelled out: "#02/01/2025#" is 1 February, not
// 2 January, whatever the user's habit. Guided editing shows it when the
// pointer rests on the literal.

namespace nvtarnix::editor {

// The date (and time, when it has one) of the literal at position, as the
// engine reads it, in words of the language (1032 Greek, else English);
// empty when position is on no date literal.
QString dateLiteralAt(const QString &text, qsizetype position, int language);

} // namespace nvtarnix::editor
