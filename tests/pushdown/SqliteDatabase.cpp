#include "SqliteDatabase.h"

#include <sqlite3.h>

#include "vbscript/OleDate.h"

#include <QDate>
#include <QStringList>
#include <QVariant>

#include <stdexcept>

namespace pushdowntest {

using nvtarnix::pushdown::Binding;
using H = TableShape::Column::Holds;

namespace {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

void bindValue(sqlite3_stmt *s, int i, const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong: sqlite3_bind_int64(s, i, v.toLongLong()); break;
    case QMetaType::Double: sqlite3_bind_double(s, i, v.toDouble()); break;
    case QMetaType::QString: {
        const QByteArray b = v.toString().toUtf8();
        sqlite3_bind_text(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default: sqlite3_bind_null(s, i); break;
    }
}

} // namespace

SqliteDatabase::SqliteDatabase()
{
    if (sqlite3_open(":memory:", &m_db) != SQLITE_OK)
        throw std::runtime_error("cannot open an SQLite database in memory");
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close(m_db);
}

void SqliteDatabase::exec(const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error(text + " in " + sql.toStdString());
    }
}

std::vector<TableShape> SqliteDatabase::shapes()
{
    std::vector<TableShape> shapes;
    shapes.push_back({QStringLiteral("strict"),
                      {{QStringLiteral("n1"), QStringLiteral("INTEGER"), Binding::SqliteStrictInteger, H::Integers},
                       {QStringLiteral("n2"), QStringLiteral("INTEGER"), Binding::SqliteStrictInteger, H::Integers},
                       {QStringLiteral("r1"), QStringLiteral("REAL"), Binding::SqliteStrictReal, H::Reals},
                       {QStringLiteral("t1"), QStringLiteral("TEXT"), Binding::SqliteStrictText, H::Text},
                       {QStringLiteral("t2"), QStringLiteral("TEXT COLLATE NOCASE"), Binding::SqliteStrictText,
                        H::Text}},
                      true});
    shapes.push_back({QStringLiteral("declared"),
                      {{QStringLiteral("n1"), QStringLiteral("INTEGER"), Binding::SqliteStorageClass, H::Integers},
                       {QStringLiteral("n2"), QStringLiteral("NUMERIC"), Binding::SqliteStorageClass, H::Integers},
                       {QStringLiteral("r1"), QStringLiteral("REAL"), Binding::SqliteStorageClass, H::Reals},
                       {QStringLiteral("t1"), QStringLiteral("TEXT"), Binding::SqliteStorageClass, H::Text},
                       {QStringLiteral("t2"), QStringLiteral("VARCHAR(20) COLLATE NOCASE"),
                        Binding::SqliteStorageClass, H::Text}},
                      false});
    shapes.push_back({QStringLiteral("dirty"),
                      {{QStringLiteral("n1"), QStringLiteral("INTEGER"), Binding::SqliteStorageClass, H::Anything},
                       {QStringLiteral("n2"), QStringLiteral("NUMERIC"), Binding::SqliteStorageClass, H::Anything},
                       {QStringLiteral("r1"), QStringLiteral("REAL"), Binding::SqliteStorageClass, H::Anything},
                       {QStringLiteral("t1"), QStringLiteral("TEXT COLLATE NOCASE"), Binding::SqliteStorageClass,
                        H::Anything},
                       {QStringLiteral("t2"), QString(), Binding::SqliteStorageClass, H::Anything}},
                      false});
    // Dates as the demo keeps them: ISO text it hands over as dates, any
    // other value as it is.
    shapes.push_back({QStringLiteral("dates"),
                      {{QStringLiteral("n1"), QStringLiteral("INTEGER"), Binding::SqliteStorageClass, H::Integers},
                       {QStringLiteral("r1"), QStringLiteral("REAL"), Binding::SqliteStorageClass, H::Reals},
                       {QStringLiteral("t1"), QStringLiteral("TEXT"), Binding::SqliteStorageClass, H::Text},
                       {QStringLiteral("d1"), QStringLiteral("TEXT"), Binding::SqliteIsoDate, H::Dates},
                       {QStringLiteral("d2"), QStringLiteral("DATE COLLATE NOCASE"), Binding::SqliteIsoDate,
                        H::Dates}},
                      false});
    return shapes;
}

void SqliteDatabase::load(const TableShape &shape, const std::vector<StoredRow> &rows)
{
    m_shape = shape;
    exec(QStringLiteral("DROP TABLE IF EXISTS t"));
    QStringList columns, marks;
    for (const auto &c : shape.columns) {
        columns << (quoted(c.name) + QLatin1Char(' ') + c.declaration).trimmed();
        marks << QStringLiteral("?");
    }
    // STRICT tables take ANY for a column of no type; the others may not.
    exec(QStringLiteral("CREATE TABLE t(%1)%2").arg(columns.join(QLatin1String(", ")),
                                                    shape.strict ? QStringLiteral(" STRICT") : QString()));
    exec(QStringLiteral("BEGIN"));
    sqlite3_stmt *insert = nullptr;
    const QByteArray sql = QStringLiteral("INSERT INTO t VALUES (%1)").arg(marks.join(QLatin1String(", "))).toUtf8();
    sqlite3_prepare_v2(m_db, sql.constData(), -1, &insert, nullptr);
    for (const StoredRow &row : rows) {
        sqlite3_reset(insert);
        for (size_t i = 0; i < row.size(); ++i)
            bindValue(insert, int(i) + 1, row[i]);
        if (sqlite3_step(insert) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
    }
    sqlite3_finalize(insert);
    exec(QStringLiteral("COMMIT"));
}

std::vector<std::vector<vbscript::Variant>> SqliteDatabase::engineRows()
{
    // As tarnix apply binds SQLite's values: by storage class.
    std::vector<std::vector<vbscript::Variant>> rows;
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(m_db, "SELECT * FROM t ORDER BY rowid", -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        std::vector<vbscript::Variant> row;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            const int type = sqlite3_column_type(s, c);
            if (m_shape.columns[size_t(c)].binding == Binding::SqliteIsoDate
                && (type == SQLITE_TEXT || type == SQLITE_BLOB)) {
                // As the demo reads a date field: the value's text, taken as
                // an ISO date where it is one. (No number's text is.)
                const QString text = QString::fromUtf8(static_cast<const char *>(sqlite3_column_blob(s, c)),
                                                       sqlite3_column_bytes(s, c));
                const QDate date = QDate::fromString(text, Qt::ISODate);
                if (date.isValid()) {
                    row.push_back(vbscript::Variant::date(vbscript::OleDate::fromQDate(date)));
                    continue;
                }
            }
            switch (type) {
            case SQLITE_INTEGER: {
                const qint64 i = sqlite3_column_int64(s, c);
                row.push_back(i == qint32(i) ? vbscript::Variant(qint32(i)) : vbscript::Variant(double(i)));
                break;
            }
            case SQLITE_FLOAT: row.push_back(vbscript::Variant(sqlite3_column_double(s, c))); break;
            case SQLITE_TEXT:
            case SQLITE_BLOB: {
                const char *bytes = static_cast<const char *>(sqlite3_column_blob(s, c));
                row.push_back(vbscript::Variant(QString::fromUtf8(bytes, sqlite3_column_bytes(s, c))));
                break;
            }
            default: row.push_back(vbscript::Variant::null()); break;
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(s);
    return rows;
}

std::optional<std::vector<FetchedRow>> SqliteDatabase::fetch(const nvtarnix::pushdown::Translation &t,
                                                            QString &refusal)
{
    const QByteArray sql =
        QStringLiteral("SELECT rowid, (%1) IS TRUE FROM t WHERE %2").arg(t.flagged, t.where).toUtf8();
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &s, nullptr) != SQLITE_OK) {
        refusal = QString::fromUtf8(sqlite3_errmsg(m_db));
        return std::nullopt;
    }
    for (qsizetype i = 0; i < t.parameters.size(); ++i) {
        const auto &p = t.parameters[i];
        switch (p.type) {
        case nvtarnix::pushdown::Parameter::Type::Integer: sqlite3_bind_int64(s, int(i) + 1, p.value.toLongLong()); break;
        case nvtarnix::pushdown::Parameter::Type::Real: sqlite3_bind_double(s, int(i) + 1, p.value.toDouble()); break;
        case nvtarnix::pushdown::Parameter::Type::Text: {
            const QByteArray b = p.value.toString().toUtf8();
            sqlite3_bind_text(s, int(i) + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    std::vector<FetchedRow> rows;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        rows.push_back({int(sqlite3_column_int64(s, 0)) - 1, sqlite3_column_int(s, 1) != 0});
    if (rc != SQLITE_DONE) {
        refusal = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(s);
        return std::nullopt;
    }
    sqlite3_finalize(s);
    return rows;
}

} // namespace pushdowntest
