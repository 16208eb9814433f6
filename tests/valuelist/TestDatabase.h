#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

// A real SQLite file holding the value lists the tests read: STATUS, a table
// of codes and descriptions in no particular order, whose untyped code column
// keeps numbers as numbers and numeric text as text, as hosts' databases do.
class TestDatabase
{
public:
    explicit TestDatabase(const QString &connectionName);
    ~TestDatabase();

    QSqlDatabase database() const;

private:
    QTemporaryDir m_dir;
    QString m_connectionName;
};
