#pragma once

// One rounding rule for the whole engine: a half goes to the even neighbour
// (2.5 to 2, 3.5 to 4), as VBScript rounds wherever it makes a whole number or
// drops digits: CInt and CLng, Round, Currency arithmetic, array indices.

#include <QtGlobal>

namespace vbscript {

// `value` rounded to a whole number, halves to even. Independent of the
// floating-point rounding mode a host may have set.
double roundHalfEven(double value);

// The integer quotient n / d rounded half to even, for d > 0: scaled
// Currency values brought back to fewer decimals.
qint64 divideRoundHalfEven(qint64 n, qint64 d);

// The truncated quotient `q` of a division by `d` (> 0) with remainder `r`
// (of the dividend's sign), moved to the nearest integer, halves to even.
// Shared by the 64-bit division above and the 128-bit one of WideArithmetic.
template<typename Int>
Int roundQuotientHalfEven(Int q, Int r, Int d)
{
    const Int twice = r < 0 ? -(r + r) : r + r;
    const bool odd = (q % 2) != 0;
    if (twice > d || (twice == d && odd))
        return r < 0 ? q - 1 : q + 1;
    return q;
}

} // namespace vbscript
