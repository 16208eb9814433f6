#include "rows/SqliteStatement.h"

#include <sqlite3.h>

namespace nvtarnix::rows {

SqliteStatement::SqliteStatement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    const int code = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr);
    if (code != SQLITE_OK)
        fail(code);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::fail(int code) const
{
    throw StatementFailure{QString::fromUtf8(sqlite3_errmsg(m_db)), code == SQLITE_INTERRUPT};
}

void SqliteStatement::bind(const QList<pushdown::Parameter> &parameters)
{
    for (int i = 0; i < parameters.size(); ++i) {
        const pushdown::Parameter &p = parameters[i];
        int code = SQLITE_OK;
        switch (p.type) {
        case pushdown::Parameter::Type::Integer:
            code = sqlite3_bind_int64(m_statement, i + 1, p.value.toLongLong());
            break;
        case pushdown::Parameter::Type::Real:
            code = sqlite3_bind_double(m_statement, i + 1, p.value.toDouble());
            break;
        case pushdown::Parameter::Type::Text: {
            const QByteArray text = p.value.toString().toUtf8();
            code = sqlite3_bind_text(m_statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
        // A parameter the statement does not use is out of its range: it
        // is in the other half of the translation.
        if (code != SQLITE_OK && code != SQLITE_RANGE)
            fail(code);
    }
}

bool SqliteStatement::next()
{
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    fail(code);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QVariant SqliteStatement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)));
    }
    case SQLITE_BLOB: {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
        return QVariant(QByteArray(bytes, sqlite3_column_bytes(m_statement, column)));
    }
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

} // namespace nvtarnix::rows
