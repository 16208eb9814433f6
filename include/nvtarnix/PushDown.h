#pragma once

// Running a rule inside the database: a compiled rule becomes an SQL WHERE
// clause that gives exactly the engine's answers.
//
//     const auto rule = nvtarnix::Expression::compile("[AMOUNT] > 1000 And Len([NAME]) > 3");
//     const nvtarnix::pushdown::Translation sql = nvtarnix::pushdown::translate(
//         rule, nvtarnix::pushdown::SqlDialect::SQLite,
//         {{"AMOUNT", "amount", nvtarnix::pushdown::Binding::SqliteStorageClass},
//          {"NAME", "name", nvtarnix::pushdown::Binding::SqliteStorageClass}});
//     // SELECT key, amount, name, (<sql.flagged>) FROM orders WHERE <sql.where>
//     // with sql.parameters bound as ?1, ?2, ...
//
// What comes back:
//  - where: every row the rule may keep satisfies it (and every row the
//    engine must decide). Rows it leaves out are rows whose result is not
//    True and whose evaluation raises no error.
//  - flagged: the rows among those fetched that the engine must evaluate
//    itself: a row that may raise an error (13, 94, 6, 11, 5, ...), a value
//    whose stored type the SQL does not follow exactly, text the SQL does not
//    compare as the engine does (characters beyond the BMP in ordered
//    comparisons, non-ASCII letters in UCase). A fetched row that is not
//    flagged is one whose result is True.
//  - outcome: Complete when the SQL decides every row that is not flagged;
//    Partial when it only narrows the rows down and the engine re-checks every
//    row fetched (flagged is then always true); Fail when nothing is pushed
//    (where is then always true, and so is flagged).
//  - parameters: every literal of the rule, bound by number (?1 or $1, as the
//    dialect writes them) in this order. No text of the rule is ever part of
//    the SQL; identifiers are quoted.
//  - notes: for each part not translated exactly, where it is and why.
//
// The comparison of two values in the engine depends on their run-time
// subtypes and on whether one is a literal, so the translation must know how
// the host turns each column into an engine value: the Binding. A column
// whose rows may hold values of another type than the one the rule's use of
// it expects (text in an INTEGER column of an SQLite table without STRICT,
// say) is read as expected where it holds that type, and the rows where it
// does not are flagged: the engine decides them with the value the host
// gives it.
//
// The engine's semantics are kept, not the database's: Null propagation and
// three-valued And/Or/Not, comparison of text by UTF-16 code unit under the
// binary collation whatever the column's, numbers compared as Doubles,
// integer overflow into Double, division by zero as an error.
//
// Dates are Doubles in the SQL, the engine's serial numbers (days since
// 1899-12-30). Comparisons of dates, a date plus or minus a number of days,
// the difference of two dates, Year, Month, Day, Weekday and DateDiff with the
// intervals "yyyy", "q", "m", "y", "d" and "w" are translated; the parts of a
// date with a time of day are the engine's to decide (those rows are
// flagged), and so is DateDiff in hours, minutes or seconds (a note says so). Date and Now are bound as parameters when the rule was compiled
// with an instant (ExpressionOptions::now), which its evaluations read too;
// without one they read the clock at each call, and are not pushed down. A
// host that evaluates a rule against a day of its own choosing binds that
// day as a RunConstant instead.

#include <nvtarnix/Export.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace nvtarnix {

class Expression;

namespace pushdown {

enum class SqlDialect {
    SQLite,
    PostgreSQL,
};

// How a host turns a column's stored values into the engine's.
enum class Binding {
    // SQLite, by each value's storage class, as `tarnix apply` reads it: NULL
    // is Null, INTEGER a Long (a Double past 32 bits), REAL a Double, TEXT a
    // String, BLOB a String of its bytes as UTF-8. Any class may appear in
    // any row (a table without STRICT).
    SqliteStorageClass,
    // The same, for a column known to hold only one class besides NULL (a
    // STRICT table's INTEGER, REAL or TEXT column): no row needs a check.
    SqliteStrictInteger,
    SqliteStrictReal,
    SqliteStrictText,
    // SQLite text of a date, "yyyy-MM-dd" of a real day from the year 100 on,
    // which the host hands to the engine as that Date; any other value is
    // handed over by its storage class, as above, and its rows are the
    // engine's to decide wherever the rule reads the column as a date.
    SqliteIsoDate,
    // PostgreSQL, typed by the column's type (the PostgreSQL reader of
    // `tarnix apply` documents the values).
    PgInt2,
    PgInt4,
    PgInt8,
    PgFloat4,
    PgFloat8,
    PgNumeric,
    PgText,
    PgBool,
    PgDate,
    PgTimestamp,
    PgTimestampTz,
    // No column: the same value on every row of the run (the day a report
    // is made for, say), given in ColumnBinding::value and bound as a
    // parameter. A QDate or QDateTime is a Date (a QDateTime to the second);
    // an int, qint64 or double a number; a QString text; a null QVariant
    // Null.
    RunConstant,
};

// One variable of the rule and the column it reads.
struct ColumnBinding
{
    ColumnBinding() = default;
    ColumnBinding(QString variable, QString column, Binding binding, QVariant value = {})
        : variable(std::move(variable)), column(std::move(column)), binding(binding), value(std::move(value))
    {
    }

    QString variable;  // as the rule names it; compared without regard to case
    QString column;    // the column's name in the database; quoted when written
    Binding binding = Binding::SqliteStorageClass;
    QVariant value;    // the value of a RunConstant
};

enum class Outcome { Complete, Partial, Fail };

// A bound parameter: a qint64, a double or a QString in `value`.
struct Parameter
{
    enum class Type { Integer, Real, Text };
    Type type = Type::Text;
    QVariant value;
};

// A part of the rule that is not translated exactly.
struct Note
{
    int line = 0;     // 1-based
    int column = 0;   // 1-based
    QString part;     // the text of the part
    QString reason;
};

struct Translation
{
    Outcome outcome = Outcome::Fail;
    QString where;
    QString flagged;
    QList<Parameter> parameters;
    QList<Note> notes;

    // A readable account: the outcome, the SQL, the parameters and the notes,
    // one a line.
    QString explanation() const;
};

// The name of an outcome: "Complete", "Partial", "Fail".
NVTARNIX_EXPORT QString outcomeName(Outcome outcome);

// Translates `rule` for `dialect`. A variable without a binding, or a null
// rule, gives Fail with a note. Never throws for a rule it cannot translate.
NVTARNIX_EXPORT Translation translate(const Expression &rule, SqlDialect dialect, const QList<ColumnBinding> &columns);

} // namespace pushdown
} // namespace nvtarnix
