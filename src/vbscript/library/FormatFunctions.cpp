// FormatNumber, FormatCurrency, FormatPercent, FormatDateTime, MonthName and
// WeekdayName in the engine's locale.

#include "vbscript/ScriptLocale.h"
#include "vbscript/library/LibrarySupport.h"
#include "vbscript/library/LocaleFormat.h"

namespace vbscript::lib {

namespace {

using localeformat::NumberStyle;

// The value to format: Null and text that is no number raise 13, because the
// Format functions convert the way a type change does, not the way CDbl does.
double formattedValue(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull() || v.isArray() || v.isObject())
        raise(err::TypeMismatch);
    return v.toDouble(ctx.locale());
}

NumberStyle styleAt(ExecContext &ctx, std::span<Variant> a)
{
    NumberStyle style;
    style.digitsAfterDecimal = longAt(ctx, a, 1, -1);
    if (style.digitsAfterDecimal < -1)
        raise(err::InvalidProcedureCall);
    // The text has at least a digit, a separator and every digit asked for
    // after it: a count past the string limit is refused before any is made.
    requireText(ctx, qint64(style.digitsAfterDecimal) + 2);
    // Every tristate is read before any is checked, so Null in any of them
    // raises 94 whatever the others hold.
    int *tristates[] = {&style.includeLeadingDigit, &style.useParensForNegative, &style.groupDigits};
    for (size_t i = 0; i < 3; ++i)
        *tristates[i] = longAt(ctx, a, 2 + i, localeformat::UseDefault);
    return style;
}

Variant fnFormatNumber(ExecContext &ctx, std::span<Variant> a)
{
    const double value = formattedValue(ctx, a);
    return stringResult(ctx, localeformat::formatNumber(value, styleAt(ctx, a), ctx.locale()));
}

Variant fnFormatCurrency(ExecContext &ctx, std::span<Variant> a)
{
    const double value = formattedValue(ctx, a);
    return stringResult(ctx, localeformat::formatCurrency(value, styleAt(ctx, a), ctx.locale()));
}

Variant fnFormatPercent(ExecContext &ctx, std::span<Variant> a)
{
    const double value = formattedValue(ctx, a);
    return stringResult(ctx, localeformat::formatPercent(value, styleAt(ctx, a), ctx.locale()));
}

Variant fnFormatDateTime(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 named = longAt(ctx, a, 1, 0);
    if (named < 0 || named > 4)
        raise(err::InvalidProcedureCall);
    const Variant v = a[0].valueOf();
    if (v.isNull() || v.isArray() || v.isObject())
        raise(err::TypeMismatch);
    return Variant(localeformat::formatDateTime(v.toDate(ctx.locale()), named, ctx.locale()));
}

bool abbreviateAt(const ExecContext &ctx, std::span<Variant> a, size_t i)
{
    return given(a, i) && a[i].valueOf().toBool(ctx.locale());
}

Variant fnMonthName(ExecContext &ctx, std::span<Variant> a)
{
    const bool abbreviate = abbreviateAt(ctx, a, 1);
    const qint32 month = a[0].valueOf().toLong(ctx.locale());
    if (month < 1 || month > 12)
        raise(err::InvalidProcedureCall);
    return Variant(localeformat::monthName(month, abbreviate, ctx.locale()));
}

Variant fnWeekdayName(ExecContext &ctx, std::span<Variant> a)
{
    const bool abbreviate = abbreviateAt(ctx, a, 1);
    const int firstDay = firstDayOfWeekAt(ctx, a, 2);
    const qint32 day = a[0].valueOf().toLong(ctx.locale());
    if (day < 1 || day > 7)
        raise(err::InvalidProcedureCall);
    const int sundayBased = (day - 1 + firstDay - 1) % 7 + 1;
    return Variant(localeformat::weekdayName(sundayBased, abbreviate, ctx.locale()));
}

} // namespace

void registerFormatFunctions(BuiltinRegistry &r)
{
    r.add({.name = "FormatNumber", .minArgs = 1, .maxArgs = 5, .fn = fnFormatNumber,
           .refusesNull = nullRefusedAt({1, 2, 3, 4}), .catalog = {CatalogGroup::Global, 95, "expression, NumDigitsAfterDecimal, IncludeLeadingDigit, UseParensForNegativeNumbers, GroupDigits"}});
    r.add({.name = "FormatCurrency", .minArgs = 1, .maxArgs = 5, .fn = fnFormatCurrency,
           .refusesNull = nullRefusedAt({1, 2, 3, 4}), .catalog = {CatalogGroup::Global, 96, "expression, NumDigitsAfterDecimal, IncludeLeadingDigit, UseParensForNegativeNumbers, GroupDigits"}});
    r.add({.name = "FormatPercent", .minArgs = 1, .maxArgs = 5, .fn = fnFormatPercent,
           .refusesNull = nullRefusedAt({1, 2, 3, 4}), .catalog = {CatalogGroup::Global, 97, "expression, NumDigitsAfterDecimal, IncludeLeadingDigit, UseParensForNegativeNumbers, GroupDigits"}});
    r.add({.name = "FormatDateTime", .minArgs = 1, .maxArgs = 2, .fn = fnFormatDateTime,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 98, "Date, NamedFormat"}});
    r.add({.name = "MonthName", .minArgs = 1, .maxArgs = 2, .fn = fnMonthName,
           .refusesNull = nullRefusedAt({0, 1}), .catalog = {CatalogGroup::Global, 100, "Month, abbreviate"}});
    r.add({.name = "WeekdayName", .minArgs = 1, .maxArgs = 3, .fn = fnWeekdayName,
           .refusesNull = nullRefusedAt({0, 1, 2}), .catalog = {CatalogGroup::Global, 99, "Weekday, abbreviate, firstdayofweek"}});
}

} // namespace vbscript::lib
