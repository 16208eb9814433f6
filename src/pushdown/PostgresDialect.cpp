#include "pushdown/PostgresDialect.h"
#include "pushdown/SqlText.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace nvtarnix::pushdown {

namespace {

// PostgreSQL aborts the whole statement on an error in any row (overflow,
// division by zero, a cast out of range), and its planner may evaluate the
// conditions of a WHERE clause in any order. So every operation that could
// fail is written inside a CASE whose WHEN rules the failure out, and the
// rows it rules out are the guard: the engine decides them.

constexpr double LargestDouble = 1.7976931348623157e308;
// Operands within these bounds multiply and divide without overflow and
// without the underflow PostgreSQL also refuses; sums within half the
// largest Double cannot overflow.
constexpr double LargestFactor = 1e154;
constexpr double SmallestFactor = 1e-154;
// Numbers round to the same scale below 2^52 in the engine and here.
constexpr double UnroundedFrom = 4503599627370496.0;
// numeric values the engine holds as Currency: below 2^37 two different
// ones stay apart, in order, as Doubles.
constexpr qint64 ExactCurrency = qint64(1) << 37;
// Julian day numbers (midnight to midnight) of the engine's first and last
// date, and of its day zero, 1899-12-30.
constexpr qint64 FirstDay = 1757585;  // 0100-01-01
constexpr qint64 AfterLastDay = 5373485;  // 10000-01-01
constexpr qint64 DayZero = 2415019;

// A Currency (numeric), Single (float4) or Date value: the engine does
// arithmetic on these in their own precision and range, which Doubles do not
// reproduce, so they take part in comparisons only. The mark is an SQL comment in the value's
// text, where arithmetic finds it however deep the value is.
const QString ComparedOnly = QStringLiteral("/* compared only */");

bool comparedOnly(const QString &sql)
{
    return sql.contains(ComparedOnly);
}

QString asDouble(const QString &sql)
{
    return QStringLiteral("CAST(%1 AS float8)").arg(paren(sql));
}

// The binary collation, by name: a column's own collation (an ICU one, a
// case-blind one) must not change how text compares.
QString binary(const QString &text)
{
    return paren(text) + QStringLiteral(" COLLATE \"C\"");
}

class PostgresDialect final : public Dialect
{
public:
    QString quoteIdentifier(const QString &name) const override
    {
        return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\""))
               + QLatin1Char('"');
    }

    // Typed where it stands, so that the server never guesses a type.
    QString placeholder(int number, Parameter::Type type) const override
    {
        const char *const types[] = {"int8", "float8", "text"};
        return QStringLiteral("$%1::%2").arg(number).arg(QLatin1String(types[int(type)]));
    }

    QString alwaysTrue() const override { return QStringLiteral("TRUE"); }
    QString alwaysFalse() const override { return QStringLiteral("FALSE"); }

    std::optional<Guarded> readColumn(const QString &column, Binding binding, ValueKind kind,
                                      Parameters &p) const override
    {
        const QString c = quoteIdentifier(column);
        switch (kind) {
        case ValueKind::Number:
            switch (binding) {
            case Binding::PgInt2:
            case Binding::PgInt4:
            case Binding::PgInt8:
                // int8 beyond 32 bits is a Double in the engine, rounded to
                // nearest as the cast rounds it.
                return Guarded{asDouble(c), {}};
            case Binding::PgFloat8:
                // NaN and the infinities reach the engine as text.
                return Guarded{c, QStringLiteral("abs(%1) > %2").arg(c, p.bind(Parameter::Type::Real, LargestDouble))};
            case Binding::PgFloat4:
                return Guarded{asDouble(c) + ComparedOnly,
                               QStringLiteral("abs(%1) > %2").arg(asDouble(c), p.bind(Parameter::Type::Real,
                                                                                      LargestDouble))};
            case Binding::PgDate:
            case Binding::PgTimestamp:
            case Binding::PgTimestampTz: {
                // A date compares with a number, or a date literal, as its
                // serial number; arithmetic on one gives a Date the engine
                // checks for range, and stays with the engine.
                auto serial = date(c, binding, p);
                serial->sql += ComparedOnly;
                return serial;
            }
            case Binding::PgNumeric: {
                // The engine compares a Currency with a Double as Doubles,
                // as the cast reads it, and a numeric beyond four decimals
                // is the nearest Double anyway. NaN and the infinities sort
                // above every number, so the bound catches them too.
                const QString bound = p.bind(Parameter::Type::Integer, ExactCurrency);
                return Guarded{QStringLiteral("CASE WHEN abs(%1) < %2 THEN CAST(%1 AS float8) END")
                                       .arg(c, bound)
                                   + ComparedOnly,
                               QStringLiteral("abs(%1) >= %2").arg(c, bound)};
            }
            default:
                return std::nullopt;
            }
        case ValueKind::Text:
            if (binding != Binding::PgText)
                return std::nullopt;
            // char(n) reaches the engine without its trailing blanks, as
            // the cast to text drops them; for text and varchar it changes
            // nothing.
            return Guarded{binary(QStringLiteral("CAST(%1 AS text)").arg(c)), {}};
        case ValueKind::Date:
            if (binding != Binding::PgDate && binding != Binding::PgTimestamp && binding != Binding::PgTimestampTz)
                return std::nullopt;
            return date(c, binding, p);
        case ValueKind::Boolean:
            return std::nullopt;
        }
        return std::nullopt;
    }

    QString binaryComparison(const QString &a, const QString &sign, const QString &b) const override
    {
        return QStringLiteral("%1 %2 %3").arg(binary(a), sign, binary(b));
    }

    std::optional<Guarded> arithmetic(Arithmetic op, const QString &a, const QString &b,
                                      Parameters &p) const override
    {
        if (comparedOnly(a) || comparedOnly(b))
            return std::nullopt;
        const QString x = asDouble(a), y = asDouble(b);
        if (op == Arithmetic::IntDiv || op == Arithmetic::Mod) {
            // Both operands are rounded to Longs; only whole numbers well
            // inside the Long range are done here (-2^31 \ -1 overflows).
            const QString lo = p.bind(Parameter::Type::Real, -2147483647.0);
            const QString hi = p.bind(Parameter::Type::Real, 2147483647.0);
            const auto fits = [&](const QString &v) {
                return QStringLiteral("%1 BETWEEN %2 AND %3 AND %1 = trunc(%1)").arg(v, lo, hi);
            };
            const auto unfit = [&](const QString &v) {
                return QStringLiteral("%1 NOT BETWEEN %2 AND %3 OR %1 <> trunc(%1)").arg(v, lo, hi);
            };
            const QString zero = p.bind(Parameter::Type::Real, 0.0);
            // int8's / truncates toward zero and its % takes the dividend's
            // sign, as \ and Mod do.
            const QString sql = QStringLiteral("CASE WHEN %1 THEN CAST(%2 AS int8) %3 CAST(%4 AS int8) END")
                                    .arg(all({fits(x), fits(y), y + QStringLiteral(" <> ") + zero}), x,
                                         op == Arithmetic::IntDiv ? QStringLiteral("/") : QStringLiteral("%"), y);
            return Guarded{sql, either({unfit(x), unfit(y), y + QStringLiteral(" = ") + zero})};
        }
        static const char *const ops[] = {"+", "-", "*", "/"};
        const QString sign = QLatin1String(ops[int(op)]);
        QStringList safe, unsafe;
        if (op == Arithmetic::Add || op == Arithmetic::Sub) {
            const QString half = p.bind(Parameter::Type::Real, LargestDouble / 2);
            for (const QString &v : {x, y}) {
                safe << QStringLiteral("abs(%1) <= %2").arg(v, half);
                unsafe << QStringLiteral("abs(%1) > %2").arg(v, half);
            }
        } else {
            const QString zero = p.bind(Parameter::Type::Real, 0.0);
            const QString small = p.bind(Parameter::Type::Real, SmallestFactor);
            const QString large = p.bind(Parameter::Type::Real, LargestFactor);
            for (const QString &v : {x, y}) {
                safe << QStringLiteral("%1 = %2 OR abs(%1) BETWEEN %3 AND %4").arg(v, zero, small, large);
                unsafe << QStringLiteral("%1 <> %2 AND abs(%1) NOT BETWEEN %3 AND %4").arg(v, zero, small, large);
            }
            if (op == Arithmetic::Div) {
                // The engine raises 11 for a division by zero.
                safe << QStringLiteral("%1 <> %2").arg(y, zero);
                unsafe << QStringLiteral("%1 = %2").arg(y, zero);
            }
        }
        // In Doubles: a Long result is exact in one, and a result too wide
        // for a Long becomes the same Double in the engine.
        return Guarded{QStringLiteral("CASE WHEN %1 THEN %2 %3 %4 END").arg(all(safe), x, sign, y), either(unsafe)};
    }

    std::optional<Guarded> negate(const QString &a, Parameters &) const override
    {
        return Guarded{QStringLiteral("-") + paren(a), {}};
    }

    std::optional<Guarded> dateArithmetic(Arithmetic op, const QString &a, const QString &b, bool toDate,
                                          Parameters &p) const override
    {
        if (comparedOnly(a) || comparedOnly(b))
            return std::nullopt;
        // A date is within a few million of zero and a number at most the
        // largest Double: the sum cannot overflow.
        const QString sql = QStringLiteral("(%1 %2 %3)").arg(asDouble(a), op == Arithmetic::Add ? QStringLiteral("+")
                                                                                               : QStringLiteral("-"),
                                                             asDouble(b));
        if (!toDate)
            return Guarded{sql, {}};
        const QString first = p.bind(Parameter::Type::Real, FirstDateSerial);
        const QString after = p.bind(Parameter::Type::Real, AfterLastDateSerial);
        return Guarded{QStringLiteral("CASE WHEN %1 >= %2 AND %1 < %3 THEN %1 END").arg(sql, first, after),
                       QStringLiteral("%1 < %2 OR %1 >= %3").arg(sql, first, after)};
    }

    std::optional<Guarded> numberAsDate(const QString &number, Parameters &p) const override
    {
        const QString x = asDouble(number);
        const QString first = p.bind(Parameter::Type::Real, FirstDateSerial);
        const QString after = p.bind(Parameter::Type::Real, AfterLastDateSerial);
        // NULL outside, so that no cast of it further on can fail.
        return Guarded{QStringLiteral("CASE WHEN %1 >= %2 AND %1 < %3 THEN %1 END").arg(x, first, after),
                       QStringLiteral("%1 < %2 OR %1 >= %3").arg(x, first, after)};
    }

    std::optional<Guarded> numberFunction(NumberFunction f, const QString &number, Parameters &) const override
    {
        if (comparedOnly(number))
            return std::nullopt;
        const QString x = asDouble(number);
        switch (f) {
        case NumberFunction::Abs: return Guarded{QStringLiteral("abs(%1)").arg(x), {}};
        case NumberFunction::Fix: return Guarded{QStringLiteral("trunc(%1)").arg(x), {}};
        case NumberFunction::Int: return Guarded{QStringLiteral("floor(%1)").arg(x), {}};
        case NumberFunction::Sgn: return Guarded{QStringLiteral("sign(%1)").arg(x), {}};
        }
        return std::nullopt;
    }

    std::optional<Guarded> replace(const QString &text, const QString &find, const QString &replacement,
                                   Parameters &p) const override
    {
        // replace() matches bytes, whatever the collation.
        return Guarded{QStringLiteral("replace(%1, %2, %3)")
                           .arg(binary(text), p.bind(Parameter::Type::Text, find),
                                p.bind(Parameter::Type::Text, replacement)),
                       {}};
    }

    std::optional<Guarded> substringFrom(const QString &text, const QString &start, Parameters &p) const override
    {
        if (comparedOnly(start))
            return std::nullopt;
        const QString s = asDouble(start);
        const QString lo = p.bind(Parameter::Type::Real, 1.0), hi = p.bind(Parameter::Type::Real, 2147483647.0);
        // The cast only where it cannot fail.
        return Guarded{QStringLiteral("substr(%1, CASE WHEN %2 BETWEEN %3 AND %4 THEN CAST(%2 AS int4) END)")
                           .arg(text, s, lo, hi),
                       either({beyondBmp(text, p), QStringLiteral("%1 IS NULL OR %1 NOT BETWEEN %2 AND %3 OR "
                                                                  "%1 <> trunc(%1)")
                                                       .arg(s, lo, hi)})};
    }

    std::optional<Guarded> integerText(const QString &number, bool hex, Parameters &p) const override
    {
        const QString x = asDouble(number);
        const QString lo = p.bind(Parameter::Type::Real, hex ? 0.0 : -2147483648.0);
        const QString hi = p.bind(Parameter::Type::Real, 2147483647.0);
        const QString whole = QStringLiteral("CAST(%1 AS int8)").arg(x);
        return Guarded{QStringLiteral("CASE WHEN %1 BETWEEN %2 AND %3 THEN %4 END")
                           .arg(x, lo, hi,
                                hex ? QStringLiteral("upper(to_hex(%1))").arg(whole)
                                    : QStringLiteral("CAST(%1 AS text)").arg(whole)),
                       QStringLiteral("%1 NOT BETWEEN %2 AND %3").arg(x, lo, hi)};
    }

    std::optional<Guarded> datePart(DatePart part, const QString &date, Parameters &p) const override
    {
        if (part == DatePart::Weekday)
            // Day 0 is a Saturday; the shift keeps the remainder positive
            // over every date the engine has.
            return Guarded{asDouble(QStringLiteral("mod(CAST(%1 AS int4) + %2, %3) + %4")
                                        .arg(asDouble(date), int4(700006, p), int4(7, p), int4(1, p))),
                           withTime(date)};
        return Guarded{asDouble(partOf(part, date, p)), withTime(date)};
    }

    std::optional<Guarded> dateDiff(DateInterval interval, const QString &a, const QString &b,
                                    Parameters &p) const override
    {
        const QString guard = either({withTime(a), withTime(b)});
        const auto number = [&](qint64 n) { return int4(n, p); };
        switch (interval) {
        case DateInterval::Day:
            return Guarded{QStringLiteral("(%1 - %2)").arg(asDouble(b), asDouble(a)), guard};
        case DateInterval::Week:
            // Whole weeks, toward zero.
            return Guarded{QStringLiteral("trunc((%1 - %2) / %3)")
                               .arg(asDouble(b), asDouble(a), p.bind(Parameter::Type::Real, 7.0)),
                           guard};
        case DateInterval::Year:
            return Guarded{asDouble(QStringLiteral("%1 - %2").arg(partOf(DatePart::Year, b, p),
                                                                  partOf(DatePart::Year, a, p))),
                           guard};
        case DateInterval::Month:
        case DateInterval::Quarter: {
            // Months (or quarters) counted from the year 0, in int4, whose
            // division is toward zero.
            const auto count = [&](const QString &d) {
                return monthsFromYearZero(interval == DateInterval::Quarter, partOf(DatePart::Year, d, p),
                                          partOf(DatePart::Month, d, p), number);
            };
            return Guarded{asDouble(QStringLiteral("%1 - %2").arg(count(b), count(a))), guard};
        }
        }
        return std::nullopt;
    }

    std::optional<Guarded> textFunction(TextFunction f, const QString &text, Parameters &p) const override
    {
        switch (f) {
        case TextFunction::UCase:
        case TextFunction::LCase:
            // Under the C collation upper() and lower() change ASCII letters
            // only; text with any other character (more bytes than
            // characters) is the engine's.
            return Guarded{QStringLiteral("%1(%2)").arg(f == TextFunction::UCase ? QStringLiteral("upper")
                                                                                 : QStringLiteral("lower"),
                                                        binary(text)),
                           QStringLiteral("octet_length(%1) <> length(%1)").arg(text)};
        case TextFunction::Trim:
        case TextFunction::LTrim:
        case TextFunction::RTrim:
            return blanksTrimmed(f, text, p, QLatin1String("btrim"));
        }
        return std::nullopt;
    }

    std::optional<Guarded> substring(const QString &text, int start, int count, Parameters &p) const override
    {
        const QString from = counted(start, p);
        const QString sql = count < 0 ? QStringLiteral("substr(%1, %2)").arg(text, from)
                                      : QStringLiteral("substr(%1, %2, %3)").arg(text, from, counted(count, p));
        return Guarded{sql, beyondBmp(text, p)};
    }

    std::optional<Guarded> right(const QString &text, int count, Parameters &p) const override
    {
        return Guarded{QStringLiteral("right(%1, %2)").arg(text, counted(count, p)), beyondBmp(text, p)};
    }

    std::optional<Guarded> position(const QString &text, const QString &sought, Parameters &p) const override
    {
        // InStr finds nothing in empty text, not even empty text; Null
        // sought text gives Null even then. strpos() refuses text under a
        // collation that is not deterministic, so the binary one is named.
        return Guarded{QStringLiteral("CASE WHEN %3 IS NULL THEN NULL WHEN %1 = %2 THEN 0 ELSE strpos(%1, %4) END")
                           .arg(binary(text), p.bind(Parameter::Type::Text, QString(QLatin1String(""))),
                                paren(sought), binary(sought)),
                       beyondBmp(text, p)};
    }

    std::optional<Guarded> wholeNumber(const QString &number, qint64 least, qint64 most,
                                       Parameters &p) const override
    {
        if (comparedOnly(number))
            return std::nullopt;
        // round() of a float8 rounds half to even, as CInt and CLng do;
        // outside the range the engine raises 6.
        const QString rounded = QStringLiteral("round(%1)").arg(asDouble(number));
        const QString lo = p.bind(Parameter::Type::Real, double(least));
        const QString hi = p.bind(Parameter::Type::Real, double(most));
        return Guarded{QStringLiteral("CASE WHEN %1 BETWEEN %2 AND %3 THEN %1 END").arg(rounded, lo, hi),
                       QStringLiteral("%1 NOT BETWEEN %2 AND %3").arg(rounded, lo, hi)};
    }

    std::optional<Guarded> round(const QString &number, int digits, Parameters &p) const override
    {
        if (digits < 0 || comparedOnly(number))
            return std::nullopt;  // the engine raises 5 for digits < 0
        // As the engine rounds: scaled by 10^digits in Doubles, half to even
        // (round() of a float8), scaled back; a scaled value of 2^52 or more
        // is left as it is. Numbers too large to scale without overflow
        // are among those.
        const QString x = asDouble(number);
        const QString scale = p.bind(Parameter::Type::Real, std::pow(10.0, std::min(digits, 22)));
        const QString scaled = QStringLiteral("(%1 * %2)").arg(x, scale);
        return Guarded{QStringLiteral("CASE WHEN abs(%1) >= %2 THEN %1 WHEN abs(%3) >= %4 THEN %1 "
                                      "ELSE round(%3) / %5 END")
                           .arg(x, p.bind(Parameter::Type::Real, 1e285), scaled,
                                p.bind(Parameter::Type::Real, UnroundedFrom), scale),
                       {}};
    }

    QString concat(const QString &a, const QString &b) const override
    {
        // concat() takes NULL as "".
        return QStringLiteral("concat(%1, %2)").arg(a, b);
    }

private:
    // A whole number bound as a parameter, as an int4 where it stands.
    static QString int4(qint64 n, Parameters &p)
    {
        return QStringLiteral("CAST(%1 AS int4)").arg(p.bind(Parameter::Type::Integer, n));
    }

    // A date with a time of day, which the engine rounds to the second
    // before it takes the date apart.
    static QString withTime(const QString &date)
    {
        return QStringLiteral("%1 <> trunc(%1)").arg(asDouble(date));
    }

    // Year, Month or Day of a whole date serial, as an int4: the day that
    // many days after 1899-12-30. A serial with a time of day is rounded by
    // the cast, and guarded.
    static QString partOf(DatePart part, const QString &date, Parameters &p)
    {
        const char *field = part == DatePart::Year ? "YEAR" : part == DatePart::Month ? "MONTH" : "DAY";
        const auto n = [&](qint64 v) { return int4(v, p); };
        return QStringLiteral("CAST(EXTRACT(%1 FROM make_date(%2, %3, %4) + CAST(%5 AS int4)) AS int4)")
            .arg(QLatin1String(field), n(1899), n(12), n(30), asDouble(date));
    }

    // substr() and right() take int4 counts.
    static QString counted(int n, Parameters &p)
    {
        return QStringLiteral("CAST(%1 AS int4)").arg(p.bind(Parameter::Type::Integer, qint64(n)));
    }

    // Text holding a character beyond the BMP: a code point and a UTF-16
    // code unit no longer count or order alike.
    // Text of ASCII alone, the usual case, is told apart without the
    // pattern, which costs more than the rest of a rule.
    QString beyondBmp(const QString &text, Parameters &p) const override
    {
        return QStringLiteral("octet_length(%1) <> length(%1) AND %1 ~ %2")
            .arg(binary(text), p.bind(Parameter::Type::Text, QStringLiteral("[\U00010000-\U0010FFFF]")));
    }

    // A date or time stamp as the engine's Date serial, computed as the
    // reader computes it: whole days since 1899-12-30 and the seconds of
    // the day (fractions dropped) over 86,400, in Doubles, the time counted
    // back before day zero; a time stamp with a zone in UTC. Dates outside
    // the years 100 to 9999 and the infinities reach the engine as text,
    // and are guarded before any cast could fail on them.
    std::optional<Guarded> date(const QString &c, Binding binding, Parameters &p) const
    {
        const QString v = binding == Binding::PgTimestampTz
                              ? QStringLiteral("(%1 AT TIME ZONE %2)").arg(c, p.bind(Parameter::Type::Text,
                                                                                     QStringLiteral("UTC")))
                              : c;
        const QString julian = QStringLiteral("EXTRACT(JULIAN FROM %1)").arg(v);
        const QString first = p.bind(Parameter::Type::Integer, FirstDay);
        const QString after = p.bind(Parameter::Type::Integer, AfterLastDay);
        const QString zero = p.bind(Parameter::Type::Integer, DayZero);
        const QString inRange = QStringLiteral("%1 >= %2 AND %1 < %3").arg(julian, first, after);
        const QString outside = QStringLiteral("%1 < %2 OR %1 >= %3").arg(julian, first, after);
        QString serial;
        if (binding == Binding::PgDate) {
            serial = QStringLiteral("CAST(%1 - %2 AS float8)").arg(julian, zero);
        } else {
            const QString days = QStringLiteral("CAST(EXTRACT(JULIAN FROM CAST(%1 AS date)) - %2 AS float8)").arg(v, zero);
            const QString time = QStringLiteral("CAST(floor(EXTRACT(EPOCH FROM CAST(%1 AS time))) AS float8) / %2")
                                     .arg(v, p.bind(Parameter::Type::Real, 86400.0));
            serial = QStringLiteral("CASE WHEN %1 >= %3 THEN %1 + %2 ELSE %1 - %2 END")
                         .arg(days, time, p.bind(Parameter::Type::Real, 0.0));
        }
        return Guarded{QStringLiteral("CASE WHEN %1 THEN %2 END").arg(inRange, serial), outside};
    }
};

} // namespace

const Dialect &postgresDialect()
{
    static const PostgresDialect dialect;
    return dialect;
}

} // namespace nvtarnix::pushdown
