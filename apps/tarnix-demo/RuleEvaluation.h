#pragma once

#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>
#include <nvtarnix/PushDown.h>

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <variant>

namespace tarnixdemo {

class DemoDatabase;

// One order as the demo lists it among a rule's matches.
struct OrderSummary
{
    qint64 number = 0;
    QString customer;
    int country = 0;
    double amount = 0;
    int status = 0;
    QDate date;
};

// What one rule gave on one order: its value, or the error it raised.
struct OrderResult
{
    int order = 0; // index into RuleEvaluation::orders
    QVariant value;
    std::optional<nvtarnix::Error> error;
};

// What one rule does to the orders.
struct RuleOutcome
{
    enum class Kind {
        NoExpression, // nothing written yet
        CannotRun,    // does not compile, reads what is no field, fails on
                      // every order, or ran out of time
        Condition,    // True, False or Null on every order it could evaluate
        Value,        // computes something else, a text or an amount
    };
    Kind kind = Kind::NoExpression;
    int selected = 0;  // orders on which the rule is True
    int failed = 0;    // orders on which it raised an error
    // Why it cannot run, or the first error it raised on an order.
    std::optional<nvtarnix::Error> error;
    // What a list of its matches shows, in order of the orders: for a
    // condition the orders it selects and those it failed on; for a value,
    // every order.
    QList<OrderResult> shown;

    // Where a condition runs: SQLite selects its orders itself, or narrows
    // them down and the engine decides the ones it fetched (or flagged), or
    // the engine evaluates it on every order.
    enum class Place { Engine, Database, DatabaseRechecked };
    Place place = Place::Engine;
    int fetched = 0;   // orders the database handed over for it
    int rechecked = 0; // of those, the ones the engine evaluated
    // Why it does not run wholly in the database: the translation's notes
    // (a note without a part is SQLite's refusal of the statement).
    QList<nvtarnix::pushdown::Note> placeNotes;
};

struct RuleEvaluation
{
    QList<OrderSummary> orders;
    QList<RuleOutcome> rules; // in the order of the expressions evaluated
};

// Runs the stored rules over the orders, as a host does with
// nvtarnix::Expression: each rule is compiled once, and kept compiled while
// its text stays the same, then evaluated on every row of one pass over the
// orders query. A rule's variables are the query's columns, compared without
// regard to case, and [TODAY], the day the orders were taken. Columns of
// date fields are handed over as dates.
//
// A rule SQLite can run exactly (nvtarnix/PushDown.h) is run there instead:
// the database fetches the orders it may select, and the engine evaluates
// only those the translation leaves to it, with the same values the pass
// hands it. The counts and the orders shown are the engine's either way.
class RuleEvaluator
{
public:
    explicit RuleEvaluator(nvtarnix::ExpressionOptions options = {});

    // Raises the database's errors (DemoErrorOrders); a rule's own errors
    // are in its outcome.
    RuleEvaluation evaluate(const DemoDatabase &database, const QStringList &expressions);

    // Off: every rule runs in the engine, as a host without the translation
    // would run it.
    void setPushDown(bool on) { m_pushDown = on; }

    // The number the demo gives a rule that reads a name that is no field:
    // VBScript's "Variable is undefined".
    static constexpr int UnknownField = 500;

private:
    using Compiled = std::variant<nvtarnix::Expression, nvtarnix::Error>;
    const Compiled &compiled(const QString &expression);

    nvtarnix::ExpressionOptions m_options;
    bool m_pushDown = true;
    QHash<QString, Compiled> m_compiled;
};

} // namespace tarnixdemo
