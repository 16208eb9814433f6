#pragma once

// What the demo's window and database tests share: a bounded answer to a
// modal window, and the two troubles a database file meets, read-only and
// locked by another program.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace demotest {

// Runs `action` on the modal window named `name` once it shows. When none
// comes within 10 s, whatever modal window stands in the way is rejected so
// that the blocked call returns, and came() stays false: check it after the
// call that opened the window.
class Answer
{
public:
    Answer(QString name, std::function<void(QWidget *)> action)
        : m_state(std::make_shared<State>())
    {
        m_state->name = std::move(name);
        m_state->action = std::move(action);
        m_state->clock.start();
        poll(m_state);
    }

    bool came() const { return m_state->came; }
    QString missed() const { return QStringLiteral("%1 did not show").arg(m_state->name); }

private:
    struct State
    {
        QString name;
        std::function<void(QWidget *)> action;
        QElapsedTimer clock;
        bool came = false;
    };

    static void poll(const std::shared_ptr<State> &state)
    {
        QTimer::singleShot(20, [state] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() == state->name && w->isVisible()) {
                    state->came = true;
                    state->action(w);
                    return;
                }
            }
            if (state->clock.elapsed() < 10000)
                return poll(state);
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
    }

    std::shared_ptr<State> m_state;
};

// A database file that cannot be written for a while: its mode bits say
// read-only, or another program holds its write lock.
class Trouble
{
public:
    enum Kind { ReadOnly, Locked };

    Trouble(Kind kind, QString path) : m_kind(kind), m_path(std::move(path)) {}
    ~Trouble() { end(); }
    Trouble(const Trouble &) = delete;
    Trouble &operator=(const Trouble &) = delete;

    // False with a message in error() when the trouble could not be made.
    bool begin()
    {
        if (m_kind == ReadOnly)
            return QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        // Another program in the middle of its own write: readers go on,
        // writers wait.
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

    void end()
    {
        if (m_kind == ReadOnly) {
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ReadGroup);
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

    QString error() const { return m_error; }

private:
    Kind m_kind;
    QString m_path;
    QString m_connection;
    QString m_error;
};

// Runs SQL on the file as another program does, on a connection of its own.
// Returns the first column of the first row, or the error text as a string
// prefixed with "error: ".
inline QVariant otherProgram(const QString &path, const QString &sql)
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

} // namespace demotest
