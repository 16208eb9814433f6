#include "vbscript/NumberText.h"

#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace vbscript {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0xA0) || c == QLatin1Char('\r')
        || c == QLatin1Char('\n');
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QStringView trimmedBlanks(QStringView text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

// "&H1F", "&O17", "&17", sized as the literals are.
bool parseRadix(QStringView s, double *out)
{
    int radix = 8;
    qsizetype i = 1;
    const QChar prefix = s.size() >= 2 ? s[1].toLower() : QChar();
    if (prefix == QLatin1Char('h')) {
        radix = 16;
        i = 2;
    } else if (prefix == QLatin1Char('o')) {
        i = 2;
    }
    if (i >= s.size())
        return false;
    quint64 value = 0;
    for (; i < s.size(); ++i) {
        const int digit = digitValue(s[i], radix);
        if (digit < 0)
            return false;
        value = value * radix + digit;
        if (value > 0xFFFFFFFFull)
            raise(err::Overflow);
    }
    *out = radixValue(value, false);
    return true;
}

// Decimal text in the locale's notation, copied into `buf` in the C notation
// readDecimal takes. Answers false at the first thing out of place.
class DecimalScan
{
public:
    DecimalScan(QStringView s, const ScriptLocale &locale) : m_s(s), m_locale(locale) {}

    bool scan(QByteArray &buf)
    {
        skipCurrency();
        if (at('+') || at('-')) {
            if (at('-'))
                buf.append('-');
            ++m_i;
            skipBlanks();
        }
        skipCurrency();
        int digits = integerDigits(buf);
        if (m_i < m_s.size() && m_s[m_i] == m_locale.decimalPoint()) {
            buf.append('.');
            ++m_i;
            digits += digitRun(buf);
        }
        if (digits == 0)
            return false;
        if (at('e') || at('E') || at('d') || at('D')) {
            buf.append('e');
            ++m_i;
            if (at('+') || at('-'))
                buf.append(char(m_s[m_i++].unicode()));
            if (digitRun(buf) == 0)
                return false;
        }
        skipCurrency();
        return m_i == m_s.size();
    }

private:
    bool at(char c) const { return m_i < m_s.size() && m_s[m_i] == QLatin1Char(c); }
    void skipBlanks()
    {
        while (m_i < m_s.size() && isBlank(m_s[m_i]))
            ++m_i;
    }
    void skipCurrency()
    {
        const QString currency = m_locale.currencySymbol();
        if (!currency.isEmpty() && m_s.mid(m_i).startsWith(currency)) {
            m_i += currency.size();
            skipBlanks();
        }
    }
    int digitRun(QByteArray &buf)
    {
        int n = 0;
        for (; m_i < m_s.size() && isAsciiDigit(m_s[m_i]); ++m_i, ++n)
            buf.append(char(m_s[m_i].unicode()));
        return n;
    }
    // Digits before the decimal point, with group separators allowed between
    // them ("1,234" in English).
    int integerDigits(QByteArray &buf)
    {
        const QChar group = m_locale.groupSeparator();
        int n = 0;
        for (; m_i < m_s.size(); ++m_i) {
            const QChar c = m_s[m_i];
            if (isAsciiDigit(c)) {
                buf.append(char(c.unicode()));
                ++n;
            } else if (!(c == group && n > 0 && c != m_locale.decimalPoint())) {
                break;
            }
        }
        return n;
    }

    QStringView m_s;
    const ScriptLocale &m_locale;
    qsizetype m_i = 0;
};

// printf's %.<digits>G, through to_chars: QString::asprintf costs several
// times more, and CStr is among the most called functions.
QString generalText(double d, int digits, const ScriptLocale &locale)
{
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, digits);
    const char point = locale.decimalPoint() == QLatin1Char('.') ? '.' : '\0';
    QString s(r.ptr - buf, Qt::Uninitialized);
    QChar *out = s.data();
    for (const char *p = buf; p != r.ptr; ++p, ++out) {
        if (*p == 'e')
            *out = QLatin1Char('E');
        else if (*p == '.' && !point)
            *out = locale.decimalPoint();
        else
            *out = QLatin1Char(*p);
    }
    return s;
}

} // namespace

double readDecimal(const char *text)
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, c);
}

int digitValue(QChar c, int radix)
{
    const char16_t u = c.toLower().unicode();
    const int d = (u >= '0' && u <= '9') ? u - '0' : (u >= 'a' && u <= 'f') ? u - 'a' + 10 : -1;
    return d < radix ? d : -1;
}

qint32 radixValue(quint64 digits, bool longSuffix)
{
    if (!longSuffix && digits <= 0xFFFF)
        return qint16(quint16(digits));
    return qint32(quint32(digits));
}

Variant radixLiteral(quint64 digits, bool longSuffix)
{
    const qint32 v = radixValue(digits, longSuffix);
    return v >= -32768 && v <= 32767 ? Variant(qint16(v)) : Variant(v);
}

bool parseNumber(QStringView text, const ScriptLocale &locale, double *out)
{
    const QStringView s = trimmedBlanks(text);
    if (s.isEmpty())
        return false;
    if (s[0] == QLatin1Char('&'))
        return parseRadix(s, out);
    QByteArray buf;
    buf.reserve(s.size() + 2);
    if (!DecimalScan(s, locale).scan(buf))
        return false;
    const double d = readDecimal(buf.constData());
    if (std::isinf(d))
        raise(err::Overflow);
    *out = d;
    return true;
}

bool parseCurrency(QStringView text, const ScriptLocale &locale, qint64 *out)
{
    const QStringView s = trimmedBlanks(text);
    if (s.isEmpty() || s[0] == QLatin1Char('&'))
        return false;
    QByteArray buf;
    buf.reserve(s.size() + 2);
    if (!DecimalScan(s, locale).scan(buf))
        return false;
    // The scan leaves "-ddd.ddde-dd": the value is digits x 10^exponent.
    const char *p = buf.constData();
    const bool negative = *p == '-';
    if (negative)
        ++p;
    QByteArray digits;
    qint64 exponent = 0;
    bool afterPoint = false;
    for (; *p && *p != 'e'; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        if (digits.isEmpty() && *p == '0') {
            if (afterPoint)
                --exponent;
            continue;
        }
        digits.append(*p);
        if (afterPoint)
            --exponent;
    }
    if (*p == 'e') {
        ++p;
        const bool down = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        qint64 e = 0;
        for (; *p; ++p)
            e = std::min<qint64>(e * 10 + (*p - '0'), 1'000'000'000);
        exponent += down ? -e : e;
    }
    // Ten-thousandths: the digits that stay whole after scaling, then the
    // first dropped digit and whether any later dropped digit is non-zero.
    // Without leading zeros, 20 whole digits are already past 2^63.
    const qint64 size = digits.size();
    const qint64 scale = exponent + 4;
    const qint64 kept = std::max<qint64>(0, size + std::min<qint64>(scale, 0));
    if (kept + std::max<qint64>(scale, 0) > 19)
        raise(err::Overflow);
    quint64 magnitude = 0;
    for (qint64 i = 0; i < kept; ++i)
        magnitude = magnitude * 10 + quint64(digits[i] - '0');
    for (qint64 i = 0; i < scale; ++i)
        magnitude *= 10;
    const int firstDropped = scale < 0 && size + scale >= 0 && kept < size ? digits[kept] - '0' : 0;
    bool restNonZero = false;
    for (qint64 i = kept + 1; firstDropped == 5 && i < size; ++i)
        restNonZero = restNonZero || digits[i] != '0';
    if (firstDropped > 5 || (firstDropped == 5 && (restNonZero || (magnitude & 1))))
        ++magnitude;
    const quint64 limit = negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
    if (magnitude > limit)
        raise(err::Overflow);
    *out = negative ? qint64(quint64(0) - quint64(magnitude)) : qint64(magnitude);
    return true;
}

QString formatDouble(double d, const ScriptLocale &locale)
{
    if (d == 0)
        return QStringLiteral("0");
    return generalText(d, 15, locale);
}

QString formatSingle(float f, const ScriptLocale &locale)
{
    if (f == 0)
        return QStringLiteral("0");
    return generalText(double(f), 7, locale);
}

QString formatCurrency(qint64 cy, const ScriptLocale &locale)
{
    const bool negative = cy < 0;
    const quint64 mag = negative ? quint64(0) - quint64(cy) : quint64(cy);
    QString s = QString::number(mag / 10000);
    const quint64 frac = mag % 10000;
    if (frac) {
        QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += locale.decimalPoint() + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

} // namespace vbscript
