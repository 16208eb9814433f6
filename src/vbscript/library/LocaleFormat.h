#pragma once

#include <QString>

namespace vbscript {

class ScriptLocale;

// The number and date texts of FormatNumber, FormatCurrency, FormatPercent,
// FormatDateTime, MonthName and WeekdayName, from the locale's own data.
namespace localeformat {

// VBScript's tristate arguments: -1 True, 0 False, -2 the locale's default.
enum Tristate { UseDefault = -2, TriTrue = -1, TriFalse = 0 };

struct NumberStyle
{
    int digitsAfterDecimal = -1; // -1: the locale's default
    int includeLeadingDigit = UseDefault;
    int useParensForNegative = UseDefault;
    int groupDigits = UseDefault;
};

QString formatNumber(double value, const NumberStyle &style, const ScriptLocale &locale);
QString formatCurrency(double value, const NumberStyle &style, const ScriptLocale &locale);
QString formatPercent(double value, const NumberStyle &style, const ScriptLocale &locale);

// namedFormat: 0 general, 1 long date, 2 short date, 3 long time, 4 short time.
QString formatDateTime(double serial, int namedFormat, const ScriptLocale &locale);

// month 1..12, weekday 1..7 with 1 = Sunday; names as they stand alone.
QString monthName(int month, bool abbreviate, const ScriptLocale &locale);
QString weekdayName(int sundayBasedDay, bool abbreviate, const ScriptLocale &locale);

// The decimal digits of |value| rounded half away from zero to `digits`
// places after the point, from its 15 significant digits (VBScript's
// precision), split into the whole and the fractional digits.
struct Digits
{
    QString whole;
    QString fraction;
    bool isZero = true;
};
Digits roundedDigits(double value, int digits);

} // namespace localeformat
} // namespace vbscript
