#include "PostgresDatabase.h"

#include "PostgresCluster.h"
#include "PostgresValue.h"

#include <QStringList>

#include <libpq-fe.h>

#include <cmath>
#include <stdexcept>

namespace pushdowntest {

using nvtarnix::pushdown::Binding;
using H = TableShape::Column::Holds;

namespace {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// A value as text for libpq; nullopt for NULL.
std::optional<QByteArray> parameterText(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong: return QByteArray::number(v.toLongLong());
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (std::isinf(d))
            return QByteArray(d > 0 ? "Infinity" : "-Infinity");
        return QByteArray::number(d, 'g', 17);
    }
    case QMetaType::QString: return v.toString().toUtf8();
    case QMetaType::QByteArray: return v.toByteArray();
    default: return std::nullopt;
    }
}

// Whether a column of `binding` can hold `v`; what it cannot is stored as
// NULL (the server would refuse the row).
bool fits(Binding binding, const QVariant &v)
{
    if (binding == Binding::PgDate || binding == Binding::PgTimestamp || binding == Binding::PgTimestampTz) {
        const QString text = v.toString();
        return v.typeId() == QMetaType::QString && validDateTexts().contains(text)
               && (binding != Binding::PgDate || !text.contains(QLatin1Char(':')));
    }
    if (v.typeId() == QMetaType::LongLong) {
        const qint64 n = v.toLongLong();
        return binding == Binding::PgInt2 ? n >= -32768 && n <= 32767
               : binding == Binding::PgInt4 ? n >= -2147483648LL && n <= 2147483647LL
                                            : true;
    }
    if (v.typeId() == QMetaType::Double && binding == Binding::PgFloat4) {
        const double d = std::fabs(v.toDouble());
        return std::isinf(d) || d == 0 || (d <= 3.4028234e38 && d >= 1.2e-38);
    }
    return true;
}

// The reader's session: the text values come in, and the zone.
constexpr const char *ReaderSettings = "SET DateStyle = 'ISO, YMD'; SET TimeZone = 'UTC'; "
                                       "SET extra_float_digits = 1; SET bytea_output = 'hex'";

} // namespace

PostgresDatabase::PostgresDatabase()
{
    auto &cluster = testsupport::PostgresCluster::instance();
    if (!cluster.failure().isEmpty())
        throw std::runtime_error(cluster.failure().toStdString());
    static const bool created = cluster.createDatabase(QStringLiteral("differential")).isEmpty();
    if (!created)
        throw std::runtime_error("cannot make the differential database");
    m_connection = PQconnectdb(cluster.conninfo(QStringLiteral("differential")).toUtf8().constData());
    if (PQstatus(m_connection) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(m_connection));
    exec(QString::fromLatin1(ReaderSettings));
    // Dropping a table that is not there yet is no news.
    exec(QStringLiteral("SET client_min_messages = warning"));
}

PostgresDatabase::~PostgresDatabase()
{
    PQfinish(m_connection);
}

void PostgresDatabase::exec(const QString &sql)
{
    PGresult *result = PQexec(m_connection, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(result);
    const std::string message = PQresultErrorMessage(result);
    PQclear(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(message + " in " + sql.toStdString());
}

std::vector<TableShape> PostgresDatabase::shapes()
{
    std::vector<TableShape> shapes;
    shapes.push_back({QStringLiteral("pg-wide"),
                      {{QStringLiteral("n1"), QStringLiteral("int8"), Binding::PgInt8, H::Integers},
                       {QStringLiteral("n2"), QStringLiteral("float8"), Binding::PgFloat8, H::Reals},
                       {QStringLiteral("r1"), QStringLiteral("float8"), Binding::PgFloat8, H::Reals},
                       {QStringLiteral("t1"), QStringLiteral("text COLLATE \"C\""), Binding::PgText, H::Text},
                       {QStringLiteral("t2"), QStringLiteral("text COLLATE \"el-GR-x-icu\""), Binding::PgText,
                        H::Text}},
                      true});
    shapes.push_back({QStringLiteral("pg-exact"),
                      {{QStringLiteral("n1"), QStringLiteral("numeric"), Binding::PgNumeric, H::Integers},
                       {QStringLiteral("n2"), QStringLiteral("int8"), Binding::PgInt8, H::Integers},
                       {QStringLiteral("r1"), QStringLiteral("numeric"), Binding::PgNumeric, H::Reals},
                       {QStringLiteral("t1"), QStringLiteral("varchar(20) COLLATE \"und-x-icu\""), Binding::PgText,
                        H::Text},
                       {QStringLiteral("t2"), QStringLiteral("char(12)"), Binding::PgText, H::Text}},
                      true});
    shapes.push_back({QStringLiteral("pg-narrow"),
                      {{QStringLiteral("n1"), QStringLiteral("int2"), Binding::PgInt2, H::Integers},
                       {QStringLiteral("n2"), QStringLiteral("int4"), Binding::PgInt4, H::Integers},
                       {QStringLiteral("r1"), QStringLiteral("float4"), Binding::PgFloat4, H::Reals},
                       {QStringLiteral("t1"), QStringLiteral("text COLLATE \"el-GR-x-icu\""), Binding::PgText,
                        H::Text},
                       {QStringLiteral("t2"), QStringLiteral("varchar(40) COLLATE \"C\""), Binding::PgText,
                        H::Text}},
                      true});
    shapes.push_back({QStringLiteral("pg-dates"),
                      {{QStringLiteral("n1"), QStringLiteral("int4"), Binding::PgInt4, H::Integers},
                       {QStringLiteral("r1"), QStringLiteral("float8"), Binding::PgFloat8, H::Reals},
                       {QStringLiteral("t1"), QStringLiteral("text COLLATE \"C\""), Binding::PgText, H::Text},
                       {QStringLiteral("d1"), QStringLiteral("date"), Binding::PgDate, H::Dates},
                       {QStringLiteral("d2"), QStringLiteral("timestamp"), Binding::PgTimestamp, H::Dates},
                       {QStringLiteral("d3"), QStringLiteral("timestamptz"), Binding::PgTimestampTz, H::Dates}},
                      true});
    return shapes;
}

void PostgresDatabase::load(const TableShape &shape, const std::vector<StoredRow> &rows)
{
    m_shape = shape;
    exec(QStringLiteral("DROP TABLE IF EXISTS t"));
    QStringList columns{QStringLiteral("row_number int4")}, marks{QStringLiteral("$1")};
    for (const auto &c : shape.columns) {
        columns << quoted(c.name) + QLatin1Char(' ') + c.declaration;
        marks << QStringLiteral("$%1").arg(marks.size() + 1);
    }
    exec(QStringLiteral("CREATE TABLE t (%1)").arg(columns.join(QLatin1String(", "))));
    exec(QStringLiteral("BEGIN"));
    const QByteArray insert =
        QStringLiteral("INSERT INTO t VALUES (%1)").arg(marks.join(QLatin1String(", "))).toUtf8();
    for (size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::optional<QByteArray>> texts{QByteArray::number(qint64(r))};
        for (size_t c = 0; c < rows[r].size(); ++c) {
            texts.push_back(fits(shape.columns[c].binding, rows[r][c]) ? parameterText(rows[r][c]) : std::nullopt);
        }
        std::vector<const char *> values;
        for (const auto &t : texts)
            values.push_back(t ? t->constData() : nullptr);
        PGresult *result = PQexecParams(m_connection, insert.constData(), int(values.size()), nullptr,
                                        values.data(), nullptr, nullptr, 0);
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        const std::string message = PQresultErrorMessage(result);
        PQclear(result);
        if (!ok)
            throw std::runtime_error(message);
    }
    exec(QStringLiteral("COMMIT"));
}

std::vector<std::vector<vbscript::Variant>> PostgresDatabase::engineRows()
{
    QStringList columns;
    for (const auto &c : m_shape.columns)
        columns << quoted(c.name);
    PGresult *result = PQexec(m_connection, QStringLiteral("SELECT %1 FROM t ORDER BY row_number")
                                                .arg(columns.join(QLatin1String(", ")))
                                                .toUtf8()
                                                .constData());
    std::vector<std::vector<vbscript::Variant>> rows;
    std::vector<char> bytes;
    for (int r = 0; r < PQntuples(result); ++r) {
        std::vector<vbscript::Variant> row;
        for (int c = 0; c < PQnfields(result); ++c) {
            bytes.clear();
            const tarnixcli::StoredValue value =
                PQgetisnull(result, r, c)
                    ? tarnixcli::StoredValue()
                    : tarnixcli::storedValue(tarnixcli::postgresType(PQftype(result, c)), PQgetvalue(result, r, c),
                                             PQgetlength(result, r, c), bytes);
            row.push_back(tarnixcli::engineValue(value, bytes));
        }
        rows.push_back(std::move(row));
    }
    PQclear(result);
    return rows;
}

std::optional<std::vector<FetchedRow>> PostgresDatabase::fetch(const nvtarnix::pushdown::Translation &t,
                                                              QString &refusal)
{
    const QByteArray sql = QStringLiteral("SELECT row_number, (%1) IS TRUE FROM t WHERE %2 ORDER BY row_number")
                               .arg(t.flagged, t.where)
                               .toUtf8();
    // Typed: a parameter the SQL no longer uses (of a part that is Null on
    // every row) would otherwise have no type, and the server refuses that.
    std::vector<std::optional<QByteArray>> texts;
    std::vector<Oid> types;
    for (const auto &p : t.parameters) {
        texts.push_back(parameterText(p.value));
        types.push_back(p.type == nvtarnix::pushdown::Parameter::Type::Integer ? 20
                        : p.type == nvtarnix::pushdown::Parameter::Type::Real  ? 701
                                                                               : 25);  // int8, float8, text
    }
    std::vector<const char *> values;
    for (const auto &text : texts)
        values.push_back(text ? text->constData() : nullptr);
    PGresult *result = PQexecParams(m_connection, sql.constData(), int(values.size()), types.data(),
                                    values.data(), nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        refusal = QString::fromUtf8(PQresultErrorMessage(result)).simplified() + QStringLiteral(" in ")
                  + QString::fromUtf8(sql);
        PQclear(result);
        return std::nullopt;
    }
    std::vector<FetchedRow> fetched;
    for (int r = 0; r < PQntuples(result); ++r)
        fetched.push_back({QByteArray(PQgetvalue(result, r, 0)).toInt(), *PQgetvalue(result, r, 1) == 't'});
    PQclear(result);
    return fetched;
}

} // namespace pushdowntest
