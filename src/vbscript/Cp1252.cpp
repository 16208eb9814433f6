#include "vbscript/Cp1252.h"

namespace vbscript {

namespace {

// Characters 128 to 159.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QChar cp1252Char(int code)
{
    return QChar(code >= 128 && code < 160 ? kHighControls[code - 128] : char16_t(code));
}

int cp1252Code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128 || (u >= 160 && u < 256))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == u)
            return 128 + i;
    }
    return '?';
}

} // namespace vbscript
