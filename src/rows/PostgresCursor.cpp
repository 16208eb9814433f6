#include "rows/PostgresCursor.h"

#include <QAtomicInteger>
#include <QSqlError>

#include <algorithm>

namespace nvtarnix::rows {

namespace {

QString cursorName()
{
    static QAtomicInteger<quint64> cursors;
    return QStringLiteral("nvtarnix_cursor_%1").arg(cursors.fetchAndAddRelaxed(1));
}

} // namespace

bool interruptedStatement(const QSqlQuery &query)
{
    return query.lastError().nativeErrorCode() == QLatin1String("57014");
}

PostgresCursor::PostgresCursor(QSqlDatabase &database, const QString &sql)
    : m_database(database), m_query(database), m_name(cursorName())
{
    m_query.setForwardOnly(true);
    if (!m_query.exec(QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR %2").arg(m_name, sql)))
        fail(m_query);
    fetch();
}

PostgresCursor::~PostgresCursor()
{
    // In a transaction a failure has ended, the cursor went with it.
    QSqlQuery close(m_database);
    close.exec(QStringLiteral("CLOSE %1").arg(m_name));
}

void PostgresCursor::fail(const QSqlQuery &query) const
{
    throw StatementFailure{query.lastError().text(), interruptedStatement(query)};
}

void PostgresCursor::fetch()
{
    if (!m_query.exec(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(m_batch).arg(m_name)))
        fail(m_query);
    m_read = 0;
}

bool PostgresCursor::next()
{
    for (;;) {
        if (m_query.next()) {
            ++m_read;
            return true;
        }
        if (m_query.lastError().isValid())
            fail(m_query);
        if (m_read < m_batch)
            return false;
        m_batch = std::min(m_batch * 2, 8192);
        fetch();
    }
}

QVariant PostgresCursor::value(int column) const
{
    return m_query.value(column);
}

} // namespace nvtarnix::rows
