#include "pushdown/SqliteDialect.h"
#include "pushdown/SqlText.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace nvtarnix::pushdown {

namespace {

// Integers beyond 2^53 become Doubles in the engine that no longer hold them
// exactly, while SQLite compares them as integers.
constexpr qint64 ExactIntegers = qint64(1) << 53;
constexpr double LargestDouble = 1.7976931348623157e308;

class SqliteDialect final : public Dialect
{
public:
    QString quoteIdentifier(const QString &name) const override
    {
        return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\""))
               + QLatin1Char('"');
    }

    QString placeholder(int number, Parameter::Type) const override
    {
        return QLatin1Char('?') + QString::number(number);
    }

    QString alwaysTrue() const override { return QStringLiteral("1"); }
    QString alwaysFalse() const override { return QStringLiteral("0"); }

    std::optional<Guarded> readColumn(const QString &column, Binding binding, ValueKind kind,
                                      Parameters &p) const override
    {
        const QString c = quoteIdentifier(column);
        if (binding == Binding::SqliteIsoDate)
            return isoDate(c, kind, p);
        const bool anyClass = binding == Binding::SqliteStorageClass;
        switch (kind) {
        case ValueKind::Number: {
            if (binding == Binding::SqliteStrictReal)
                return Guarded{c, {}};
            if (!anyClass && binding != Binding::SqliteStrictInteger)
                return std::nullopt;
            // Between the bounds a value is exact as a Double, integer or
            // real alike; text and blobs (which sort after numbers) are no
            // number the engine would compare as one. Without its affinity
            // (unary plus), a TEXT column does not make the bounds text.
            const QString outside = QStringLiteral("%1 NOT BETWEEN %2 AND %3")
                                        .arg(anyClass ? QLatin1Char('+') + c : c,
                                             p.bind(Parameter::Type::Integer, -ExactIntegers),
                                             p.bind(Parameter::Type::Integer, ExactIntegers));
            return Guarded{c, outside};
        }
        case ValueKind::Text:
            if (binding == Binding::SqliteStrictText)
                return Guarded{c, {}};
            if (!anyClass)
                return std::nullopt;
            // Unary plus takes the column's affinity away: a numeric column
            // would otherwise turn a text operand like '10' into a number.
            return Guarded{QLatin1Char('+') + c,
                           QStringLiteral("typeof(%1) IN (%2, %3, %4)")
                               .arg(c, p.bind(Parameter::Type::Text, QStringLiteral("integer")),
                                    p.bind(Parameter::Type::Text, QStringLiteral("real")),
                                    p.bind(Parameter::Type::Text, QStringLiteral("blob")))};
        case ValueKind::Date:
        case ValueKind::Boolean:
            return std::nullopt;
        }
        return std::nullopt;
    }

    QString binaryComparison(const QString &a, const QString &sign, const QString &b) const override
    {
        return QStringLiteral("%1 %2 %3 COLLATE BINARY").arg(paren(a), sign, paren(b));
    }

    std::optional<Guarded> arithmetic(Arithmetic op, const QString &a, const QString &b,
                                      Parameters &p) const override
    {
        if (op == Arithmetic::IntDiv || op == Arithmetic::Mod) {
            // Both operands are rounded to Longs; only whole numbers well
            // inside the Long range are done here (-2^31 \ -1 overflows).
            const QString lo = p.bind(Parameter::Type::Integer, qint64(-2147483647));
            const QString hi = p.bind(Parameter::Type::Integer, qint64(2147483647));
            const auto unfit = [&](const QString &v) {
                return QStringLiteral("%1 NOT BETWEEN %2 AND %3 OR %1 <> CAST(%1 AS INTEGER)")
                    .arg(paren(v), lo, hi);
            };
            const QString sql = QStringLiteral("CAST(%1 AS INTEGER) %2 CAST(%3 AS INTEGER)")
                                    .arg(paren(a), op == Arithmetic::IntDiv ? QStringLiteral("/")
                                                                            : QStringLiteral("%"),
                                         paren(b));
            return Guarded{sql, either({unfit(a), unfit(b), paren(b) + QStringLiteral(" = 0")})};
        }
        static const char *const ops[] = {"+", "-", "*", "/"};
        // In Doubles: a Long result is exact in one, and a result too wide
        // for a Long becomes the same Double in the engine.
        const QString sql = QStringLiteral("CAST(%1 AS REAL) %2 %3").arg(paren(a), QLatin1String(ops[int(op)]), paren(b));
        QStringList guard{overflow(sql, a, b, p)};
        if (op == Arithmetic::Div)
            guard << paren(b) + QStringLiteral(" = 0");
        return Guarded{sql, either(guard)};
    }

    std::optional<Guarded> negate(const QString &a, Parameters &) const override
    {
        return Guarded{QStringLiteral("-") + paren(a), {}};
    }

    std::optional<Guarded> dateArithmetic(Arithmetic op, const QString &a, const QString &b, bool toDate,
                                          Parameters &p) const override
    {
        const QString sql = QStringLiteral("(CAST(%1 AS REAL) %2 %3)")
                                .arg(paren(a), op == Arithmetic::Add ? QStringLiteral("+") : QStringLiteral("-"),
                                     paren(b));
        if (!toDate)
            return Guarded{sql, {}};
        const QString first = p.bind(Parameter::Type::Real, FirstDateSerial);
        const QString after = p.bind(Parameter::Type::Real, AfterLastDateSerial);
        // A date out of range is the engine's error, and its row is flagged;
        // SQLite goes on with any number, so what the SQL makes of that row
        // does not count.
        return Guarded{sql, QStringLiteral("%1 < %2 OR %1 >= %3").arg(sql, first, after)};
    }

    std::optional<Guarded> numberAsDate(const QString &number, Parameters &p) const override
    {
        const QString first = p.bind(Parameter::Type::Real, FirstDateSerial);
        const QString after = p.bind(Parameter::Type::Real, AfterLastDateSerial);
        return Guarded{paren(number), QStringLiteral("%1 < %2 OR %1 >= %3").arg(paren(number), first, after)};
    }

    std::optional<Guarded> numberFunction(NumberFunction f, const QString &number, Parameters &p) const override
    {
        // In REAL, which abs() cannot overflow; Doubles of 2^52 and more are
        // whole already.
        const QString x = QStringLiteral("CAST(%1 AS REAL)").arg(paren(number));
        const QString whole = p.bind(Parameter::Type::Real, 4503599627370496.0);
        const QString t = QStringLiteral("CAST(CAST(%1 AS INTEGER) AS REAL)").arg(x);
        switch (f) {
        case NumberFunction::Abs: return Guarded{QStringLiteral("abs(%1)").arg(x), {}};
        case NumberFunction::Fix:
            return Guarded{QStringLiteral("(CASE WHEN abs(%1) >= %2 THEN %1 ELSE %3 END)").arg(x, whole, t), {}};
        case NumberFunction::Int:
            return Guarded{QStringLiteral("(CASE WHEN abs(%1) >= %2 THEN %1 WHEN %3 > %1 THEN %3 - %4 ELSE %3 END)")
                               .arg(x, whole, t, p.bind(Parameter::Type::Integer, 1)),
                           {}};
        case NumberFunction::Sgn:
            return Guarded{QStringLiteral("(CASE WHEN %1 > 0 THEN 1 WHEN %1 < 0 THEN -1 ELSE 0 END)").arg(x), {}};
        }
        return std::nullopt;
    }

    std::optional<Guarded> replace(const QString &text, const QString &find, const QString &replacement,
                                   Parameters &p) const override
    {
        return Guarded{QStringLiteral("replace(%1, %2, %3)")
                           .arg(text, p.bind(Parameter::Type::Text, find), p.bind(Parameter::Type::Text, replacement)),
                       {}};
    }

    std::optional<Guarded> substringFrom(const QString &text, const QString &start, Parameters &p) const override
    {
        const QString s = paren(start);
        return Guarded{QStringLiteral("substr(%1, CAST(%2 AS INTEGER))").arg(text, s),
                       either({beyondBmp(text, p),
                               QStringLiteral("%1 IS NULL OR %1 NOT BETWEEN %2 AND %3 OR %1 <> CAST(%1 AS INTEGER)")
                                   .arg(s, p.bind(Parameter::Type::Integer, 1),
                                        p.bind(Parameter::Type::Integer, 2147483647))})};
    }

    std::optional<Guarded> integerText(const QString &number, bool hex, Parameters &p) const override
    {
        const QString x = paren(number);
        // printf() writes NULL as 0.
        const QString sql = hex ? QStringLiteral("CASE WHEN %2 IS NOT NULL THEN printf(%1, %2) END")
                                      .arg(p.bind(Parameter::Type::Text, QStringLiteral("%X")), x)
                                : QStringLiteral("CAST(%1 AS TEXT)").arg(x);
        return Guarded{sql, QStringLiteral("%1 NOT BETWEEN %2 AND %3")
                                .arg(x, p.bind(Parameter::Type::Integer, hex ? 0 : -2147483648LL),
                                     p.bind(Parameter::Type::Integer, 2147483647))};
    }

    std::optional<Guarded> datePart(DatePart part, const QString &date, Parameters &p) const override
    {
        if (part == DatePart::Weekday)
            // Day 0 is a Saturday; the shift keeps the remainder positive
            // over every date the engine has.
            return Guarded{QStringLiteral("((CAST(%1 AS INTEGER) + %2) % %3 + %4)")
                               .arg(paren(date), p.bind(Parameter::Type::Integer, 700006),
                                    p.bind(Parameter::Type::Integer, 7), p.bind(Parameter::Type::Integer, 1)),
                           withTime(date)};
        return Guarded{partOf(part, date, p), withTime(date)};
    }

    std::optional<Guarded> dateDiff(DateInterval interval, const QString &a, const QString &b,
                                    Parameters &p) const override
    {
        const QString guard = either({withTime(a), withTime(b)});
        const auto number = [&](qint64 n) { return p.bind(Parameter::Type::Integer, n); };
        switch (interval) {
        case DateInterval::Day:
            return Guarded{QStringLiteral("(%1 - %2)").arg(paren(b), paren(a)), guard};
        case DateInterval::Week:
            // Whole weeks, toward zero.
            return Guarded{QStringLiteral("(CAST(%1 - %2 AS INTEGER) / %3)").arg(paren(b), paren(a), number(7)),
                           guard};
        case DateInterval::Year:
            return Guarded{QStringLiteral("(%1 - %2)").arg(partOf(DatePart::Year, b, p), partOf(DatePart::Year, a, p)),
                           guard};
        case DateInterval::Month:
        case DateInterval::Quarter: {
            // Months (or quarters) counted from the year 0.
            const auto count = [&](const QString &d) {
                return monthsFromYearZero(interval == DateInterval::Quarter, partOf(DatePart::Year, d, p),
                                          partOf(DatePart::Month, d, p), number);
            };
            return Guarded{QStringLiteral("(%1 - %2)").arg(count(b), count(a)), guard};
        }
        }
        return std::nullopt;
    }

    std::optional<Guarded> textFunction(TextFunction f, const QString &text, Parameters &p) const override
    {
        switch (f) {
        case TextFunction::UCase:
        case TextFunction::LCase:
            // SQLite's upper() and lower() know ASCII letters only.
            return Guarded{QStringLiteral("%1(%2)").arg(f == TextFunction::UCase ? QStringLiteral("upper")
                                                                                 : QStringLiteral("lower"),
                                                        text),
                           QStringLiteral("%1 GLOB %2").arg(paren(text), p.bind(Parameter::Type::Text,
                                                                                QStringLiteral("*[^ -~]*")))};
        case TextFunction::Trim:
        case TextFunction::LTrim:
        case TextFunction::RTrim:
            return blanksTrimmed(f, text, p, QLatin1String("trim"));
        }
        return std::nullopt;
    }

    std::optional<Guarded> substring(const QString &text, int start, int count, Parameters &p) const override
    {
        const QString from = p.bind(Parameter::Type::Integer, qint64(start));
        const QString sql = count < 0 ? QStringLiteral("substr(%1, %2)").arg(text, from)
                                      : QStringLiteral("substr(%1, %2, %3)")
                                            .arg(text, from, p.bind(Parameter::Type::Integer, qint64(count)));
        return Guarded{sql, beyondBmp(text, p)};
    }

    std::optional<Guarded> right(const QString &text, int count, Parameters &p) const override
    {
        if (count == 0)
            return substring(text, 1, 0, p);
        // substr() from -count gives the whole text when it is shorter.
        return Guarded{QStringLiteral("substr(%1, %2)").arg(text, p.bind(Parameter::Type::Integer, qint64(-count))),
                       beyondBmp(text, p)};
    }

    std::optional<Guarded> position(const QString &text, const QString &sought, Parameters &p) const override
    {
        // InStr finds nothing in empty text, not even empty text; Null
        // sought text gives Null even then.
        return Guarded{QStringLiteral("CASE WHEN %3 IS NULL THEN NULL WHEN %1 = %2 THEN 0 ELSE instr(%1, %3) END")
                           .arg(paren(text), p.bind(Parameter::Type::Text, QString(QLatin1String(""))), sought),
                       beyondBmp(text, p)};
    }

    std::optional<Guarded> wholeNumber(const QString &number, qint64 least, qint64 most,
                                       Parameters &p) const override
    {
        // Whole numbers in range are themselves; anything else the engine
        // rounds or refuses, and decides.
        return Guarded{QStringLiteral("CAST(%1 AS INTEGER)").arg(paren(number)),
                       QStringLiteral("%1 NOT BETWEEN %2 AND %3 OR %1 <> CAST(%1 AS INTEGER)")
                           .arg(paren(number), p.bind(Parameter::Type::Integer, least),
                                p.bind(Parameter::Type::Integer, most))};
    }

    std::optional<Guarded> round(const QString &number, int digits, Parameters &p) const override
    {
        if (digits < 0)
            return std::nullopt;  // the engine raises 5
        // As the engine rounds: scaled by 10^digits in Doubles, half to even,
        // scaled back; a scaled value of 2^52 or more is left as it is.
        // SQLite's own round() adds one half, which is not exact near ties.
        const QString scale = p.bind(Parameter::Type::Real, std::pow(10.0, std::min(digits, 22)));
        const QString s = QStringLiteral("(%1 * %2)").arg(paren(number), scale);
        const QString t = QStringLiteral("CAST(CAST(%1 AS INTEGER) AS REAL)").arg(s);
        const QString half = p.bind(Parameter::Type::Real, 0.5);
        const QString sign = QStringLiteral("(CASE WHEN %1 < 0 THEN -1 ELSE 1 END)").arg(s);
        const QString nearest = QStringLiteral(
                                    "(CASE WHEN abs(%1 - %2) < %3 THEN %2 WHEN abs(%1 - %2) > %3 THEN %2 + %4 "
                                    "WHEN CAST(%1 AS INTEGER) % 2 = 0 THEN %2 ELSE %2 + %4 END)")
                                    .arg(s, t, half, sign);
        const QString sql = QStringLiteral("(CASE WHEN abs(%1) >= %2 THEN %3 ELSE %4 / %5 END)")
                                .arg(s, p.bind(Parameter::Type::Real, 4503599627370496.0), paren(number),
                                     nearest, scale);
        return Guarded{sql, {}};
    }

    QString concat(const QString &a, const QString &b) const override
    {
        return QStringLiteral("(coalesce(%1, '') || coalesce(%2, ''))").arg(a, b);
    }

private:
    // The demo's date text: "yyyy-MM-dd" of a real day (written back the
    // same from its day number: date() alone lets February 30 through) from
    // the year 100 on is the Date of that day; any
    // other value is handed over as it is stored, and its rows are flagged.
    static std::optional<Guarded> isoDate(const QString &c, ValueKind kind, Parameters &p)
    {
        if (kind != ValueKind::Date && kind != ValueKind::Number)
            return std::nullopt;
        const QString isDate
            = QStringLiteral("(CASE WHEN typeof(%1) = %2 AND %1 GLOB %3 AND NOT %1 GLOB %4 "
                             "AND date(julianday(%1)) IS %1 THEN 1 ELSE 0 END)")
                  .arg(c, p.bind(Parameter::Type::Text, QStringLiteral("text")),
                       p.bind(Parameter::Type::Text, QStringLiteral("[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]")),
                       p.bind(Parameter::Type::Text, QStringLiteral("00*")));
        // julianday() counts from noon, the serials from midnight of 1899-12-30.
        return Guarded{QStringLiteral("CASE WHEN %1 = 1 THEN julianday(%2) - %3 END")
                           .arg(isDate, c, p.bind(Parameter::Type::Real, 2415018.5)),
                       QStringLiteral("%1 IS NOT NULL AND %2 = 0").arg(c, isDate)};
    }

    // A date with a time of day, which the engine rounds to the second
    // before it takes the date apart.
    static QString withTime(const QString &date)
    {
        return QStringLiteral("%1 <> CAST(%1 AS INTEGER)").arg(paren(date));
    }

    // Year, Month or Day of a whole date serial, as an integer.
    static QString partOf(DatePart part, const QString &date, Parameters &p)
    {
        const char *format = part == DatePart::Year ? "%Y" : part == DatePart::Month ? "%m" : "%d";
        return QStringLiteral("CAST(strftime(%1, %2 + %3) AS INTEGER)")
            .arg(p.bind(Parameter::Type::Text, QLatin1String(format)), paren(date),
                 p.bind(Parameter::Type::Real, 2415018.5));
    }

    // Text holding a character beyond the BMP: a code point and a UTF-16
    // code unit no longer count or order alike.
    QString beyondBmp(const QString &text, Parameters &p) const override
    {
        return QStringLiteral("%1 GLOB %2")
            .arg(paren(text), p.bind(Parameter::Type::Text, QStringLiteral("*[\U00010000-\U0010FFFF]*")));
    }

    // A result the engine would not give as a Double: past the largest one
    // (the engine raises Overflow), or not a number at all (SQLite makes NaN
    // NULL).
    static QString overflow(const QString &result, const QString &a, const QString &b, Parameters &p)
    {
        return QStringLiteral("abs(%1) > %2 OR (%1 IS NULL AND %3 IS NOT NULL AND %4 IS NOT NULL)")
            .arg(result, p.bind(Parameter::Type::Real, LargestDouble), paren(a), paren(b));
    }
};

} // namespace

const Dialect &sqliteDialect()
{
    static const SqliteDialect dialect;
    return dialect;
}

} // namespace nvtarnix::pushdown
