#pragma once

#include "PostgresValue.h"
#include "StoredRows.h"

#include <nvtarnix/PushDown.h>

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace tarnixcli {

// A PostgreSQL database reached through libpq, read in one read-only
// transaction from connection to close: every row of a run comes from one
// snapshot, and the server itself refuses anything that would write.
// The session's settings fix the text in which values arrive (see
// PostgresValue.h) and keep the rows of a scan in one order from run to run:
// no parallel workers, no scan that joins another one midway.
//
// Failures are nvtarnix::Error with the numbers SqliteFile uses, each naming
// the database:
//   3709  a connection that cannot be made (refused, no such database,
//         authentication), or a conninfo libpq cannot read
//   3265  a table or view the database does not have
//   3704  a statement that returns no rows (a command)
//   -2147217900  a statement the server refuses, or fails to run, midway
//         included; the server's SQLSTATE is given in the description
class PostgresConnection
{
public:
    explicit PostgresConnection(const QString &conninfo);
    ~PostgresConnection();
    PostgresConnection(const PostgresConnection &) = delete;
    PostgresConnection &operator=(const PostgresConnection &) = delete;

    pg_conn *handle() const { return m_connection; }

    // How messages name the database: database "shop" on /run/postgresql.
    const QString &name() const { return m_name; }

    // A table or view visible on the search path whose name is `name`,
    // compared without regard to case as SQLite compares it ("schema.name"
    // names one in a schema); the quoted name to select from.
    struct Relation
    {
        QString quotedName;
        bool isTable = false;      // a table, partitioned or not: no view
        bool isPlainTable = false; // a table of its own, whose rows have a place (ctid)
    };
    std::optional<Relation> relation(const QString &name);

    // Runs statements that return nothing; a refusal raises -2147217900.
    void run(const char *sql);

    // Scans of tables go through the table itself, never an index, so that
    // a table's rows come in its own order whatever indexes it has.
    void readTablesInTheirOrder();
    // Settings for a statement of the rule's push-down; one that puts its
    // rows in order itself (`sortsByPlace`) lets scans use indexes and
    // parallel workers again, as the database sets them.
    void prepareForPushDown(bool sortsByPlace);

    // A point the transaction can return to, settings included, should a
    // statement after it fail; and the return. Without it, one refused
    // statement ends every later one of the transaction.
    void markSavepoint();
    void returnToSavepoint();

    // Raises the failure of `result` (or of the connection when there is
    // none) as -2147217900.
    [[noreturn]] void raiseFailure(const pg_result *result) const;

    // A name for a new prepared statement, unique on this connection.
    QByteArray newStatementName();

private:
    pg_conn *m_connection = nullptr;
    QString m_name;
    int m_statements = 0;
};

// The rows of one statement, read forward once, as the server sends them:
// one row at a time, so that a table of any size passes through a few rows'
// memory, and the rows before a failure on the server arrive before it.
class PostgresRows : public StoredRows
{
public:
    // Prepares the statement and learns its columns; no row is read until
    // the first next(). The parameters are $1, $2, ... in
    // order, typed as the list says, whether or not the statement uses them.
    PostgresRows(PostgresConnection &database, const QString &sql,
                 const QList<nvtarnix::pushdown::Parameter> &parameters = {});
    ~PostgresRows() override;
    PostgresRows(const PostgresRows &) = delete;
    PostgresRows &operator=(const PostgresRows &) = delete;

    QStringList columnNames() const override;
    bool next() override;
    StoredValue value(int column, std::vector<char> &buffer) const override;

    // How each column's values become the engine's.
    const std::vector<PostgresType> &columnTypes() const { return m_types; }

private:
    void start();
    bool receive();
    PostgresType columnType(unsigned oid);

    PostgresConnection &m_database;
    QByteArray m_statement;
    QStringList m_names;
    std::vector<PostgresType> m_types;
    std::vector<QByteArray> m_parameterTexts;
    std::vector<bool> m_parameterIsNull;
    pg_result *m_row = nullptr;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace tarnixcli
