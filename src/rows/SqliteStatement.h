#pragma once

#include <nvtarnix/PushDown.h>

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace nvtarnix::rows {

// What SQLite refused or stopped: its message, and whether the count
// interrupted it (the progress handler).
struct SqliteFailure
{
    QString message;
    bool interrupted = false;
};

// One statement through SQLite's own interface: the push-down's parameters
// are numbered (?1, ?2, ...) and typed, which Qt's placeholders would not
// keep. Values come out as QtSql's QSQLITE driver gives them, so the engine
// sees the same values either way. Throws SqliteFailure.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    void bind(const QList<pushdown::Parameter> &parameters);
    // Steps to the next row; false at the end.
    bool next();
    int columnCount() const;
    QString columnName(int column) const;
    // NULL is a null QVariant, INTEGER a qint64, REAL a double, TEXT a
    // QString, BLOB a QByteArray.
    QVariant value(int column) const;

private:
    [[noreturn]] void fail(int code) const;

    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

} // namespace nvtarnix::rows
