#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace tarnixdemo {

// Raises the demo's numbered error `number`: `what` went wrong, and `detail`
// (the database's own message, when there is one) says why.
[[noreturn]] void raiseDemoError(int number, const QString &what, const QString &detail);

// One transaction on a database: each step runs, or the whole is rolled back
// (when the object goes) and raised as error `number`, described by `what`
// and the database's message.
class SqlTransaction
{
public:
    SqlTransaction(QSqlDatabase db, int number, QString what);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction &) = delete;
    SqlTransaction &operator=(const SqlTransaction &) = delete;

    // Prepares `sql`, to be run with run(); keep it inside this object's life.
    QSqlQuery prepare(const QString &sql);
    // Binds `values` in order and runs the query; the rows it changed.
    int run(QSqlQuery &query, const QVariantList &values = {});
    int run(const QString &sql, const QVariantList &values = {});
    void commit();

private:
    [[noreturn]] void failWith(QSqlQuery &query);

    QSqlDatabase m_db;
    int m_number;
    QString m_what;
    bool m_done = false;
};

} // namespace tarnixdemo
