#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace nvtarnix::rows {

// The host's connection opened anew for the calling thread: a QSqlDatabase
// belongs to the thread that opened it, and the host's stays with the host.
// Closed and removed when it goes.
class ConnectionClone
{
public:
    explicit ConnectionClone(const QString &hostConnection);
    ~ConnectionClone();
    ConnectionClone(const ConnectionClone &) = delete;
    ConnectionClone &operator=(const ConnectionClone &) = delete;

    // Whether it opened; else error() says why.
    bool isOpen() const { return m_database.isOpen(); }
    const QString &error() const { return m_error; }
    QSqlDatabase &database() { return m_database; }
    // SQLite's own handle, for a QSQLITE connection; else null.
    sqlite3 *sqliteHandle() const;

private:
    QString m_name;
    QSqlDatabase m_database;
    QString m_error;
};

} // namespace nvtarnix::rows
