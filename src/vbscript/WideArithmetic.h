#pragma once

// 64-bit integer arithmetic whose results may not fit: Currency values are
// 64-bit integers scaled by 10,000, and their sums, differences and products
// must end in 6 "Overflow" instead of wrapping.
//
// The product of two Currency values needs 128 bits before it is scaled
// back. Compilers that have a 128-bit integer (__int128 on GCC and Clang)
// compute it natively; elsewhere a portable version does the same with two
// 64-bit halves. Both are always built, so the tests hold them to the same
// answers.

#include <QtGlobal>

namespace vbscript {

// a + b and a - b into *out; false when the result does not fit in 64 bits.
bool addChecked(qint64 a, qint64 b, qint64 *out);
bool subtractChecked(qint64 a, qint64 b, qint64 *out);

// a * b / divisor rounded half to even, for 0 < divisor < 2^31, into *out;
// false when the result does not fit in 64 bits.
bool multiplyDivideChecked(qint64 a, qint64 b, qint64 divisor, qint64 *out);

namespace portable {
// The same without a 128-bit integer type.
bool multiplyDivideChecked(qint64 a, qint64 b, qint64 divisor, qint64 *out);
} // namespace portable

} // namespace vbscript
