#include "vbscript/library/LocaleFormat.h"

#include "vbscript/OleDate.h"
#include "vbscript/ScriptLocale.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace vbscript::localeformat {

namespace {

// Windows' default for every locale we know is two digits after the point;
// QLocale does not carry this setting.
constexpr int kDefaultDigits = 2;

bool resolve(int tristate, bool localeDefault)
{
    return tristate == UseDefault ? localeDefault : tristate != TriFalse;
}

QString groupWhole(const QString &whole, QChar separator)
{
    QString out;
    out.reserve(whole.size() + whole.size() / 3);
    const qsizetype n = whole.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += whole[i];
    }
    return out;
}

// The unsigned text of the number and whether it is negative after rounding.
QString magnitudeText(double value, const NumberStyle &style, const ScriptLocale &locale,
                      bool *negative)
{
    const int digits = style.digitsAfterDecimal < 0 ? kDefaultDigits : style.digitsAfterDecimal;
    const Digits d = roundedDigits(value, digits);
    *negative = value < 0 && !d.isZero;
    QString whole = d.whole;
    if (resolve(style.groupDigits, true))
        whole = groupWhole(whole, locale.groupSeparator());
    if (whole == QLatin1String("0") && !resolve(style.includeLeadingDigit, true))
        whole.clear();
    if (digits == 0)
        return whole;
    return whole + locale.decimalPoint() + d.fraction;
}

QString signed_(const QString &text, bool negative, const NumberStyle &style)
{
    if (!negative)
        return text;
    if (resolve(style.useParensForNegative, false))
        return QLatin1Char('(') + text + QLatin1Char(')');
    return QLatin1Char('-') + text;
}

// Where the locale puts its currency symbol and minus sign: its own currency
// text of 1 and -1 with the number replaced by a placeholder.
QString currencyTemplate(const QLocale &locale, bool negative)
{
    const QString one = locale.toString(1.0, 'f', 2);
    QString text = locale.toCurrencyString(negative ? -1.0 : 1.0, locale.currencySymbol(), 2);
    const qsizetype at = text.indexOf(one);
    if (at < 0)
        return negative ? QStringLiteral("-%1") : QStringLiteral("%1");
    text.replace(at, one.size(), QStringLiteral("%1"));
    // Windows separates number and symbol with a plain blank.
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    return text;
}

} // namespace

Digits roundedDigits(double value, int digits)
{
    Digits out;
    value = std::fabs(value);
    if (value == 0 || !std::isfinite(value)) {
        out.whole = QStringLiteral("0");
        out.fraction = QString(digits, QLatin1Char('0'));
        return out;
    }
    // d.dddddddddddddde[+-]xx: VBScript's 15 significant digits.
    char sci[40];
    const auto r = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14);
    const char *e = std::find(sci, r.ptr, 'e');
    QString mantissa;
    mantissa.reserve(40);
    mantissa += QLatin1Char(sci[0]);
    mantissa += QLatin1String(sci + 2, e - sci - 2);
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, exponent);
    int point = exponent + 1;
    if (point <= 0) {
        mantissa.prepend(QString(-point, QLatin1Char('0')));
        point = 0;
    }
    const qsizetype keep = qsizetype(point) + digits;
    if (mantissa.size() < keep + 1)
        mantissa.append(QString(keep + 1 - mantissa.size(), QLatin1Char('0')));
    const bool roundUp = mantissa[keep] >= QLatin1Char('5');
    mantissa.truncate(keep);
    if (roundUp) {
        qsizetype i = keep - 1;
        for (; i >= 0; --i) {
            if (mantissa[i] == QLatin1Char('9')) {
                mantissa[i] = QLatin1Char('0');
            } else {
                mantissa[i] = QChar(mantissa[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            mantissa.prepend(QLatin1Char('1'));
            ++point;
        }
    }
    out.whole = mantissa.left(point);
    while (out.whole.size() > 1 && out.whole.startsWith(QLatin1Char('0')))
        out.whole.remove(0, 1);
    if (out.whole.isEmpty())
        out.whole = QStringLiteral("0");
    out.fraction = mantissa.mid(point);
    for (QChar c : std::as_const(mantissa)) {
        if (c != QLatin1Char('0')) {
            out.isZero = false;
            break;
        }
    }
    return out;
}

QString formatNumber(double value, const NumberStyle &style, const ScriptLocale &locale)
{
    bool negative = false;
    const QString text = magnitudeText(value, style, locale, &negative);
    return signed_(text, negative, style);
}

QString formatCurrency(double value, const NumberStyle &style, const ScriptLocale &locale)
{
    bool negative = false;
    const QString text = magnitudeText(value, style, locale, &negative);
    if (negative && resolve(style.useParensForNegative, false))
        return QLatin1Char('(') + currencyTemplate(locale.qlocale(), false).arg(text)
               + QLatin1Char(')');
    return currencyTemplate(locale.qlocale(), negative).arg(text);
}

QString formatPercent(double value, const NumberStyle &style, const ScriptLocale &locale)
{
    bool negative = false;
    const QString text = magnitudeText(value * 100.0, style, locale, &negative);
    return signed_(text + QLatin1Char('%'), negative, style);
}

QString formatDateTime(double serial, int namedFormat, const ScriptLocale &locale)
{
    const DateParts p = OleDate::toParts(serial);
    const QDate date(p.year, p.month, p.day);
    const QTime time(p.hour, p.minute, p.second);
    switch (namedFormat) {
    case 1:
        return locale.qlocale().toString(date, QLocale::LongFormat);
    case 2:
        return locale.qlocale().toString(date, locale.shortDatePattern());
    case 3:
        return locale.qlocale().toString(time, locale.timePattern());
    case 4:
        return time.toString(QStringLiteral("HH:mm"));
    default:
        return OleDate::format(serial, locale);
    }
}

QString monthName(int month, bool abbreviate, const ScriptLocale &locale)
{
    return locale.qlocale().standaloneMonthName(
        month, abbreviate ? QLocale::ShortFormat : QLocale::LongFormat);
}

QString weekdayName(int sundayBasedDay, bool abbreviate, const ScriptLocale &locale)
{
    // QLocale counts Monday = 1 ... Sunday = 7.
    const int qtDay = sundayBasedDay == 1 ? 7 : sundayBasedDay - 1;
    return locale.qlocale().standaloneDayName(
        qtDay, abbreviate ? QLocale::ShortFormat : QLocale::LongFormat);
}

} // namespace vbscript::localeformat
