#pragma once

#include "vbscript/Builtins.h"

#include <QString>

namespace vbscript::lib {

enum class LetterCase { Upper, Lower };

// `text` in upper or lower case (UCase, LCase), in time that grows with its
// length, under the run's time limit and string limit.
//
// Qt maps a character whose other case is longer than itself (ß to SS, ŉ to
// ʼN) by inserting into the string it is building, which moves the rest of
// that string each time: a text full of them took time growing with the
// square of its length. Mapped a piece at a time, a move is bounded by the
// piece. Qt maps each character on its own, so the pieces join to the same
// text as one mapping of the whole would give.
QString mappedCase(const QString &text, LetterCase letterCase, ExecContext &ctx);

} // namespace vbscript::lib
