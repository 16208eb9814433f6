#pragma once

// What the translation needs from one SQL dialect. The walk over the rule
// (RuleTranslator) knows the engine's semantics and nothing of any SQL; a
// dialect knows how its database reads a column as the engine's value, how
// it writes each operation exactly, and which rows it cannot do exactly.
//
// Adding a dialect:
//  1. Derive a class from Dialect in a file of its own (SqliteDialect.cpp
//     is the example) and implement every member below, keeping to the
//     contract each states. A member that cannot be written exactly for
//     some rows returns those rows as a guard predicate; one that cannot be
//     written at all returns std::nullopt, and the part becomes inexact.
//  2. Add its value to nvtarnix::pushdown::SqlDialect and its Binding
//     values to <nvtarnix/PushDown.h>, and return it from dialectFor()
//     (Dialects.cpp).
//  3. Plug it into the differential harness (tests/pushdown), which compares
//     its answers with the engine's on random rules and tables.
//
// SQL is passed around as text. Values are SQL expressions that are NULL
// exactly where the engine's value is Null; predicates are SQL conditions
// that are only ever combined with AND and OR (never negated), so a
// predicate that comes out NULL counts as false. Every constant goes in
// through Parameters::bind(), never into the text.

#include <nvtarnix/PushDown.h>

#include <QString>

#include <optional>
#include <vector>

namespace nvtarnix::pushdown {

// The engine value kinds the SQL computes.
enum class ValueKind : quint8 { Number, Text, Date, Boolean };

// The parameters of one translation; bind() answers the placeholder.
class Parameters
{
public:
    explicit Parameters(const class Dialect &dialect) : m_dialect(dialect) {}
    QString bind(Parameter::Type type, const QVariant &value);
    const QList<Parameter> &list() const { return m_list; }

private:
    const Dialect &m_dialect;
    QList<Parameter> m_list;
};

enum class Comparison : quint8 { Eq, Ne, Lt, Gt, Le, Ge };
enum class Arithmetic : quint8 { Add, Sub, Mul, Div, IntDiv, Mod };
enum class TextFunction : quint8 { UCase, LCase, Trim, LTrim, RTrim };
enum class DatePart : quint8 { Year, Month, Day, Weekday };
enum class NumberFunction : quint8 { Abs, Fix, Int, Sgn };
// DateDiff's intervals that count whole days, months or years.
enum class DateInterval : quint8 { Year, Quarter, Month, Day, Week };

// The engine's dates: serials from 100-01-01 up to (not including) the day
// after 9999-12-31; a Date leaving them raises 6.
constexpr double FirstDateSerial = -657434.0;
constexpr double AfterLastDateSerial = 2958466.0;

// An SQL expression with the rows where it is not the engine's answer.
struct Guarded
{
    QString sql;
    QString guard;  // rows the engine must decide; empty: none
};

class Dialect
{
public:
    virtual ~Dialect() = default;

    virtual QString quoteIdentifier(const QString &name) const = 0;
    // The placeholder of the parameter numbered `number` (1-based).
    virtual QString placeholder(int number, Parameter::Type type) const = 0;
    virtual QString alwaysTrue() const = 0;
    virtual QString alwaysFalse() const = 0;

    // A column read as a value of `kind`: its SQL where the row holds a value
    // the host turns into that kind (or NULL), and as guard the rows that hold
    // anything else or a value the SQL does not carry exactly. nullopt when
    // the binding never gives that kind.
    virtual std::optional<Guarded> readColumn(const QString &column, Binding binding, ValueKind kind,
                                              Parameters &parameters) const = 0;

    // a <op> b for two values of `kind`, as the engine compares them when
    // neither is Null: a condition, NULL where either is. Numbers and dates
    // (as their serials) compare as Doubles; text by code unit, which the
    // binary collation gives wherever no character lies beyond the BMP
    // (UTF-8 bytes order as code points, UTF-16 code units otherwise).
    std::optional<Guarded> compare(ValueKind kind, Comparison op, const QString &a, const QString &b,
                                   Parameters &parameters) const;

    // Arithmetic on two Numbers, with the engine's result (Double division,
    // \ and Mod on rounded Longs) and as guard the rows where it raises or
    // leaves the range the SQL computes exactly.
    virtual std::optional<Guarded> arithmetic(Arithmetic op, const QString &a, const QString &b,
                                              Parameters &parameters) const = 0;
    virtual std::optional<Guarded> negate(const QString &a, Parameters &parameters) const = 0;

    // A Date plus or minus a Number (or a Date), as date serials: a Date
    // (NULL and guarded where it leaves the engine's dates) when `toDate`,
    // else the Double difference of two Dates.
    virtual std::optional<Guarded> dateArithmetic(Arithmetic op, const QString &a, const QString &b, bool toDate,
                                                  Parameters &parameters) const = 0;
    // A Number taken as a Date (its serial): NULL and guarded where it lies
    // outside the engine's dates, which raise 6.
    virtual std::optional<Guarded> numberAsDate(const QString &number, Parameters &parameters) const = 0;
    // Abs, Fix, Int and Sgn of a Number.
    virtual std::optional<Guarded> numberFunction(NumberFunction f, const QString &number,
                                                  Parameters &parameters) const = 0;
    // Replace(text, find, replacement), binary, with texts known when
    // translating.
    virtual std::optional<Guarded> replace(const QString &text, const QString &find, const QString &replacement,
                                           Parameters &parameters) const = 0;
    // Mid(text, start) with a start computed per row: guarded where the
    // engine raises for it (Null, below 1, beyond a Long) or rounds it.
    virtual std::optional<Guarded> substringFrom(const QString &text, const QString &start,
                                                 Parameters &parameters) const = 0;
    // CStr and Hex of a whole number the column holds as an integer:
    // guarded beyond a Long (and below 0 for Hex), where the engine writes
    // it otherwise.
    virtual std::optional<Guarded> integerText(const QString &number, bool hex, Parameters &parameters) const = 0;
    // Year, Month, Day or Weekday (from Sunday) of a Date; as guard the dates with a time of day,
    // which the engine rounds to the second before it takes them apart.
    virtual std::optional<Guarded> datePart(DatePart part, const QString &date, Parameters &parameters) const = 0;
    // DateDiff(interval, a, b) of two Dates, guarded as datePart().
    virtual std::optional<Guarded> dateDiff(DateInterval interval, const QString &a, const QString &b,
                                            Parameters &parameters) const = 0;

    // Text functions on a Text value. Len counts UTF-16 units, as SQL's
    // length() counts characters where none lies beyond the BMP.
    virtual std::optional<Guarded> length(const QString &text, Parameters &parameters) const
    {
        return Guarded{QStringLiteral("length(%1)").arg(text), beyondBmp(text, parameters)};
    }
    virtual std::optional<Guarded> textFunction(TextFunction f, const QString &text,
                                                Parameters &parameters) const = 0;
    // Left, Right and Mid with counts known when translating: start is
    // 1-based, count < 0 means to the end.
    virtual std::optional<Guarded> substring(const QString &text, int start, int count,
                                             Parameters &parameters) const = 0;
    virtual std::optional<Guarded> right(const QString &text, int count, Parameters &parameters) const = 0;
    // InStr(text, sought), binary: the 1-based position in UTF-16 code units, or 0.
    virtual std::optional<Guarded> position(const QString &text, const QString &sought,
                                            Parameters &parameters) const = 0;
    // CInt and CLng of a Number: rounded half to even, and as guard the rows
    // the engine raises 6 for (outside least..most) or rounds otherwise.
    virtual std::optional<Guarded> wholeNumber(const QString &number, qint64 least, qint64 most,
                                               Parameters &parameters) const = 0;
    // Round(number, digits), half to even as the engine rounds.
    virtual std::optional<Guarded> round(const QString &number, int digits, Parameters &parameters) const = 0;

    // a & b for two Texts that are not both Null (Null counts as "").
    virtual QString concat(const QString &a, const QString &b) const = 0;

protected:
    // a <sign> b for text in the binary collation, named: a column's own
    // collation (a case-blind one, an ICU one) must not change the order.
    virtual QString binaryComparison(const QString &a, const QString &sign, const QString &b) const = 0;
    // The rows where `text` holds a character beyond the BMP.
    virtual QString beyondBmp(const QString &text, Parameters &parameters) const = 0;
    // Trim, LTrim and RTrim take blanks only, not tabs or line ends:
    // `bothEnds` is the dialect's name of the function that trims both.
    static Guarded blanksTrimmed(TextFunction f, const QString &text, Parameters &parameters, QLatin1String bothEnds)
    {
        const QLatin1String fn = f == TextFunction::Trim    ? bothEnds
                                 : f == TextFunction::LTrim ? QLatin1String("ltrim")
                                                            : QLatin1String("rtrim");
        const QString blank = parameters.bind(Parameter::Type::Text, QStringLiteral(" "));
        return Guarded{QStringLiteral("%1(%2, %3)").arg(fn, text, blank), {}};
    }
    // What DateDiff's "m" and "q" subtract: the months (or quarters) from the
    // year 0 to a date of year `year` and month `month`, the whole numbers
    // written by `number` as the dialect binds them.
    template<typename Number>
    static QString monthsFromYearZero(bool quarters, const QString &year, const QString &month, Number number)
    {
        return quarters ? QStringLiteral("(%1 * %2 + (%3 - %4) / %5)").arg(year, number(4), month, number(1), number(3))
                        : QStringLiteral("(%1 * %2 + %3)").arg(year, number(12), month);
    }
};

// The dialect of `which`, which lives as long as the program; null when this
// build has none for it.
const Dialect *dialectFor(SqlDialect which);

} // namespace nvtarnix::pushdown
