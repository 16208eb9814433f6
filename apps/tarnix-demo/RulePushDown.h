#pragma once

#include <nvtarnix/PushDown.h>

#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

namespace nvtarnix {
class Expression;
}

namespace tarnixdemo {

// A rule as SQLite runs it over the orders query: the translation of the
// compiled rule, with each of its variables bound to the query's column of
// that name as the demo reads it.
struct PushedRule
{
    nvtarnix::pushdown::Translation translation;
    // The date fields the rule reads. The demo turns their ISO texts into
    // dates for the engine, and SQLite has no such binding: a rule that
    // reads one runs in the engine.
    QStringList dateVariables;

    bool inDatabase() const
    {
        return dateVariables.isEmpty() && translation.outcome != nvtarnix::pushdown::Outcome::Fail;
    }
};

// An order the database fetched for a rule: its number, and whether the
// engine must decide it.
struct FetchedOrder
{
    qint64 number = 0;
    bool flagged = false;
};

// `columns` are the orders query's columns; `dateColumns` those among them
// (upper case) that hold dates as ISO text.
PushedRule pushDown(const nvtarnix::Expression &rule, const QStringList &columns, const QSet<QString> &dateColumns);

// Runs a rule that is inDatabase() over `ordersSql` (whose rows have the
// column ORD_NO): the orders the SQL fetches, in order of their numbers, or
// nullopt with the database's message in `error` when SQLite refuses it.
std::optional<QList<FetchedOrder>> fetchOrders(const QSqlDatabase &database, const QString &ordersSql,
                                               const PushedRule &rule, QString *error);

} // namespace tarnixdemo
