#pragma once

// Numbers as text, both ways, as VBScript writes and reads them: CStr's forms
// of Double, Single and Currency, the reading of numeric text ("1,5" in
// Greek, "&H10", " -3e2 "), and the values of &H and &O literals.

#include "vbscript/Variant.h"

#include <QString>
#include <QStringView>

namespace vbscript {

class ScriptLocale;

// Reads a number written with '.' as its decimal point whatever the process's
// C locale says (a host under a Greek locale has LC_NUMERIC with a comma):
// as strtod in the "C" locale, infinity past the range of double and 0 below it.
double readDecimal(const char *text);

// The value of `c` as a digit in `radix` (8, 10 or 16), or -1.
int digitValue(QChar c, int radix);

// The value the digits of an &H or &O number stand for. Without the Long
// suffix "&" up to 16 bits are an Integer's (&HFFFF is -1), wider values and
// suffixed ones a Long's two's complement. `digits` must fit in 32 bits.
qint32 radixValue(quint64 digits, bool longSuffix);
// The literal's Variant: an Integer where the value fits one, else a Long.
Variant radixLiteral(quint64 digits, bool longSuffix);

// Numeric text as conversions read it: blanks around it, a sign, the
// locale's currency symbol, group separators between integer digits, the
// locale's decimal point, an exponent with E or D, or an &H/&O number.
// Answers false for text that is no number; throws 6 for one too large.
bool parseNumber(QStringView text, const ScriptLocale &locale, double *out);

// Decimal text read exactly as a Currency, scaled by 10,000 with halves to
// even: the type holds 19 digits, more than a Double keeps, so CCur("...")
// must not pass through one. Answers false for text that is not a decimal
// number (an &H number among them); throws 6 when the value does not fit.
bool parseCurrency(QStringView text, const ScriptLocale &locale, qint64 *out);

// CStr's text of a Double (15 significant digits), a Single (7) and a
// Currency (scaled by 10,000; up to four decimals), with the locale's
// decimal point.
QString formatDouble(double d, const ScriptLocale &locale);
QString formatSingle(float f, const ScriptLocale &locale);
QString formatCurrency(qint64 scaled, const ScriptLocale &locale);

} // namespace vbscript
