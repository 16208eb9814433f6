#include "rows/ConnectionClone.h"

#include <QAtomicInteger>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

namespace nvtarnix::rows {

namespace {

QString cloneName()
{
    static QAtomicInteger<quint64> clones;
    return QStringLiteral("nvtarnix-rows-%1").arg(clones.fetchAndAddRelaxed(1));
}

} // namespace

ConnectionClone::ConnectionClone(const QString &hostConnection) : m_name(cloneName())
{
    // Both calls are safe from any thread; a connection the host has
    // removed gives an invalid clone.
    if (!QSqlDatabase::contains(hostConnection)) {
        m_error = QStringLiteral("no connection \"%1\"").arg(hostConnection);
        return;
    }
    m_database = QSqlDatabase::cloneDatabase(hostConnection, m_name);
    if (!m_database.isValid()) {
        m_error = QStringLiteral("the connection \"%1\" cannot be opened again").arg(hostConnection);
        return;
    }
    // The count only reads.
    if (m_database.driverName() == QLatin1String("QSQLITE")) {
        QString options = m_database.connectOptions();
        m_database.setConnectOptions(options.isEmpty() ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                                       : options + QStringLiteral(";QSQLITE_OPEN_READONLY"));
    }
    if (!m_database.open())
        m_error = m_database.lastError().text();
}

ConnectionClone::~ConnectionClone()
{
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

sqlite3 *ConnectionClone::sqliteHandle() const
{
    if (!m_database.isOpen() || !m_database.driver())
        return nullptr;
    const QVariant handle = m_database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace nvtarnix::rows
