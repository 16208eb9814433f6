#pragma once

#include "rows/StatementRows.h"

#include <nvtarnix/PushDown.h>

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace nvtarnix::rows {

// One statement through SQLite's own interface: the push-down's parameters
// are numbered (?1, ?2, ...) and typed, which Qt's placeholders would not
// keep. Values come out as QtSql's QSQLITE driver gives them, so the engine
// sees the same values either way. Throws StatementFailure.
class SqliteStatement final : public StatementRows
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    void bind(const QList<pushdown::Parameter> &parameters);
    // Steps to the next row; false at the end.
    bool next() override;
    int columnCount() const;
    QString columnName(int column) const;
    // NULL is a null QVariant, INTEGER a qint64, REAL a double, TEXT a
    // QString, BLOB a QByteArray.
    QVariant value(int column) const override;

private:
    [[noreturn]] void fail(int code) const;

    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

} // namespace nvtarnix::rows
