#include "DatabaseTrouble.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace testsupport {

DatabaseTrouble::DatabaseTrouble(Kind kind, QString path) : m_kind(kind), m_path(std::move(path)) {}

DatabaseTrouble::~DatabaseTrouble()
{
    end();
}

bool DatabaseTrouble::begin()
{
    if (m_kind == ReadOnly)
        return QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    m_connection = QStringLiteral("trouble-%1").arg(quintptr(this));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    QSqlQuery q(db);
    if (!db.open() || !q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        m_error = q.lastError().text();
        return false;
    }
    return true;
}

void DatabaseTrouble::end()
{
    if (m_kind == ReadOnly) {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        return;
    }
    if (m_connection.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

QVariant asOtherProgram(const QString &path, const QString &sql)
{
    const QString name = QStringLiteral("other-program");
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (!db.open() || !q.exec(sql))
            result = QStringLiteral("error: ") + q.lastError().text();
        else if (q.next())
            result = q.value(0);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace testsupport
