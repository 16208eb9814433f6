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

std::optional<double> parseWith(const QString &text, const ScriptLocale &locale, ScriptLocale::DateOrder order)
{
    bool ok = true;
    const std::vector<Token> tokens = tokenize(text.trimmed(), &ok);
    if (!ok || tokens.empty())
        return std::nullopt;

    std::vector<Token> dateNums;
    int monthName = 0;
    int hour = -1, minute = 0, second = 0, ampm = 0;
    bool hasTime = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.kind == Token::Number && i + 1 < tokens.size() && tokens[i + 1].kind == Token::Colon) {
            if (hasTime)
                return std::nullopt;
            hasTime = true;
            hour = t.value;
            size_t j = i + 2;
            if (j >= tokens.size() || tokens[j].kind != Token::Number)
                return std::nullopt;
            minute = tokens[j].value;
            if (j + 2 < tokens.size() + 1 && j + 1 < tokens.size() && tokens[j + 1].kind == Token::Colon) {
                if (j + 2 >= tokens.size() || tokens[j + 2].kind != Token::Number)
                    return std::nullopt;
                second = tokens[j + 2].value;
                j += 2;
            }
            i = j;
        } else if (t.kind == Token::Number) {
            if (i + 1 < tokens.size() && tokens[i + 1].kind == Token::Word
                && amPmFromWord(tokens[i + 1].text, locale) && !hasTime) {
                // "3 PM"
                hasTime = true;
                hour = t.value;
                continue;
            }
            dateNums.push_back(t);
        } else if (t.kind == Token::Word) {
            if (const int ap = amPmFromWord(t.text, locale)) {
                if (!hasTime || ampm)
                    return std::nullopt;
                ampm = ap;
            } else if (const int m = monthFromName(t.text, locale)) {
                if (monthName)
                    return std::nullopt;
                monthName = m;
            } else {
                return std::nullopt;
            }
        } else if (t.kind == Token::Colon) {
            return std::nullopt;
        }
    }

    if (hasTime) {
        if (ampm) {
            if (hour > 12)
                return std::nullopt;
            if (ampm == 1 && hour == 12)
                hour = 0;
            else if (ampm == 2 && hour < 12)
                hour += 12;
        }
        if (hour < 0 || hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
    }

    double datePart = 0;
    const int currentYear = QDate::currentDate().year();
    if (!dateNums.empty() || monthName) {
        int y = 0, m = 0, d = 0;
        auto digits = [](const Token &t) { return int(t.text.size()); };
        if (monthName) {
            m = monthName;
            if (dateNums.size() == 1) {
                if (dateNums[0].value > 31 || digits(dateNums[0]) > 2) {
                    y = fullYear(dateNums[0].value, digits(dateNums[0]));
                    d = 1;
                } else {
                    d = dateNums[0].value;
                    y = currentYear;
                }
            } else if (dateNums.size() == 2) {
                if (digits(dateNums[0]) > 2 || dateNums[0].value > 31) {
                    y = fullYear(dateNums[0].value, digits(dateNums[0]));
                    d = dateNums[1].value;
                } else {
                    d = dateNums[0].value;
                    y = fullYear(dateNums[1].value, digits(dateNums[1]));
                }
            } else {
                return std::nullopt;
            }
        } else if (dateNums.size() == 3) {
            const Token &a = dateNums[0], &b = dateNums[1], &c = dateNums[2];
            if (digits(a) > 2 || order == ScriptLocale::DateOrder::YMD) {
                y = fullYear(a.value, digits(a));
                m = b.value;
                d = c.value;
            } else if (order == ScriptLocale::DateOrder::DMY) {
                d = a.value;
                m = b.value;
                y = fullYear(c.value, digits(c));
            } else {
                m = a.value;
                d = b.value;
                y = fullYear(c.value, digits(c));
            }
            // A day that cannot be a month is taken the other way round, as
            // VBScript does for 13/1/2000 in a month-first locale.
            if (m > 12 && d <= 12)
                std::swap(m, d);
        } else if (dateNums.size() == 2) {
            const Token &a = dateNums[0], &b = dateNums[1];
            if (digits(b) > 2 || b.value > 31) {
                m = a.value;
                d = 1;
                y = fullYear(b.value, digits(b));
            } else if (digits(a) > 2 || a.value > 31) {
                y = fullYear(a.value, digits(a));
                m = b.value;
                d = 1;
            } else {
                y = currentYear;
                if (order == ScriptLocale::DateOrder::DMY) {
                    d = a.value;
                    m = b.value;
                } else {
                    m = a.value;
                    d = b.value;
                }
                if (m > 12 && d <= 12)
                    std::swap(m, d);
            }
        } else {
            return std::nullopt;
        }
        if (y < 100 || y > 9999 || !QDate::isValid(y, m, d))
            return std::nullopt;
        datePart = dateSerial(y, m, d);
    }
    const double time = hasTime ? timeSerial(hour, minute, second) : 0.0;
    return datePart >= 0 ? datePart + time : datePart - time;
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
