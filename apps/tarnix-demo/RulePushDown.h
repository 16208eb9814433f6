#pragma once

#include <nvtarnix/PushDown.h>

#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace nvtarnix {
class Expression;
}

namespace tarnixdemo {

// A rule as SQLite runs it over the orders query: the translation of the
// compiled rule, with each of its variables bound to the query's column of
// that name as the demo reads it, and [TODAY] to the day the orders were
// taken.
struct PushedRule
{
    nvtarnix::pushdown::Translation translation;

    bool inDatabase() const { return translation.outcome != nvtarnix::pushdown::Outcome::Fail; }
};

// An order the database fetched for a rule: its number, and whether the
// engine must decide it.
struct FetchedOrder
{
    qint64 number = 0;
    bool flagged = false;
};

// `columns` are the orders query's columns; `dateColumns` those among them
// (upper case) that hold dates as ISO text, which the demo hands to the
// engine as dates; `constants` the values of variables that are no column
// (upper case), the same on every order.
PushedRule pushDown(const nvtarnix::Expression &rule, const QStringList &columns, const QSet<QString> &dateColumns,
                    const QVariantMap &constants);

// Runs a rule that is inDatabase() over `ordersSql` (whose rows have the
// column ORD_NO): the orders the SQL fetches, in order of their numbers, or
// nullopt with the database's message in `error` when SQLite refuses it.
std::optional<QList<FetchedOrder>> fetchOrders(const QSqlDatabase &database, const QString &ordersSql,
                                               const PushedRule &rule, QString *error);

} // namespace tarnixdemo
