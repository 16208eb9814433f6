#include "SqliteRows.h"

#include <QScopeGuard>

#include <nvtarnix/Error.h>
#include <nvtarnix/Recordset.h>

#include <QFileInfo>

#include <sqlite3.h>

#include <cstring>

namespace tarnixcli {

namespace {

using nvtarnix::errors::FileAccess;
using nvtarnix::errors::FileNotFound;
using nvtarnix::errors::DatabaseLocked;

[[noreturn]] void raise(int number, const QString &description)
{
    throw nvtarnix::Error(number, QStringLiteral("tarnix"), description);
}

// A file that is fine but cannot be read now: another program holds it
// locked, or a write that ended midway left a journal that must be rolled
// back first, which a read-only reader may not do. Either is the file's
// state, not its kind, and is said so, with a number of its own. Other
// failures are raised by the caller.
void raiseIfLocked(int code, const QString &path, const QString &message)
{
    if (code == SQLITE_READONLY_ROLLBACK)
        raise(DatabaseLocked, QStringLiteral("%1 has an unfinished write (a hot journal) that only a program "
                                             "allowed to write it can roll back; open it once with write "
                                             "access: %2")
                                  .arg(path, message));
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        raise(DatabaseLocked,
              QStringLiteral("%1 is locked by another program; try again when it is done: %2").arg(path, message));
}

QString fromSqlite(const char *text)
{
    return QString::fromUtf8(text ? text : "");
}

// One statement, finalized when it goes out of scope.
struct Prepared
{
    sqlite3_stmt *statement = nullptr;
    ~Prepared() { sqlite3_finalize(statement); }
};

} // namespace

QString quotedIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

SqliteFile::SqliteFile(const QString &path) : m_path(path)
{
    const QFileInfo info(path);
    if (!info.exists())
        raise(FileNotFound, QStringLiteral("File not found: %1").arg(path));
    if (!info.isFile() || !info.isReadable())
        raise(FileAccess, QStringLiteral("Path/File access error: %1 is not a readable file").arg(path));

    // Read-only: a rule never writes. Only the reading thread touches the
    // connection, so SQLite's own locking is not needed.
    const int opened = sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    QString message;
    int failure = opened;
    if (opened == SQLITE_OK) {
        sqlite3_extended_result_codes(m_db, 1);
        // Another program writing the file holds it only briefly.
        sqlite3_busy_timeout(m_db, 5000);
        // SQLite reads the file's header on the first statement, not on open.
        Prepared probe;
        int status = sqlite3_prepare_v2(m_db, "SELECT 1 FROM sqlite_master LIMIT 1", -1,
                                        &probe.statement, nullptr);
        if (status == SQLITE_OK)
            status = sqlite3_step(probe.statement);
        if (status == SQLITE_ROW || status == SQLITE_DONE)
            return;
        failure = sqlite3_extended_errcode(m_db);
        message = lastMessage();
    } else {
        message = lastMessage();
    }
    sqlite3_close(m_db);
    m_db = nullptr;
    raiseIfLocked(failure, path, message);
    raise(nvtarnix::Recordset::ConnectionInvalid,
          QStringLiteral("%1 is not an SQLite database: %2").arg(path, message));
}

SqliteFile::~SqliteFile()
{
    sqlite3_close(m_db);
}

SqliteFile::Relation SqliteFile::relation(const QString &name) const
{
    Prepared query;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT type FROM sqlite_master WHERE type IN ('table', 'view') "
                           "AND name = ?1 COLLATE NOCASE",
                           -1, &query.statement, nullptr)
        != SQLITE_OK)
        raise(nvtarnix::Recordset::CommandFailed, QStringLiteral("%1: %2").arg(m_path, lastMessage()));
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(query.statement, 1, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    switch (sqlite3_step(query.statement)) {
    case SQLITE_ROW:
        return std::strcmp(reinterpret_cast<const char *>(sqlite3_column_text(query.statement, 0)),
                           "view") == 0
                   ? Relation::View
                   : Relation::Table;
    case SQLITE_DONE:
        return Relation::None;
    default:
        raise(nvtarnix::Recordset::CommandFailed, QStringLiteral("%1: %2").arg(m_path, lastMessage()));
    }
}

QString SqliteFile::lastMessage() const
{
    return fromSqlite(sqlite3_errmsg(m_db));
}

SqliteRows::SqliteRows(const SqliteFile &file, const QString &sql) : m_file(file)
{
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(file.handle(), utf8.constData(), int(utf8.size()), &m_statement, &tail)
        != SQLITE_OK) {
        raiseIfLocked(sqlite3_extended_errcode(file.handle()), file.path(), file.lastMessage());
        raise(nvtarnix::Recordset::CommandFailed,
              QStringLiteral("%1: %2").arg(file.path(), file.lastMessage()));
    }
    if (!m_statement)
        raise(nvtarnix::Recordset::ObjectClosed,
              QStringLiteral("Operation is not allowed when the object is closed. (%1: the query "
                             "is empty)")
                  .arg(file.path()));

    // A constructor that throws runs no destructor: the statement is released
    // here, or the file could not be closed and its memory would stay behind.
    auto release = qScopeGuard([this] {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    });

    // What follows the statement may only be blanks and comments: a second
    // statement would silently go unread.
    const char *end = utf8.constData() + utf8.size();
    while (tail && tail < end) {
        Prepared rest;
        if (sqlite3_prepare_v2(file.handle(), tail, int(end - tail), &rest.statement, &tail) != SQLITE_OK
            || rest.statement)
            raise(nvtarnix::Recordset::CommandFailed,
                  QStringLiteral("%1: one statement expected in the query").arg(file.path()));
    }
    if (sqlite3_column_count(m_statement) == 0)
        raise(nvtarnix::Recordset::ObjectClosed,
              QStringLiteral("Operation is not allowed when the object is closed. (%1: the query "
                             "returns no rows)")
                  .arg(file.path()));
    release.dismiss();
}

SqliteRows::~SqliteRows()
{
    sqlite3_finalize(m_statement);
}

QStringList SqliteRows::columnNames() const
{
    QStringList names;
    const int count = sqlite3_column_count(m_statement);
    for (int i = 0; i < count; ++i)
        names << fromSqlite(sqlite3_column_name(m_statement, i));
    return names;
}

void SqliteRows::bind(const QList<nvtarnix::pushdown::Parameter> &parameters)
{
    using Type = nvtarnix::pushdown::Parameter::Type;
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const auto &p = parameters[i];
        const int n = int(i) + 1;
        switch (p.type) {
        case Type::Integer: sqlite3_bind_int64(m_statement, n, p.value.toLongLong()); break;
        case Type::Real: sqlite3_bind_double(m_statement, n, p.value.toDouble()); break;
        case Type::Text: {
            const QByteArray utf8 = p.value.toString().toUtf8();
            sqlite3_bind_text(m_statement, n, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
}

bool SqliteRows::next()
{
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW: return true;
    case SQLITE_DONE: return false;
    default:
        raiseIfLocked(sqlite3_extended_errcode(m_file.handle()), m_file.path(), m_file.lastMessage());
        raise(nvtarnix::Recordset::CommandFailed,
              QStringLiteral("%1: %2").arg(m_file.path(), m_file.lastMessage()));
    }
}

StoredValue SqliteRows::value(int column, std::vector<char> &buffer) const
{
    // The column's value object answers without the statement's checks that
    // every sqlite3_column_* call repeats.
    sqlite3_value *stored = sqlite3_column_value(m_statement, column);
    StoredValue value;
    switch (sqlite3_value_type(stored)) {
    case SQLITE_INTEGER:
        value.kind = StoredValue::Kind::Integer;
        value.integer = sqlite3_value_int64(stored);
        break;
    case SQLITE_FLOAT:
        value.kind = StoredValue::Kind::Real;
        value.real = sqlite3_value_double(stored);
        break;
    case SQLITE_TEXT: {
        // The pointer first, then the size: that is the order SQLite asks for.
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(stored));
        value = StoredValue::withBytes(StoredValue::Kind::Text, bytes, sqlite3_value_bytes(stored), buffer);
        break;
    }
    case SQLITE_BLOB: {
        const auto *bytes = static_cast<const char *>(sqlite3_value_blob(stored));
        value = StoredValue::withBytes(StoredValue::Kind::Blob, bytes, sqlite3_value_bytes(stored), buffer);
        break;
    }
    default:
        break;
    }
    return value;
}

} // namespace tarnixcli
