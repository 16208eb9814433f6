#include "vbscript/DecimalText.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace vbscript {

double readDecimal(const char *text)
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, c);
}

} // namespace vbscript
