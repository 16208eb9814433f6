#include "SqlTransaction.h"

#include "DemoDatabase.h"

#include <nvtarnix/Error.h>

#include <QSqlError>

namespace tarnixdemo {

void raiseDemoError(int number, const QString &what, const QString &detail)
{
    QString description = what;
    if (!detail.trimmed().isEmpty())
        description += QStringLiteral(": ") + detail.trimmed();
    throw nvtarnix::Error(number, QString::fromLatin1(DemoErrorSource), description);
}

SqlTransaction::SqlTransaction(QSqlDatabase db, int number, QString what)
    : m_db(std::move(db)), m_number(number), m_what(std::move(what))
{
    if (!m_db.transaction())
        raiseDemoError(m_number, m_what, m_db.lastError().text());
}

SqlTransaction::~SqlTransaction()
{
    if (!m_done)
        m_db.rollback();
}

QSqlQuery SqlTransaction::prepare(const QString &sql)
{
    QSqlQuery query(m_db);
    if (!query.prepare(sql))
        failWith(query);
    return query;
}

int SqlTransaction::run(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        failWith(query);
    return query.numRowsAffected();
}

int SqlTransaction::run(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = prepare(sql);
    return run(query, values);
}

void SqlTransaction::commit()
{
    if (!m_db.commit())
        raiseDemoError(m_number, m_what, m_db.lastError().text());
    m_done = true;
}

void SqlTransaction::failWith(QSqlQuery &query)
{
    const QString detail = query.lastError().text();
    // A query still open would keep the rollback from releasing its locks.
    query.finish();
    raiseDemoError(m_number, m_what, detail);
}

} // namespace tarnixdemo
