#include "vbscript/Rounding.h"

#include <cmath>

namespace vbscript {

double roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

qint64 divideRoundHalfEven(qint64 n, qint64 d)
{
    return roundQuotientHalfEven(n / d, n % d, d);
}

} // namespace vbscript
