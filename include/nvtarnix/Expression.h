#pragma once

// Rules at run time: an expression the wizard wrote, in database form,
// compiled once and evaluated over many rows.
//
//     nvtarnix::Expression late = nvtarnix::Expression::compile(
//         "[ORD_SHIPPED] - [ORD_DATE] > 10 And [ORD_STATUS] <> 4");
//     // late.variables() is {"ORD_SHIPPED", "ORD_DATE", "ORD_STATUS"}
//     while (query.next()) {
//         const QVariant v = late.evaluate(QVariantList{query.value(0), query.value(1), query.value(2)});
//         if (v.toBool()) ...
//     }
//
// Failures throw nvtarnix::Error with the engine's number and description: a
// text that is not one expression from compile() (1002, 1023, 1025, ...,
// with line() and column()), a run-time error from evaluate() (11, 13, 94,
// ...). Nothing carries over from one evaluate() to the next. Running out of
// memory is 7 "Out of memory", like any other run-time error: nothing else
// leaves evaluate().
//
// Values going in: an invalid QVariant is Empty; a null QVariant of any type
// (QtSql's SQL NULL) is Null; bool is Boolean; an integer that fits 32 bits
// is Long, a wider one Double; float is Single, double is Double; QString
// and QByteArray (UTF-8) are String; QDate and QDateTime are Date (their
// wall-clock fields). A value of any other type raises 13 "Type mismatch"
// when the expression reads it.
//
// Results coming out: Empty is an invalid QVariant; Null is
// QVariant::fromValue(nullptr); Boolean is bool; Byte, Integer and Long are
// int; Single is float; Double and Currency are double; Date is a local
// QDateTime with the same wall-clock fields; String is QString; an array is a
// QVariantList (an array of arrays for more dimensions). An object raises 13.
//
// Safety is that of the wizard's check: a rule reaches no files, processes or
// network; MsgBox and InputBox raise 70; CreateObject makes only
// "Scripting.Dictionary"; a run longer than the time limit stops with the
// check's time-limit error, and the expression stays usable.
//
// Threads. An Expression is a cheap value: copies share one compiled tree,
// which is immutable once compile() has returned (every name the tree reads
// that is not a variable was looked up during compile, so runs find their
// answers in place and never write to the tree). Everything a run changes,
// the variables' values, Err, the random seed, the locale and the clock,
// lives in an engine of the calling thread's own. So the same Expression, and
// copies of it, may be evaluated from any number of threads at once, with the
// results one thread would give. Nor does a run write to what threads share:
// the values' strings are read in place (their reference counts untouched, so
// rows whose strings share data, as rows from one cache do, may go to any
// thread), and only during evaluate(); the result and an Error have
// characters of their own.

#include <nvtarnix/Export.h>

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace nvtarnix {

struct ExpressionOptions
{
    QLocale locale = QLocale::system();  // how text, numbers and dates convert
    int timeoutMs = 5000;                // bound of compile() and of one evaluate(); -1 = none
    // Bound of what one evaluate() may build, in bytes: the text it makes,
    // arrays, Dictionaries and their entries, class instances, and the code
    // Eval and Execute read. Each size is checked before it is allocated;
    // past the bound, evaluate() throws 7 "Out of memory" and the expression
    // stays usable. What the run has let go of no longer counts, so the
    // process grows by at most about this much while a rule runs.
    qint64 memoryBudget = 256 * 1024 * 1024;
    // The instant Now, Date and Time read in every evaluate(), to the
    // second: a host that runs a rule over many rows sets it once, so that
    // every row sees the same day and the rule can run inside the database
    // (pushdown::translate binds it). Invalid, the default: the clock, read
    // at each call.
    QDateTime now = {};
};

class NVTARNIX_EXPORT Expression
{
public:
    // A null expression: isNull() is true, evaluate() raises 91.
    Expression();

    // Parses `databaseScript` as one expression; throws nvtarnix::Error. A text
    // of more than a million characters is refused at once (1001).
    static Expression compile(const QString &databaseScript, const ExpressionOptions &options = {});

    bool isNull() const;
    // The text it was compiled from.
    QString text() const;
    // Every name the expression reads as a variable ([CUST_NAME] and CUST_NAME
    // are one), without brackets, as first written, once each, in order of
    // first occurrence. Built-in functions and constants are not variables.
    QStringList variables() const;

    // Binds values[i] to variables()[i]; missing trailing values are Empty.
    QVariant evaluate(const QVariantList &values) const;
    // Binds by name, without regard to case; a variable the map lacks is Empty.
    QVariant evaluate(const QVariantMap &values) const;

private:
    friend struct ExpressionInternals;  // the SQL translation reads the compiled tree
    QVariant evaluateByName(const QVariantMap &values) const;

    class Compiled;
    std::shared_ptr<const Compiled> d;
};

} // namespace nvtarnix
