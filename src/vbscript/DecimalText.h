#pragma once

namespace vbscript {

// Reads a number written with '.' as its decimal point whatever the process's
// C locale says (a host under a Greek locale has LC_NUMERIC with a comma):
// as strtod in the "C" locale, infinity past the range of double and 0 below it.
double readDecimal(const char *text);

} // namespace vbscript
