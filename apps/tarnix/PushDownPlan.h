#pragma once

#include "RowSource.h"
#include "SqliteRows.h"

#include <nvtarnix/PushDown.h>

#include <QDateTime>

namespace vbscript {
class CompiledExpression;
}

namespace tarnixcli {

// How `tarnix apply` runs a rule inside SQLite: each variable bound as the
// reader binds the column (by storage class; a STRICT table's typed columns
// as holding only their type), the translation, and the statement that
// fetches the rows the rule may keep, in the source's own order, with the
// row's number when the rows have no key and a flag for the rows the engine
// must decide.
struct PushDownPlan
{
    nvtarnix::pushdown::Translation translation;
    RowSource::Pushed statement;  // empty sql when the translation failed
    // The statement sorts its rows by their place in the table itself, so
    // the database may find them through any index.
    bool sortsByPlace = false;
};

// `now` is the run's instant, which the engine reads for Now, Date and Time
// on the rows it re-checks; invalid: the clock, and rules that read it stay
// in the engine.
// With `countOnly` (--count), the rows the SQL decides are counted by SQLite
// and only the rest come, as in PostgreSQL below.
PushDownPlan planPushDown(const SqliteFile &file, const RowSource::Request &request,
                          const vbscript::CompiledExpression &rule, const QDateTime &now, bool countOnly);

// The same in PostgreSQL: each variable bound by its column's type as the
// reader reads it (PostgresValue.h); a table's rows sorted by their place
// (ctid), which is the order a scan of the table reads them in; a view's or
// a query's numbered as the engine alone would read them. With `countOnly`
// (--count), the rows the SQL decides are counted by the server and only
// the rest come.
PushDownPlan planPushDown(PostgresConnection &database, const RowSource::Request &request,
                          const vbscript::CompiledExpression &rule, const QDateTime &now, bool countOnly);

} // namespace tarnixcli
