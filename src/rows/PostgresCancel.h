#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace nvtarnix::rows {

// Stops a PostgreSQL count inside its statement when a newer edit cancels
// it. The thread that counts waits in QPSQL for the statement's rows and
// cannot look at its cancel flag; a watcher beside it does, and once the
// flag is set asks the server, from a connection of its own opened like the
// count's, to cancel that backend's statement (pg_cancel_backend, which a
// role may do to its own sessions). The statement then fails with
// query_canceled and the count ends as cancelled, leaving the server as
// soon as it can instead of at its time limit.
//
// The watcher connects only when the flag is set: a count that is never
// cancelled costs no second connection.
class PostgresCancel
{
public:
    // `connectionName`: the count's connection, cloned for the request;
    // `backend`: its pg_backend_pid().
    PostgresCancel(const QString &connectionName, qint64 backend, const std::atomic_bool *cancel);
    ~PostgresCancel();
    PostgresCancel(const PostgresCancel &) = delete;
    PostgresCancel &operator=(const PostgresCancel &) = delete;

private:
    void watch();
    void cancelBackend() const;

    const QString m_connectionName;
    const qint64 m_backend;
    const std::atomic_bool *m_cancel;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace nvtarnix::rows
