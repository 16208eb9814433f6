#include "PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QVersionNumber>

#include <libpq-fe.h>

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char **environ;

namespace testsupport {

namespace {

// The newest server's binaries: /usr/lib/postgresql/<version>/bin.
QString newestBinaries()
{
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QString best;
    QVersionNumber bestVersion;
    for (const QString &entry : versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber version = QVersionNumber::fromString(entry);
        const QString bin = versions.filePath(entry + QStringLiteral("/bin"));
        if (!version.isNull() && QFile::exists(bin + QStringLiteral("/initdb")) && version > bestVersion) {
            best = bin;
            bestVersion = version;
        }
    }
    return best;
}

// Runs a program to its end, its output appended to `log`; its exit status,
// or -1 when it could not run. Plain POSIX rather than QProcess: the server
// is also stopped while the program ends, when Qt may be gone.
int runProgram(const QStringList &arguments, const QString &log)
{
    std::vector<QByteArray> bytes;
    for (const QString &argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray logPath = log.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 1, logPath.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QString tail(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray all = file.readAll();
    return QString::fromLocal8Bit(all.right(2000));
}

// A value in a libpq connection string: quoted, with quotes and
// backslashes escaped.
QString conninfoValue(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

} // namespace

PostgresCluster &PostgresCluster::instance()
{
    static PostgresCluster cluster;
    return cluster;
}

// /tmp rather than the program's temporary folder: the server's user must
// reach the folder, and a socket's path must stay short.
PostgresCluster::PostgresCluster() : m_folder(QStringLiteral("/tmp/nvtarnix-pg-XXXXXX"))
{
    m_failure = start();
}

QString PostgresCluster::start()
{
    if (!m_folder.isValid())
        return QStringLiteral("cannot make a temporary folder: %1").arg(m_folder.errorString());
    m_binaries = newestBinaries();
    if (m_binaries.isEmpty())
        return QStringLiteral("no PostgreSQL server under /usr/lib/postgresql: run scripts/install-deps.sh");

    QStringList asUser;
    if (::geteuid() == 0) {
        const passwd *postgres = ::getpwnam("postgres");
        if (!postgres)
            return QStringLiteral("running as root, but there is no postgres user to run the server");
        if (::chown(QFile::encodeName(m_folder.path()).constData(), postgres->pw_uid, postgres->pw_gid) != 0)
            return QStringLiteral("cannot give %1 to the postgres user").arg(m_folder.path());
        asUser = {QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")};
        m_asPostgresUser = true;
    }

    const QString data = m_folder.filePath(QStringLiteral("data"));
    const QString log = m_folder.filePath(QStringLiteral("setup.log"));
    if (runProgram(asUser
                       + QStringList{m_binaries + QStringLiteral("/initdb"), QStringLiteral("-D"), data,
                                     QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-A"),
                                     QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                     QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync"),
                                     QStringLiteral("--no-instructions")},
                   log)
        != 0)
        return QStringLiteral("initdb failed: %1").arg(tail(log));

    const QString serverOptions = QStringLiteral("-k %1 -c listen_addresses='' -c fsync=off "
                                                 "-c full_page_writes=off -c synchronous_commit=off")
                                      .arg(socketFolder());
    if (runProgram(asUser
                       + QStringList{m_binaries + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), data,
                                     QStringLiteral("-l"), m_folder.filePath(QStringLiteral("server.log")),
                                     QStringLiteral("-o"), serverOptions, QStringLiteral("-w"),
                                     QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
                   log)
        != 0)
        return QStringLiteral("the server did not start: %1\n%2")
            .arg(tail(log), tail(m_folder.filePath(QStringLiteral("server.log"))));
    m_started = true;
    return QString();
}

PostgresCluster::~PostgresCluster()
{
    if (!m_started)
        return;
    QStringList stop{m_binaries + QStringLiteral("/pg_ctl"), QStringLiteral("-D"),
                     m_folder.filePath(QStringLiteral("data")), QStringLiteral("-m"),
                     QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")};
    if (m_asPostgresUser)
        stop = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"),
                           QStringLiteral("--")}
               + stop;
    runProgram(stop, m_folder.filePath(QStringLiteral("setup.log")));
}

QString PostgresCluster::socketFolder() const
{
    return m_folder.path();
}

QString PostgresCluster::conninfo(const QString &database) const
{
    return QStringLiteral("host=%1 user=postgres dbname=%2")
        .arg(conninfoValue(socketFolder()), conninfoValue(database));
}

QString PostgresCluster::createDatabase(const QString &database)
{
    QString quoted = database;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return run(QStringLiteral("postgres"), {QStringLiteral("CREATE DATABASE \"%1\"").arg(quoted)});
}

QString PostgresCluster::run(const QString &database, const QStringList &statements) const
{
    if (!m_failure.isEmpty())
        return m_failure;
    PGconn *connection = PQconnectdb(conninfo(database).toUtf8().constData());
    QString failure;
    if (PQstatus(connection) != CONNECTION_OK)
        failure = QString::fromUtf8(PQerrorMessage(connection));
    for (const QString &statement : statements) {
        if (!failure.isEmpty())
            break;
        PGresult *result = PQexec(connection, statement.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            failure = QStringLiteral("%1: %2").arg(statement, QString::fromUtf8(PQresultErrorMessage(result)));
        PQclear(result);
    }
    PQfinish(connection);
    return failure;
}

} // namespace testsupport
