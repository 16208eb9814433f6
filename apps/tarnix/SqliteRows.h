#pragma once

#include "StoredRows.h"

#include <nvtarnix/PushDown.h>

#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

namespace tarnixcli {

// An SQLite file opened read-only through SQLite's own C API, which hands each
// value over as it is stored, without the QVariant per value that QtSql makes:
// over a million rows that difference is most of the run.
//
// Failures are nvtarnix::Error with the numbers the value lists' files use
// (nvtarnix::Recordset's, as ADO raises them), each naming the file:
//   53  no such file
//   75  a path that is not a readable file
//   3709  a file that is not an SQLite database
//   3730  a file another program holds locked past the wait, or one left
//         with an unfinished write (a hot journal) that only a writer can
//         roll back
//   3265  a table or view the file does not have
//   3704  a query that returns no rows (a command)
//   -2147217900  a statement the database refuses, or fails to run
class SqliteFile
{
public:
    explicit SqliteFile(const QString &path);
    ~SqliteFile();
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    const QString &path() const { return m_path; }
    sqlite3 *handle() const { return m_db; }

    // What `name` is in the file, compared without regard to case as SQL
    // compares identifiers.
    enum class Relation { None, Table, View };
    Relation relation(const QString &name) const;

    // SQLite's message about the last failure on this connection.
    QString lastMessage() const;

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
};

// The rows of one SELECT statement, read forward once. SQLite's storage
// classes are the stored kinds of the same names: NULL, INTEGER, REAL, TEXT,
// BLOB (StoredValue.h says what the engine makes of each).
class SqliteRows : public StoredRows
{
public:
    SqliteRows(const SqliteFile &file, const QString &sql);
    ~SqliteRows() override;
    SqliteRows(const SqliteRows &) = delete;
    SqliteRows &operator=(const SqliteRows &) = delete;

    // Binds ?1, ?2, ... to the parameters, in order, as their types say.
    void bind(const QList<nvtarnix::pushdown::Parameter> &parameters);

    QStringList columnNames() const override;
    bool next() override;
    StoredValue value(int column, std::vector<char> &buffer) const override;

private:
    const SqliteFile &m_file;
    sqlite3_stmt *m_statement = nullptr;
};

// Quotes an SQL identifier: "name", with quotes inside doubled.
QString quotedIdentifier(const QString &name);

} // namespace tarnixcli
