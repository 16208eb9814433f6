#include "vbscript/OleDate.h"

#include "vbscript/ScriptLocale.h"

#include <QStringList>
#include <cmath>
#include <vector>

namespace vbscript::OleDate {

namespace {

constexpr qint64 kEpochJulianDay = 2415019;  // 1899-12-30

int fullYear(int year, int digits)
{
    if (digits <= 2 && year < 100)
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

struct Token
{
    enum Kind { Number, Word, Colon, Sep } kind;
    QString text;
    int value = 0;
};

std::vector<Token> tokenize(const QString &text, bool *ok)
{
    std::vector<Token> out;
    *ok = true;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isDigit()) {
            int j = i;
            while (j < n && text.at(j).isDigit())
                ++j;
            Token t{Token::Number, text.mid(i, j - i)};
            if (t.text.size() > 9) {
                *ok = false;
                return out;
            }
            t.value = t.text.toInt();
            out.push_back(t);
            i = j;
        } else if (c.isLetter()) {
            int j = i;
            while (j < n && (text.at(j).isLetter() || text.at(j) == QLatin1Char('.')))
                ++j;
            QString w = text.mid(i, j - i);
            while (w.endsWith(QLatin1Char('.')) && w.count(QLatin1Char('.')) == 1)
                w.chop(1);
            out.push_back(Token{Token::Word, w});
            i = j;
        } else if (c == QLatin1Char(':')) {
            out.push_back(Token{Token::Colon, QString(c)});
            ++i;
        } else if (c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.')
                   || c == QLatin1Char(',') || c.isSpace()) {
            if (!c.isSpace())
                out.push_back(Token{Token::Sep, QString(c)});
            ++i;
        } else {
            *ok = false;
            return out;
        }
    }
    return out;
}

int monthFromName(const QString &word, const ScriptLocale &locale)
{
    if (word.size() < 3)
        return 0;
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const QLocale *loc : {&locale.qlocale(), &english}) {
        for (int m = 1; m <= 12; ++m) {
            for (auto fmt : {QLocale::LongFormat, QLocale::ShortFormat}) {
                const QString name = loc->monthName(m, fmt);
                const QString standalone = loc->standaloneMonthName(m, fmt);
                QString plain = name;
                plain.remove(QLatin1Char('.'));
                if (word.compare(name, Qt::CaseInsensitive) == 0
                    || word.compare(plain, Qt::CaseInsensitive) == 0
                    || word.compare(standalone, Qt::CaseInsensitive) == 0)
                    return m;
            }
        }
    }
    return 0;
}

// 0 no designator, 1 AM, 2 PM
int amPmFromWord(const QString &word, const ScriptLocale &locale)
{
    QString w = word;
    w.remove(QLatin1Char('.'));
    auto same = [&](QString s) {
        s.remove(QLatin1Char('.'));
        return !s.isEmpty() && w.compare(s, Qt::CaseInsensitive) == 0;
    };
    if (same(QStringLiteral("AM")) || same(QStringLiteral("A")) || same(locale.qlocale().amText()))
        return 1;
    if (same(QStringLiteral("PM")) || same(QStringLiteral("P")) || same(locale.qlocale().pmText()))
        return 2;
    return 0;
}

// What a date text was read into: the numbers of its date, a month given by
// name, and the time of day when it has one.
struct DateTextParts
{
    std::vector<Token> dateNumbers;
    int monthName = 0;  // 1 to 12, 0: none
    bool hasTime = false;
    int hour = -1, minute = 0, second = 0;
    int amPm = 0;  // 0 none, 1 AM, 2 PM
};

// Sorts the tokens into date numbers, a month name and a time: "h:m[:s]" or
// "h AM"; an AM/PM designator follows a time. Nothing else may appear.
std::optional<DateTextParts> readParts(const std::vector<Token> &tokens, const ScriptLocale &locale)
{
    DateTextParts parts;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        const bool beforeColon = i + 1 < tokens.size() && tokens[i + 1].kind == Token::Colon;
        if (t.kind == Token::Number && beforeColon) {
            if (parts.hasTime)
                return std::nullopt;
            parts.hasTime = true;
            parts.hour = t.value;
            size_t j = i + 2;
            if (j >= tokens.size() || tokens[j].kind != Token::Number)
                return std::nullopt;
            parts.minute = tokens[j].value;
            if (j + 1 < tokens.size() && tokens[j + 1].kind == Token::Colon) {
                if (j + 2 >= tokens.size() || tokens[j + 2].kind != Token::Number)
                    return std::nullopt;
                parts.second = tokens[j + 2].value;
                j += 2;
            }
            i = j;
        } else if (t.kind == Token::Number) {
            if (i + 1 < tokens.size() && tokens[i + 1].kind == Token::Word
                && amPmFromWord(tokens[i + 1].text, locale) && !parts.hasTime) {
                // "3 PM"
                parts.hasTime = true;
                parts.hour = t.value;
                continue;
            }
            parts.dateNumbers.push_back(t);
        } else if (t.kind == Token::Word) {
            if (const int ap = amPmFromWord(t.text, locale)) {
                if (!parts.hasTime || parts.amPm)
                    return std::nullopt;
                parts.amPm = ap;
            } else if (const int m = monthFromName(t.text, locale)) {
                if (parts.monthName)
                    return std::nullopt;
                parts.monthName = m;
            } else {
                return std::nullopt;
            }
        } else if (t.kind == Token::Colon) {
            return std::nullopt;
        }
    }
    return parts;
}

// The time of day as a fraction, the designator applied (12 AM is midnight);
// nothing for an hour, minute or second out of range.
std::optional<double> timeOfDay(const DateTextParts &parts)
{
    if (!parts.hasTime)
        return 0.0;
    int hour = parts.hour;
    if (parts.amPm) {
        if (hour > 12)
            return std::nullopt;
        if (parts.amPm == 1 && hour == 12)
            hour = 0;
        else if (parts.amPm == 2 && hour < 12)
            hour += 12;
    }
    if (hour < 0 || hour > 23 || parts.minute > 59 || parts.second > 59)
        return std::nullopt;
    return timeSerial(hour, parts.minute, parts.second);
}

struct YearMonthDay
{
    int year = 0, month = 0, day = 0;
};

int digitCount(const Token &t)
{
    return int(t.text.size());
}

// A month given by name with one number (a day of this year, or a year when
// it cannot be a day) or two (day and year, either way round).
std::optional<YearMonthDay> dateWithMonthName(const std::vector<Token> &numbers, int month)
{
    YearMonthDay date;
    date.month = month;
    const auto isYear = [](const Token &t) { return t.value > 31 || digitCount(t) > 2; };
    if (numbers.size() == 1) {
        if (isYear(numbers[0])) {
            date.year = fullYear(numbers[0].value, digitCount(numbers[0]));
            date.day = 1;
        } else {
            date.day = numbers[0].value;
            date.year = QDate::currentDate().year();
        }
    } else if (numbers.size() == 2) {
        if (isYear(numbers[0])) {
            date.year = fullYear(numbers[0].value, digitCount(numbers[0]));
            date.day = numbers[1].value;
        } else {
            date.day = numbers[0].value;
            date.year = fullYear(numbers[1].value, digitCount(numbers[1]));
        }
    } else {
        return std::nullopt;
    }
    return date;
}

// Three numbers: year first when the first has more than two digits or the
// locale writes it so, otherwise in the locale's order of day and month.
YearMonthDay dateOfThree(const std::vector<Token> &numbers, ScriptLocale::DateOrder order)
{
    const Token &a = numbers[0], &b = numbers[1], &c = numbers[2];
    YearMonthDay date;
    if (digitCount(a) > 2 || order == ScriptLocale::DateOrder::YMD)
        date = {fullYear(a.value, digitCount(a)), b.value, c.value};
    else if (order == ScriptLocale::DateOrder::DMY)
        date = {fullYear(c.value, digitCount(c)), b.value, a.value};
    else
        date = {fullYear(c.value, digitCount(c)), a.value, b.value};
    // A day that cannot be a month is taken the other way round, as
    // VBScript does for 13/1/2000 in a month-first locale.
    if (date.month > 12 && date.day <= 12)
        std::swap(date.month, date.day);
    return date;
}

// Two numbers: month and year (the first of its month) when one of them can
// only be a year, otherwise day and month of this year in the locale's order.
YearMonthDay dateOfTwo(const std::vector<Token> &numbers, ScriptLocale::DateOrder order)
{
    const Token &a = numbers[0], &b = numbers[1];
    if (digitCount(b) > 2 || b.value > 31)
        return {fullYear(b.value, digitCount(b)), a.value, 1};
    if (digitCount(a) > 2 || a.value > 31)
        return {fullYear(a.value, digitCount(a)), b.value, 1};
    YearMonthDay date;
    date.year = QDate::currentDate().year();
    if (order == ScriptLocale::DateOrder::DMY) {
        date.day = a.value;
        date.month = b.value;
    } else {
        date.month = a.value;
        date.day = b.value;
    }
    if (date.month > 12 && date.day <= 12)
        std::swap(date.month, date.day);
    return date;
}

// The date a text names, as a serial: 0 when it names only a time.
std::optional<double> datePart(const DateTextParts &parts, ScriptLocale::DateOrder order)
{
    const std::vector<Token> &numbers = parts.dateNumbers;
    if (numbers.empty() && !parts.monthName)
        return 0.0;
    std::optional<YearMonthDay> date;
    if (parts.monthName)
        date = dateWithMonthName(numbers, parts.monthName);
    else if (numbers.size() == 3)
        date = dateOfThree(numbers, order);
    else if (numbers.size() == 2)
        date = dateOfTwo(numbers, order);
    if (!date || date->year < 100 || date->year > 9999 || !QDate::isValid(date->year, date->month, date->day))
        return std::nullopt;
    return dateSerial(date->year, date->month, date->day);
}

std::optional<double> parseWith(const QString &text, const ScriptLocale &locale, ScriptLocale::DateOrder order)
{
    bool ok = true;
    const std::vector<Token> tokens = tokenize(text.trimmed(), &ok);
    if (!ok || tokens.empty())
        return std::nullopt;
    const std::optional<DateTextParts> parts = readParts(tokens, locale);
    if (!parts)
        return std::nullopt;
    const std::optional<double> time = timeOfDay(*parts);
    if (!time)
        return std::nullopt;
    const std::optional<double> date = datePart(*parts, order);
    if (!date)
        return std::nullopt;
    return *date >= 0 ? *date + *time : *date - *time;
}

} // namespace

bool isValidSerial(double serial)
{
    return std::isfinite(serial) && serial >= kMin && serial < 2958466.0;
}

DateParts toParts(double serial)
{
    double days = std::trunc(serial);
    double frac = std::fabs(serial - days);
    qint64 secs = qint64(std::llround(frac * 86400.0));
    qint64 dayNumber = qint64(days);
    if (secs >= 86400) {
        secs -= 86400;
        dayNumber += 1;
    }
    const QDate date = QDate::fromJulianDay(kEpochJulianDay + dayNumber);
    DateParts p;
    p.year = date.year();
    p.month = date.month();
    p.day = date.day();
    p.hour = int(secs / 3600);
    p.minute = int((secs / 60) % 60);
    p.second = int(secs % 60);
    return p;
}

double dateSerial(int year, int month, int day)
{
    return double(QDate(year, month, day).toJulianDay() - kEpochJulianDay);
}

double timeSerial(int hour, int minute, int second)
{
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

double fromParts(const DateParts &p)
{
    const double days = dateSerial(p.year, p.month, p.day);
    const double time = timeSerial(p.hour, p.minute, p.second);
    return days >= 0 ? days + time : days - time;
}

std::optional<double> fromPartsRolling(int year, int month, int day, int hour, int minute, int second)
{
    qint64 y = year;
    qint64 m = month - 1;
    y += m >= 0 ? m / 12 : -((11 - m) / 12);
    m = ((m % 12) + 12) % 12;
    if (y < 100 || y > 9999)
        return std::nullopt;
    qint64 dayNumber = QDate(int(y), int(m) + 1, 1).toJulianDay() - kEpochJulianDay + (qint64(day) - 1);
    qint64 secs = qint64(hour) * 3600 + qint64(minute) * 60 + second;
    qint64 extraDays = secs >= 0 ? secs / 86400 : -((86399 - secs) / 86400);
    secs -= extraDays * 86400;
    dayNumber += extraDays;
    const double days = double(dayNumber);
    if (days < kMin || days > 2958465.0)
        return std::nullopt;
    const double time = secs / 86400.0;
    return days >= 0 ? days + time : days - time;
}

QDate toQDate(double serial)
{
    const DateParts p = toParts(serial);
    return QDate(p.year, p.month, p.day);
}

QDateTime toQDateTime(double serial)
{
    const DateParts p = toParts(serial);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

double fromQDate(const QDate &date)
{
    return double(date.toJulianDay() - kEpochJulianDay);
}

double fromQDateTime(const QDateTime &dt)
{
    const QTime t = dt.time();
    const double days = fromQDate(dt.date());
    const double time = timeSerial(t.hour(), t.minute(), t.second());
    return days >= 0 ? days + time : days - time;
}

QString format(double serial, const ScriptLocale &locale)
{
    const DateParts p = toParts(serial);
    const bool hasDate = !(p.year == 1899 && p.month == 12 && p.day == 30);
    const bool hasTime = p.hour || p.minute || p.second;
    QString out;
    if (hasDate)
        out = locale.qlocale().toString(QDate(p.year, p.month, p.day), locale.shortDatePattern());
    // Day zero shows its time, midnight included ("12:00:00 AM").
    if (hasTime || !hasDate) {
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += locale.qlocale().toString(QTime(p.hour, p.minute, p.second), locale.timePattern());
    }
    return out;
}

QString formatIso(double serial)
{
    const DateParts p = toParts(serial);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                             p.minute, p.second);
}

std::optional<double> parse(const QString &text, const ScriptLocale &locale)
{
    return parseWith(text, locale, locale.dateOrder());
}

std::optional<double> parseLiteral(const QString &text)
{
    static const ScriptLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    return parseWith(text, english, ScriptLocale::DateOrder::MDY);
}

} // namespace vbscript::OleDate
