#include "vbscript/DecimalText.h"

#include <cstdlib>
#include <locale.h>

namespace vbscript {

double readDecimalText(const char *text)
{
    // One C locale for the process, made on first use and kept to the end.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

} // namespace vbscript
