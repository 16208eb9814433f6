#include "SqliteFile.h"

#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace testsupport {

namespace {

QString newConnectionName()
{
    static std::atomic<int> count{0};
    return QStringLiteral("testsupport-sqlite-%1").arg(++count);
}

} // namespace

SqliteFile::SqliteFile() : m_dir(std::in_place)
{
    open(m_dir->filePath(QStringLiteral("data.sqlite")));
}

SqliteFile::SqliteFile(const QString &path)
{
    open(path);
}

void SqliteFile::open(const QString &path)
{
    m_path = path;
    m_connection = newConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    if (!db.open())
        qFatal("cannot open the SQLite file %s: %s", qPrintable(m_path), qPrintable(db.lastError().text()));
}

SqliteFile::~SqliteFile()
{
    close();
}

QSqlDatabase SqliteFile::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QString SqliteFile::run(const QStringList &statements)
{
    QSqlQuery query(database());
    for (const QString &sql : statements) {
        if (!query.exec(sql))
            return QStringLiteral("%1: %2").arg(sql, query.lastError().text());
    }
    return QString();
}

void SqliteFile::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    database().close();
    QSqlDatabase::removeDatabase(m_connection);
}

ValueListDatabase::ValueListDatabase()
{
    const QString error = run({
        QStringLiteral("CREATE TABLE STATUS (CODE, DESCR TEXT, KIND INTEGER)"),
        QStringLiteral("INSERT INTO STATUS VALUES (30, 'Closed', 1)"),
        QStringLiteral("INSERT INTO STATUS VALUES ('12', 'Waiting', 1)"),
        QStringLiteral("INSERT INTO STATUS VALUES (3.5, 'Half open', 2)"),
        QStringLiteral("INSERT INTO STATUS VALUES (10, NULL, 1)"),
        QStringLiteral("INSERT INTO STATUS VALUES (2.5, 'Κλειστό', 2)"),
        QStringLiteral("INSERT INTO STATUS VALUES ('20', 'Open', 1)"),
        QStringLiteral("CREATE TABLE ODD (CODE, DESCR TEXT)"),
        QStringLiteral("INSERT INTO ODD VALUES ('abc', 'letters')"),
        QStringLiteral("INSERT INTO ODD VALUES (NULL, 'no code')"),
        QStringLiteral("INSERT INTO ODD VALUES (3000000000, 'too large')"),
    });
    if (!error.isEmpty())
        qFatal("cannot fill the value-list database: %s", qPrintable(error));
}

} // namespace testsupport
