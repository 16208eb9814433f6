#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

// Calendar arithmetic on OLE dates (days since 1899-12-30, time of day as the
// fraction). Before the epoch the fraction still counts forward from midnight,
// so -1.25 is 1899-12-29 06:00: every calculation goes through a continuous
// day count and back. Nothing here knows about Variants or errors; callers
// turn an empty optional into VBScript's error.
namespace vbscript::datemath {

// The dates VBScript accepts: 100-01-01 to 9999-12-31 23:59:59.
inline constexpr double kMinSerial = -657434.0;
inline constexpr double kMaxSerial = 2958465.99999;

double toLinear(double serial);
double fromLinear(double linear);
bool inRange(double serial);

struct Parts
{
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// The calendar parts of a date, its time rounded to the second as VBScript
// shows it.
Parts split(double serial);
// The serial of a proleptic Gregorian date at midnight; month and day must be
// valid.
double serialOf(int year, int month, int day);
int daysInMonth(int year, int month);

// Day of the week, 1 to 7, counted from firstDayOfWeek (1 = Sunday ... 7).
int weekday(double serial, int firstDayOfWeek);
int dayOfYear(double serial);
// Week of the year: firstWeekOfYear 1 = the week of January 1, 2 = the first
// week with four days in the year, 3 = the first full week. Days before week 1
// belong to the last week of the year before.
int weekOfYear(double serial, int firstDayOfWeek, int firstWeekOfYear);

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };
// "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s" in any letter case.
std::optional<Interval> parseInterval(QStringView text);

// DateAdd: `count` whole intervals later (fractions are dropped); empty when
// the result leaves the supported range.
std::optional<double> add(Interval interval, double count, double serial);
// DateDiff: the number of interval boundaries from d1 to d2.
int64_t diff(Interval interval, double d1, double d2, int firstDayOfWeek);
// DatePart.
int part(Interval interval, double serial, int firstDayOfWeek, int firstWeekOfYear);

// DateSerial: two-digit years are 1930-2029 (0-29 in this century), months and
// days out of range roll over into the neighbouring years and months.
std::optional<double> fromParts(double year, double month, double day);
// TimeSerial: hours, minutes and seconds roll over into days, before the
// epoch too.
std::optional<double> fromTime(double hour, double minute, double second);

} // namespace vbscript::datemath
