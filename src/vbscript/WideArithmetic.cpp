#include "vbscript/WideArithmetic.h"

#include "vbscript/Rounding.h"

#include <limits>

namespace vbscript {

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

// An unsigned 128-bit magnitude in two halves.
struct U128
{
    quint64 hi = 0;
    quint64 lo = 0;
};

U128 multiply(quint64 a, quint64 b)
{
    const quint64 aLo = a & 0xFFFFFFFFu, aHi = a >> 32;
    const quint64 bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const quint64 lolo = aLo * bLo;
    const quint64 hilo = aHi * bLo;
    const quint64 lohi = aLo * bHi;
    const quint64 hihi = aHi * bHi;
    const quint64 middle = (lolo >> 32) + (hilo & 0xFFFFFFFFu) + (lohi & 0xFFFFFFFFu);
    U128 r;
    r.lo = (middle << 32) | (lolo & 0xFFFFFFFFu);
    r.hi = hihi + (hilo >> 32) + (lohi >> 32) + (middle >> 32);
    return r;
}

// Long division of a 128-bit magnitude by a divisor below 2^32, by 32-bit
// digits, most significant first; the remainder goes to *rest.
U128 divide(U128 n, quint64 d, quint64 *rest)
{
    const quint32 digits[4] = {quint32(n.hi >> 32), quint32(n.hi), quint32(n.lo >> 32), quint32(n.lo)};
    quint32 q[4];
    quint64 r = 0;
    for (int i = 0; i < 4; ++i) {
        const quint64 cur = (r << 32) | digits[i];
        q[i] = quint32(cur / d);
        r = cur % d;
    }
    *rest = r;
    return U128{(quint64(q[0]) << 32) | q[1], (quint64(q[2]) << 32) | q[3]};
}

quint64 magnitude(qint64 v)
{
    return v < 0 ? quint64(0) - quint64(v) : quint64(v);
}

} // namespace

bool addChecked(qint64 a, qint64 b, qint64 *out)
{
    if ((b > 0 && a > kMax - b) || (b < 0 && a < kMin - b))
        return false;
    *out = a + b;
    return true;
}

bool subtractChecked(qint64 a, qint64 b, qint64 *out)
{
    if ((b < 0 && a > kMax + b) || (b > 0 && a < kMin + b))
        return false;
    *out = a - b;
    return true;
}

bool portable::multiplyDivideChecked(qint64 a, qint64 b, qint64 divisor, qint64 *out)
{
    const bool negative = (a < 0) != (b < 0);
    quint64 rest = 0;
    const U128 q = divide(multiply(magnitude(a), magnitude(b)), quint64(divisor), &rest);
    // Rounded as the magnitude, halves to even, and then signed: the same
    // as rounding the signed quotient, since q and -q are even together.
    if (q.hi != 0 || q.lo > quint64(kMax) + 1)
        return false;
    quint64 rounded = q.lo;
    const quint64 twice = rest * 2;
    if (twice > quint64(divisor) || (twice == quint64(divisor) && (rounded & 1)))
        ++rounded;
    if (rounded > quint64(kMax) + (negative ? 1u : 0u))
        return false;
    *out = negative ? qint64(quint64(0) - rounded) : qint64(rounded);
    return true;
}

bool multiplyDivideChecked(qint64 a, qint64 b, qint64 divisor, qint64 *out)
{
#ifdef __SIZEOF_INT128__
    const __int128 p = __int128(a) * b;
    const __int128 q = roundQuotientHalfEven<__int128>(p / divisor, p % divisor, divisor);
    if (q > kMax || q < kMin)
        return false;
    *out = qint64(q);
    return true;
#else
    return portable::multiplyDivideChecked(a, b, divisor, out);
#endif
}

} // namespace vbscript
