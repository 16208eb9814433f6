#include "rows/PostgresCancel.h"

#include <QAtomicInteger>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <chrono>

namespace nvtarnix::rows {

PostgresCancel::PostgresCancel(const QString &connectionName, qint64 backend, const std::atomic_bool *cancel)
    : m_connectionName(connectionName), m_backend(backend), m_cancel(cancel)
{
    if (m_cancel && m_backend > 0)
        m_thread = std::thread([this] { watch(); });
}

PostgresCancel::~PostgresCancel()
{
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PostgresCancel::watch()
{
    std::unique_lock lock(m_mutex);
    // The flag is a plain atomic that nobody signals: it is looked at often
    // enough that a cancelled count leaves within a frame or two.
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_finished; })) {
        if (m_cancel->load()) {
            lock.unlock();
            cancelBackend();
            return;
        }
    }
}

void PostgresCancel::cancelBackend() const
{
    static QAtomicInteger<quint64> requests;
    const QString name = QStringLiteral("nvtarnix-rows-cancel-%1").arg(requests.fetchAndAddRelaxed(1));
    {
        // Safe from any thread: the clone is made by the connection's name.
        QSqlDatabase db = QSqlDatabase::cloneDatabase(m_connectionName, name);
        if (db.open()) {
            QSqlQuery query(db);
            query.prepare(QStringLiteral("SELECT pg_cancel_backend(?)"));
            query.addBindValue(m_backend);
            query.exec();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace nvtarnix::rows
