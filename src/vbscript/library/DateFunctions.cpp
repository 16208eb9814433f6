// Date and time functions over OLE date serials: the clock, taking dates
// apart, building them from parts and calendar arithmetic.

#include "vbscript/OleDate.h"
#include "vbscript/library/DateMath.h"
#include "vbscript/library/LibrarySupport.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace vbscript::lib {

namespace {

double nowSerial(const ExecContext &ctx)
{
    const double fixed = ctx.settings().fixedNow;
    if (!std::isnan(fixed))
        return fixed;
    // VBScript's clock has whole seconds, as the serial keeps them.
    return OleDate::fromQDateTime(QDateTime::currentDateTime());
}

Variant fnNow(ExecContext &ctx, std::span<Variant>) { return Variant::date(nowSerial(ctx)); }
Variant fnDate(ExecContext &ctx, std::span<Variant>) { return Variant::date(std::trunc(nowSerial(ctx))); }

Variant fnTime(ExecContext &ctx, std::span<Variant>)
{
    const double now = nowSerial(ctx);
    return Variant::date(now - std::trunc(now));
}

Variant fnTimer(ExecContext &, std::span<Variant>)
{
    return Variant(float(QTime::currentTime().msecsSinceStartOfDay() / 1000.0));
}

// Day, Month, Year, Hour, Minute, Second: Null gives Null.
template <int datemath::Parts::*Field>
Variant partFn(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    return Variant(qint16(datemath::split(v.toDate(ctx.locale())).*Field));
}

Variant fnWeekday(ExecContext &ctx, std::span<Variant> a)
{
    const int firstDay = firstDayOfWeekAt(ctx, a, 1);
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    return Variant(qint16(datemath::weekday(v.toDate(ctx.locale()), firstDay)));
}

Variant fnDateValue(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    const datemath::Parts p = datemath::split(v.toDate(ctx.locale()));
    return Variant::date(datemath::serialOf(p.year, p.month, p.day));
}

Variant fnTimeValue(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    const datemath::Parts p = datemath::split(v.toDate(ctx.locale()));
    return Variant::date(*datemath::fromTime(p.hour, p.minute, p.second));
}

// The whole-number parts of DateSerial and TimeSerial, rounded as VBScript
// rounds; Null raises 94.
double wholeAt(const ExecContext &ctx, std::span<Variant> a, size_t i) { return roundHalfEven(a[i].valueOf().toDouble(ctx.locale())); }

// DateSerial (year, month, day) and TimeSerial (hour, minute, second): the
// parts read from left to right, so the first bad one raises; 5 where they
// make no date.
template<std::optional<double> (*FromParts)(double, double, double)>
Variant serialOfParts(ExecContext &ctx, std::span<Variant> a)
{
    const double first = wholeAt(ctx, a, 0), second = wholeAt(ctx, a, 1), third = wholeAt(ctx, a, 2);
    const auto serial = FromParts(first, second, third);
    if (!serial)
        raise(err::InvalidProcedureCall);
    return Variant::date(*serial);
}

datemath::Interval intervalAt(ExecContext &ctx, std::span<Variant> a, size_t i)
{
    const auto interval = datemath::parseInterval(textAt(ctx, a, i));
    if (!interval)
        raise(err::InvalidProcedureCall);
    return *interval;
}

Variant fnDateAdd(ExecContext &ctx, std::span<Variant> a)
{
    const datemath::Interval interval = intervalAt(ctx, a, 0);
    const double count = a[1].valueOf().toDouble(ctx.locale());
    const Variant date = a[2].valueOf();
    if (date.isNull())
        return Variant::null();
    const auto serial = datemath::add(interval, count, date.toDate(ctx.locale()));
    if (!serial)
        raise(err::InvalidProcedureCall);
    return Variant::date(*serial);
}

Variant fnDateDiff(ExecContext &ctx, std::span<Variant> a)
{
    const datemath::Interval interval = intervalAt(ctx, a, 0);
    const int firstDay = firstDayOfWeekAt(ctx, a, 3);
    firstWeekOfYearAt(ctx, a, 4); // checked; no interval of DateDiff depends on it
    const Variant d1 = a[1].valueOf();
    const Variant d2 = a[2].valueOf();
    if (d1.isNull() || d2.isNull())
        return Variant::null();
    const int64_t n = datemath::diff(interval, d1.toDate(ctx.locale()), d2.toDate(ctx.locale()), firstDay);
    if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        raise(err::Overflow);
    return Variant(qint32(n));
}

Variant fnDatePart(ExecContext &ctx, std::span<Variant> a)
{
    const datemath::Interval interval = intervalAt(ctx, a, 0);
    const int firstDay = firstDayOfWeekAt(ctx, a, 2);
    const int firstWeek = firstWeekOfYearAt(ctx, a, 3);
    const Variant date = a[1].valueOf();
    if (date.isNull())
        return Variant::null();
    return Variant(qint16(datemath::part(interval, date.toDate(ctx.locale()), firstDay, firstWeek)));
}

} // namespace

void registerDateFunctions(BuiltinRegistry &r)
{
    r.add({.name = "Now", .minArgs = 0, .maxArgs = 0, .fn = fnNow, .catalog = {CatalogGroup::Global, 60, ""}});
    r.add({.name = "Date", .minArgs = 0, .maxArgs = 0, .fn = fnDate, .catalog = {CatalogGroup::Global, 61, ""}});
    r.add({.name = "Time", .minArgs = 0, .maxArgs = 0, .fn = fnTime, .catalog = {CatalogGroup::Global, 62, ""}});
    r.add({.name = "Timer", .minArgs = 0, .maxArgs = 0, .fn = fnTimer, .catalog = {CatalogGroup::Global, 28, ""}});
    r.add({.name = "Day", .minArgs = 1, .maxArgs = 1, .fn = partFn<&datemath::Parts::day>,
           .catalog = {CatalogGroup::Global, 63, "Date"}});
    r.add({.name = "Month", .minArgs = 1, .maxArgs = 1, .fn = partFn<&datemath::Parts::month>,
           .catalog = {CatalogGroup::Global, 64, "Date"}});
    r.add({.name = "Year", .minArgs = 1, .maxArgs = 1, .fn = partFn<&datemath::Parts::year>,
           .catalog = {CatalogGroup::Global, 66, "Date"}});
    r.add({.name = "Hour", .minArgs = 1, .maxArgs = 1, .fn = partFn<&datemath::Parts::hour>,
           .catalog = {CatalogGroup::Global, 67, "Time"}});
    r.add({.name = "Minute", .minArgs = 1, .maxArgs = 1, .fn = partFn<&datemath::Parts::minute>,
           .catalog = {CatalogGroup::Global, 68, "Time"}});
    r.add({.name = "Second", .minArgs = 1, .maxArgs = 1, .fn = partFn<&datemath::Parts::second>,
           .catalog = {CatalogGroup::Global, 69, "Time"}});
    r.add({.name = "Weekday", .minArgs = 1, .maxArgs = 2, .fn = fnWeekday,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 65, "Date, firstdayofweek"}});
    r.add({.name = "DateValue", .minArgs = 1, .maxArgs = 1, .fn = fnDateValue,
           .catalog = {CatalogGroup::Global, 70, "Date"}});
    r.add({.name = "TimeValue", .minArgs = 1, .maxArgs = 1, .fn = fnTimeValue,
           .catalog = {CatalogGroup::Global, 71, "Time"}});
    r.add({.name = "DateSerial", .minArgs = 3, .maxArgs = 3, .fn = serialOfParts<datemath::fromParts>,
           .refusesNull = nullRefusedAt({0, 1, 2}), .catalog = {CatalogGroup::Global, 72, "Year, Month, Date"}});
    r.add({.name = "TimeSerial", .minArgs = 3, .maxArgs = 3, .fn = serialOfParts<datemath::fromTime>,
           .refusesNull = nullRefusedAt({0, 1, 2}), .catalog = {CatalogGroup::Global, 73, "Hour, Minute, Second"}});
    r.add({.name = "DateAdd", .minArgs = 3, .maxArgs = 3, .fn = fnDateAdd,
           .refusesNull = nullRefusedAt({0, 1}), .catalog = {CatalogGroup::Global, 78, "interval, number, Date"}});
    r.add({.name = "DateDiff", .minArgs = 3, .maxArgs = 5, .fn = fnDateDiff,
           .refusesNull = nullRefusedAt({0, 3, 4}), .catalog = {CatalogGroup::Global, 79, "interval, date1, date2, firstdayofweek, firstdayofyear"}});
    r.add({.name = "DatePart", .minArgs = 2, .maxArgs = 4, .fn = fnDatePart,
           .refusesNull = nullRefusedAt({0, 2, 3}), .catalog = {CatalogGroup::Global, 80, "interval, Date, firstdayofweek, firstdayofyear"}});
}

} // namespace vbscript::lib
