#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// A real SQLite database, as hosts keep their data, open on a Qt SQL
// connection that belongs to this object alone and is removed with it.

namespace testsupport {

class SqliteFile
{
public:
    // A new database file in a temporary folder that goes with the object.
    SqliteFile();
    // The file at `path`, made when missing; the file outlives the object.
    explicit SqliteFile(const QString &path);
    ~SqliteFile();
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    QSqlDatabase database() const;
    QString path() const { return m_path; }

    // Runs the statements in order; the error of the first that fails, naming
    // it, or an empty text. Check it with QCOMPARE(file.run(...), QString()).
    QString run(const QStringList &statements);

    // Closes the connection and removes it, leaving the file to other programs.
    void close();

private:
    void open(const QString &path);

    std::optional<QTemporaryDir> m_dir;
    QString m_path;
    QString m_connection;
};

// The value lists that the value-list dialog and the editor read: STATUS, codes
// and descriptions in no particular order, whose untyped code column keeps
// numbers as numbers and numeric text as text, as hosts' databases do, with
// halves, a Null description and a Greek one; and ODD, codes that are no
// 32-bit number (letters, Null, 3000000000).
class ValueListDatabase : public SqliteFile
{
public:
    ValueListDatabase();
};

} // namespace testsupport
