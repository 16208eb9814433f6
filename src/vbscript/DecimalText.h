#pragma once

namespace vbscript {

// Reads a number written with a full stop as its decimal point, as number
// literals are and as the engine rewrites locale text before reading it. The
// process's own locale has no say: a Qt program runs with the user's
// LC_NUMERIC, and under a comma-decimal locale such as Greek plain strtod
// stops at the full stop, so 0.5 would read as 0. Overflow gives an infinity,
// underflow zero or a denormal, exactly as strtod does.
double readDecimalText(const char *text);

} // namespace vbscript
