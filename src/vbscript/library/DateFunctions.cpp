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

double nowSerial()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QTime t = now.time();
    // VBScript's clock has whole seconds.
    return OleDate::fromQDateTime(QDateTime(now.date(), QTime(t.hour(), t.minute(), t.second())));
}

Variant fnNow(ExecContext &, std::span<Variant>) { return Variant::date(nowSerial()); }
Variant fnDate(ExecContext &, std::span<Variant>) { return Variant::date(std::trunc(nowSerial())); }

Variant fnTime(ExecContext &, std::span<Variant>)
{
    const double now = nowSerial();
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

Variant fnDateSerial(ExecContext &ctx, std::span<Variant> a)
{
    const double y = wholeAt(ctx, a, 0), m = wholeAt(ctx, a, 1), d = wholeAt(ctx, a, 2);
    const auto serial = datemath::fromParts(y, m, d);
    if (!serial)
        ctx.raise(err::InvalidProcedureCall);
    return Variant::date(*serial);
}

Variant fnTimeSerial(ExecContext &ctx, std::span<Variant> a)
{
    const double h = wholeAt(ctx, a, 0), m = wholeAt(ctx, a, 1), s = wholeAt(ctx, a, 2);
    const auto serial = datemath::fromTime(h, m, s);
    if (!serial)
        ctx.raise(err::InvalidProcedureCall);
    return Variant::date(*serial);
}

datemath::Interval intervalAt(ExecContext &ctx, std::span<Variant> a, size_t i)
{
    const auto interval = datemath::parseInterval(textAt(ctx, a, i));
    if (!interval)
        ctx.raise(err::InvalidProcedureCall);
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
        ctx.raise(err::InvalidProcedureCall);
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
        ctx.raise(err::Overflow);
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
    r.add({"Now", 0, 0, fnNow});
    r.add({"Date", 0, 0, fnDate});
    r.add({"Time", 0, 0, fnTime});
    r.add({"Timer", 0, 0, fnTimer});
    r.add({"Day", 1, 1, partFn<&datemath::Parts::day>});
    r.add({"Month", 1, 1, partFn<&datemath::Parts::month>});
    r.add({"Year", 1, 1, partFn<&datemath::Parts::year>});
    r.add({"Hour", 1, 1, partFn<&datemath::Parts::hour>});
    r.add({"Minute", 1, 1, partFn<&datemath::Parts::minute>});
    r.add({"Second", 1, 1, partFn<&datemath::Parts::second>});
    r.add({"Weekday", 1, 2, fnWeekday, false, nullRefusedAt({1})});
    r.add({"DateValue", 1, 1, fnDateValue});
    r.add({"TimeValue", 1, 1, fnTimeValue});
    r.add({"DateSerial", 3, 3, fnDateSerial, false, nullRefusedAt({0, 1, 2})});
    r.add({"TimeSerial", 3, 3, fnTimeSerial, false, nullRefusedAt({0, 1, 2})});
    r.add({"DateAdd", 3, 3, fnDateAdd, false, nullRefusedAt({0, 1})});
    r.add({"DateDiff", 3, 5, fnDateDiff, false, nullRefusedAt({0, 3, 4})});
    r.add({"DatePart", 2, 4, fnDatePart, false, nullRefusedAt({0, 2, 3})});
}

} // namespace vbscript::lib
