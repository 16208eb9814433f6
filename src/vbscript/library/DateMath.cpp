#include "vbscript/library/DateMath.h"

#include <QDate>
#include <cmath>

namespace vbscript::datemath {

namespace {

constexpr qint64 kEpochJulianDay = 2415019; // 1899-12-30
constexpr qint64 kSecondsPerDay = 86400;

QDate dateOfDay(qint64 day) { return QDate::fromJulianDay(day + kEpochJulianDay); }

// Whole days and seconds of the day, the time rounded to the second; a time
// that rounds up to midnight belongs to the next day.
struct DaySeconds
{
    qint64 day;
    qint64 seconds;
};

DaySeconds daySeconds(double serial)
{
    const double linear = toLinear(serial);
    qint64 day = static_cast<qint64>(std::floor(linear));
    qint64 seconds = std::llround((linear - static_cast<double>(day)) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        ++day;
        seconds -= kSecondsPerDay;
    }
    return {day, seconds};
}

double serialOfSeconds(qint64 totalSeconds)
{
    const qint64 day = totalSeconds >= 0 ? totalSeconds / kSecondsPerDay
                                         : -((-totalSeconds + kSecondsPerDay - 1) / kSecondsPerDay);
    const double time = static_cast<double>(totalSeconds - day * kSecondsPerDay) / kSecondsPerDay;
    return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

std::optional<double> checked(double serial)
{
    if (!inRange(serial))
        return std::nullopt;
    return serial;
}

// Sunday = 1 ... Saturday = 7 of a day number.
int sundayBasedWeekday(qint64 day) { return dateOfDay(day).dayOfWeek() % 7 + 1; }

int weekdayOfDay(qint64 day, int firstDayOfWeek)
{
    return (sundayBasedWeekday(day) - firstDayOfWeek + 7) % 7 + 1;
}

qint64 startOfWeek(qint64 day, int firstDayOfWeek)
{
    return day - (weekdayOfDay(day, firstDayOfWeek) - 1);
}

qint64 startOfFirstWeek(int year, int firstDayOfWeek, int firstWeekOfYear)
{
    const auto jan1 = static_cast<qint64>(serialOf(year, 1, 1));
    const qint64 weekStart = startOfWeek(jan1, firstDayOfWeek);
    const qint64 daysInYear = weekStart + 7 - jan1;
    switch (firstWeekOfYear) {
    case 2:
        return daysInYear >= 4 ? weekStart : weekStart + 7;
    case 3:
        return weekStart == jan1 ? jan1 : weekStart + 7;
    default:
        return weekStart;
    }
}

qint64 monthIndex(const Parts &p) { return qint64(p.year) * 12 + p.month - 1; }

std::optional<double> addMonths(double serial, qint64 months)
{
    const Parts p = split(serial);
    const qint64 index = monthIndex(p) + months;
    const qint64 year = index >= 0 ? index / 12 : -1;
    if (year < 100 || year > 9999)
        return std::nullopt;
    const int month = int(index % 12) + 1;
    const int day = std::min(p.day, daysInMonth(int(year), month));
    const double linear = toLinear(serial);
    const double timeOfDay = linear - std::floor(linear);
    return checked(fromLinear(serialOf(int(year), month, day) + timeOfDay));
}

} // namespace

double toLinear(double serial)
{
    if (serial >= 0)
        return serial;
    const double day = std::trunc(serial);
    return day + (day - serial);
}

double fromLinear(double linear)
{
    if (linear >= 0)
        return linear;
    const double day = std::floor(linear);
    const double time = linear - day;
    if (day == 0)
        return time;
    return day - time;
}

bool inRange(double serial)
{
    return serial >= kMinSerial && serial < kMaxSerial + 1e-5;
}

Parts split(double serial)
{
    const DaySeconds ds = daySeconds(serial);
    const QDate date = dateOfDay(ds.day);
    Parts p;
    p.year = date.year();
    p.month = date.month();
    p.day = date.day();
    p.hour = int(ds.seconds / 3600);
    p.minute = int(ds.seconds / 60 % 60);
    p.second = int(ds.seconds % 60);
    return p;
}

double serialOf(int year, int month, int day)
{
    return static_cast<double>(QDate(year, month, day).toJulianDay() - kEpochJulianDay);
}

int daysInMonth(int year, int month) { return QDate(year, month, 1).daysInMonth(); }

int weekday(double serial, int firstDayOfWeek)
{
    return weekdayOfDay(daySeconds(serial).day, firstDayOfWeek);
}

int dayOfYear(double serial) { return dateOfDay(daySeconds(serial).day).dayOfYear(); }

int weekOfYear(double serial, int firstDayOfWeek, int firstWeekOfYear)
{
    const qint64 day = daySeconds(serial).day;
    const int year = dateOfDay(day).year();
    qint64 first = startOfFirstWeek(year, firstDayOfWeek, firstWeekOfYear);
    if (day < first)
        first = startOfFirstWeek(year - 1, firstDayOfWeek, firstWeekOfYear);
    return int((day - first) / 7 + 1);
}

std::optional<Interval> parseInterval(QStringView text)
{
    const QString t = text.toString().toLower();
    if (t == QLatin1String("yyyy")) return Interval::Year;
    if (t == QLatin1String("q")) return Interval::Quarter;
    if (t == QLatin1String("m")) return Interval::Month;
    if (t == QLatin1String("y")) return Interval::DayOfYear;
    if (t == QLatin1String("d")) return Interval::Day;
    if (t == QLatin1String("w")) return Interval::Weekday;
    if (t == QLatin1String("ww")) return Interval::Week;
    if (t == QLatin1String("h")) return Interval::Hour;
    if (t == QLatin1String("n")) return Interval::Minute;
    if (t == QLatin1String("s")) return Interval::Second;
    return std::nullopt;
}

std::optional<double> add(Interval interval, double count, double serial)
{
    count = std::trunc(count);
    // Far beyond any date span: the result cannot be a date.
    if (std::fabs(count) > 1e12)
        return std::nullopt;
    const auto n = static_cast<qint64>(count);
    const DaySeconds ds = daySeconds(serial);
    const qint64 seconds = ds.day * kSecondsPerDay + ds.seconds;
    switch (interval) {
    case Interval::Year: return addMonths(serial, n * 12);
    case Interval::Quarter: return addMonths(serial, n * 3);
    case Interval::Month: return addMonths(serial, n);
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: return checked(serialOfSeconds(seconds + n * kSecondsPerDay));
    case Interval::Week: return checked(serialOfSeconds(seconds + n * 7 * kSecondsPerDay));
    case Interval::Hour: return checked(serialOfSeconds(seconds + n * 3600));
    case Interval::Minute: return checked(serialOfSeconds(seconds + n * 60));
    case Interval::Second: return checked(serialOfSeconds(seconds + n));
    }
    return std::nullopt;
}

int64_t diff(Interval interval, double d1, double d2, int firstDayOfWeek)
{
    const DaySeconds a = daySeconds(d1);
    const DaySeconds b = daySeconds(d2);
    switch (interval) {
    case Interval::Year: return split(d2).year - split(d1).year;
    case Interval::Quarter: {
        const Parts p = split(d1), q = split(d2);
        return (qint64(q.year) * 4 + (q.month - 1) / 3) - (qint64(p.year) * 4 + (p.month - 1) / 3);
    }
    case Interval::Month: return monthIndex(split(d2)) - monthIndex(split(d1));
    case Interval::DayOfYear:
    case Interval::Day: return b.day - a.day;
    case Interval::Weekday: return (b.day - a.day) / 7;
    case Interval::Week:
        return (startOfWeek(b.day, firstDayOfWeek) - startOfWeek(a.day, firstDayOfWeek)) / 7;
    case Interval::Hour:
        return (b.day * 24 + b.seconds / 3600) - (a.day * 24 + a.seconds / 3600);
    case Interval::Minute:
        return (b.day * 1440 + b.seconds / 60) - (a.day * 1440 + a.seconds / 60);
    case Interval::Second:
        return (b.day * kSecondsPerDay + b.seconds) - (a.day * kSecondsPerDay + a.seconds);
    }
    return 0;
}

int part(Interval interval, double serial, int firstDayOfWeek, int firstWeekOfYear)
{
    const Parts p = split(serial);
    switch (interval) {
    case Interval::Year: return p.year;
    case Interval::Quarter: return (p.month - 1) / 3 + 1;
    case Interval::Month: return p.month;
    case Interval::DayOfYear: return dayOfYear(serial);
    case Interval::Day: return p.day;
    case Interval::Weekday: return weekday(serial, firstDayOfWeek);
    case Interval::Week: return weekOfYear(serial, firstDayOfWeek, firstWeekOfYear);
    case Interval::Hour: return p.hour;
    case Interval::Minute: return p.minute;
    case Interval::Second: return p.second;
    }
    return 0;
}

std::optional<double> fromParts(double year, double month, double day)
{
    if (std::fabs(year) > 1e6 || std::fabs(month) > 1e7 || std::fabs(day) > 1e8)
        return std::nullopt;
    auto y = static_cast<qint64>(year);
    if (y >= 0 && y < 30)
        y += 2000;
    else if (y >= 30 && y < 100)
        y += 1900;
    const qint64 index = y * 12 + static_cast<qint64>(month) - 1;
    const qint64 rolledYear = index >= 0 ? index / 12 : -1;
    if (rolledYear < 100 || rolledYear > 9999)
        return std::nullopt;
    const int rolledMonth = int(index % 12) + 1;
    const double serial = serialOf(int(rolledYear), rolledMonth, 1) + (static_cast<qint64>(day) - 1);
    return checked(fromLinear(serial));
}

std::optional<double> fromTime(double hour, double minute, double second)
{
    if (std::fabs(hour) > 1e9 || std::fabs(minute) > 1e10 || std::fabs(second) > 1e12)
        return std::nullopt;
    const qint64 total = static_cast<qint64>(hour) * 3600 + static_cast<qint64>(minute) * 60
                         + static_cast<qint64>(second);
    return checked(serialOfSeconds(total));
}

} // namespace vbscript::datemath
