#pragma once

// The host's own rows, which the wizard counts a rule against while the user
// writes it: "selects 146 of 2,400" under the text, and on demand the first
// rows it selects and the first rows on which it fails.
//
//     nvtarnix::RowSource orders;
//     orders.connectionName = QStringLiteral("shop");   // a QSqlDatabase connection
//     orders.table = QStringLiteral("orders");
//     orders.columns = {{"ORD_DATE", "ord_date", nvtarnix::pushdown::Binding::SqliteIsoDate},
//                       {"TODAY", {}, nvtarnix::pushdown::Binding::RunConstant, QDate::currentDate()}};
//     builder.setRowSource(orders);
//     builder.Edit();
//
// The rows are either a Qt SQL connection, named as QSqlDatabase::addDatabase
// named it, with a table or a query, or, for a host without SQL, a Recordset.
// The wizard never uses the host's connection itself: each count opens a
// clone of it (QSqlDatabase::cloneDatabase) on the thread that counts, so the
// database must be one that a second connection can open (a file, a server;
// not SQLite's ":memory:"). A connection the host removes while the wizard is
// open only makes the count say that the rows cannot be read.
//
// A rule's variable (by its ID, the database form) reads the column named in
// `columns` for it, or else the column of the same name, compared without
// regard to case. Values reach the engine as nvtarnix::Expression takes
// QtSql's values; a column bound as SqliteIsoDate or PgDate hands over its
// "yyyy-MM-dd" texts as dates, and a RunConstant gives its value on every row.
// On an SQLite (QSQLITE) or PostgreSQL (QPSQL) connection the database
// counts the rows the rule selects (nvtarnix/PushDown.h) and the engine
// decides only the rows the translation leaves to it; the count, the first
// rows and the failing rows are the same either way. SQLite reads each
// column by its bindings; PostgreSQL by its type, as QPSQL hands it over
// (rules on real, char(n), timestamp and timestamptz columns, whose QPSQL
// values the SQL would not follow, are the engine's). A PostgreSQL count
// reads one snapshot in a read-only transaction.
//
// A Recordset is read from the first row to the end on the counting thread,
// by Fields(variable) (or Fields(column) when `columns` binds one); the host
// must not use it while the wizard is open. Its rows are counted by the
// engine alone.
//
// Counting stops after `timeLimitMs`: the wizard then says "more than N in the
// first M rows" instead of a count. Without a row source (isNull()) the
// wizard shows no count at all.

#include <nvtarnix/PushDown.h>
#include <nvtarnix/Recordset.h>

#include <QList>
#include <QString>

#include <memory>

namespace nvtarnix {

struct RowSource
{
    // A Qt SQL connection, with exactly one of a table (or view) and a query.
    QString connectionName;
    QString table;
    QString query;
    // How variables bind to columns, when not by name, and which columns
    // hold dates; optional.
    QList<pushdown::ColumnBinding> columns;
    // For a host without SQL, in place of the connection.
    std::shared_ptr<Recordset> recordset;
    // How long one count may run before it reports what it has.
    int timeLimitMs = 2000;

    bool isNull() const { return connectionName.isEmpty() && !recordset; }
};

} // namespace nvtarnix
