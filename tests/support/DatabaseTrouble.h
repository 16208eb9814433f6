#pragma once

#include <QString>
#include <QVariant>

// What other programs do to a host's SQLite file while the host has it open:
// make it read-only, hold its write lock, or change it behind the host's back.

namespace testsupport {

// A database file that cannot be written for a while: its mode bits say
// read-only, or another program holds its write lock (readers go on,
// writers wait). It is writable again when the object goes.
class DatabaseTrouble
{
public:
    enum Kind { ReadOnly, Locked };

    DatabaseTrouble(Kind kind, QString path);
    ~DatabaseTrouble();
    DatabaseTrouble(const DatabaseTrouble &) = delete;
    DatabaseTrouble &operator=(const DatabaseTrouble &) = delete;

    // False with a message in error() when the trouble could not be made.
    bool begin();
    void end();
    QString error() const { return m_error; }

private:
    Kind m_kind;
    QString m_path;
    QString m_connection;
    QString m_error;
};

// Runs `sql` on the file as another program does, on a connection of its own
// that is closed again at once. Returns the first column of the first row, or
// the error as a text that starts with "error: ".
QVariant asOtherProgram(const QString &path, const QString &sql);

} // namespace testsupport
