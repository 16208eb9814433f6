#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace vbscript {

class ScriptLocale;

// A date and time as its parts, the form OLE date serials convert to and from.
struct DateParts
{
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// OLE dates: days since 1899-12-30 as a double, the fraction being the time of
// day. Before the epoch the integer part counts days back while the fraction
// still runs forward in that day, so -1.25 is 1899-12-29 06:00.
namespace OleDate {

constexpr double kMin = -657434.0;         // 100-01-01
constexpr double kMax = 2958465.99999999;  // 9999-12-31 23:59:59

bool isValidSerial(double serial);
// Whole seconds: VBScript rounds a date to the second when it takes it apart.
DateParts toParts(double serial);
double fromParts(const DateParts &parts);
// Rolls months, days, hours... over as DateSerial and TimeSerial do; nullopt
// when the result falls outside the years 100 to 9999.
std::optional<double> fromPartsRolling(int year, int month, int day, int hour = 0,
                                       int minute = 0, int second = 0);
double dateSerial(int year, int month, int day);  // no range check, no rolling beyond QDate
double timeSerial(int hour, int minute, int second);

QDate toQDate(double serial);
QDateTime toQDateTime(double serial);
double fromQDate(const QDate &date);
double fromQDateTime(const QDateTime &dateTime);

// Text of a date the way CStr writes it: the locale's short date, the long
// time, the date alone at midnight and the time alone on day zero.
QString format(double serial, const ScriptLocale &locale);
// The conformance form yyyy-mm-dd hh:nn:ss.
QString formatIso(double serial);

// Parses a date and/or time as CDate does: numbers in the locale's date order
// (a four-digit leading number means year first), month names in the locale
// or in English, times with ':' and AM/PM. nullopt when it is no date.
std::optional<double> parse(const QString &text, const ScriptLocale &locale);
// Date literals (#...#) are read the same on every machine: month/day/year.
std::optional<double> parseLiteral(const QString &text);

} // namespace OleDate
} // namespace vbscript
