#include "TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

TestDatabase::TestDatabase(const QString &connectionName) : m_connectionName(connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(m_dir.filePath(QStringLiteral("lists.sqlite")));
    if (!db.open())
        qFatal("cannot open the test database: %s", qPrintable(db.lastError().text()));

    QSqlQuery query(db);
    const auto run = [&](const QString &sql) {
        if (!query.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    };
    run(QStringLiteral("CREATE TABLE STATUS (CODE, DESCR TEXT, KIND INTEGER)"));
    run(QStringLiteral("INSERT INTO STATUS VALUES (30, 'Closed', 1)"));
    run(QStringLiteral("INSERT INTO STATUS VALUES ('12', 'Waiting', 1)"));
    run(QStringLiteral("INSERT INTO STATUS VALUES (3.5, 'Half open', 2)"));
    run(QStringLiteral("INSERT INTO STATUS VALUES (10, NULL, 1)"));
    run(QStringLiteral("INSERT INTO STATUS VALUES (2.5, 'Κλειστό', 2)"));
    run(QStringLiteral("INSERT INTO STATUS VALUES ('20', 'Open', 1)"));
    run(QStringLiteral("CREATE TABLE ODD (CODE, DESCR TEXT)"));
    run(QStringLiteral("INSERT INTO ODD VALUES ('abc', 'letters')"));
    run(QStringLiteral("INSERT INTO ODD VALUES (NULL, 'no code')"));
    run(QStringLiteral("INSERT INTO ODD VALUES (3000000000, 'too large')"));
}

TestDatabase::~TestDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase TestDatabase::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}
