#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A PostgreSQL server of the test program's own: a cluster made with initdb
// in a temporary folder, listening on a Unix socket in that folder and on no
// network port, with fsync off (its data dies with the program anyway). It
// is made on first use, about two seconds, and stopped with pg_ctl when the
// program ends; parallel programs each have theirs.
//
// initdb refuses to run as root: as root, the cluster belongs to the
// `postgres` system user that Debian's server package creates, and the
// server runs as that user (runuser); as anyone else, as the caller. The
// newest server under /usr/lib/postgresql is used.
//
// Its databases are UTF-8 with the C.UTF-8 locale; PostgreSQL's ICU
// collations ("el-GR-x-icu", "und-x-icu", ...) are there to be named.

namespace testsupport {

class PostgresCluster
{
public:
    // The program's cluster, started when first asked for.
    static PostgresCluster &instance();

    ~PostgresCluster();
    PostgresCluster(const PostgresCluster &) = delete;
    PostgresCluster &operator=(const PostgresCluster &) = delete;

    // Why the server is not running (missing binaries, initdb or the start
    // failing, with the end of the server's log); empty when it runs.
    // Check it with QCOMPARE(cluster.failure(), QString()).
    const QString &failure() const { return m_failure; }

    // A libpq connection string for `database` as the superuser.
    QString conninfo(const QString &database = QStringLiteral("postgres")) const;

    // The folder that holds the server's socket.
    QString socketFolder() const;

    // Makes a new, empty database.
    QString createDatabase(const QString &database);

    // Runs the statements on `database` in order; the error of the first that
    // fails, naming it, or an empty text, as SqliteFile::run.
    QString run(const QString &database, const QStringList &statements) const;

private:
    PostgresCluster();
    QString start();

    QTemporaryDir m_folder;
    QString m_binaries;  // where initdb and pg_ctl are
    bool m_asPostgresUser = false;
    bool m_started = false;
    QString m_failure;
};

} // namespace testsupport
