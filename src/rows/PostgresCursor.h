#pragma once

#include "rows/StatementRows.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace nvtarnix::rows {

// One statement's rows through a Qt Sql PostgreSQL connection (QPSQL), read
// through a server-side cursor a batch at a time, the batches growing from a
// few rows (a slow source still shows its first rows within a time limit)
// to thousands (a long read makes few round trips). QPSQL reads every row of
// a statement once it has begun, even one its reader has stopped reading;
// a count that stops early (the first rows shown, the time limit, a newer
// edit) must leave the rest on the server. Needs an open transaction (the
// count reads in one). Values come as QPSQL gives them, so the engine sees
// the same values whichever statement read them. Throws StatementFailure.
class PostgresCursor final : public StatementRows
{
public:
    PostgresCursor(QSqlDatabase &database, const QString &sql);
    ~PostgresCursor() override;
    PostgresCursor(const PostgresCursor &) = delete;
    PostgresCursor &operator=(const PostgresCursor &) = delete;

    bool next() override;
    QVariant value(int column) const override;

private:
    void fetch();
    [[noreturn]] void fail(const QSqlQuery &query) const;

    QSqlDatabase m_database;
    QSqlQuery m_query;
    QString m_name;
    int m_batch = 32;
    int m_read = 0;  // rows read of the current batch
};

// Whether a failure of `query` is PostgreSQL's statement timeout or a
// cancel (query_canceled), which the count set itself.
bool interruptedStatement(const QSqlQuery &query);

} // namespace nvtarnix::rows
