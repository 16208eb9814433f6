#include "PostgresRows.h"

#include "LibPq.h"

#include "pushdown/PostgresTypes.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/Recordset.h>

#include <QLocale>
#include <QScopeGuard>

#include <libpq-fe.h>

#include <cmath>
#include <memory>
#include <utility>

namespace tarnixcli {

namespace {

[[noreturn]] void raise(int number, const QString &description)
{
    throw nvtarnix::Error(number, QStringLiteral("tarnix"), description);
}

// libpq's messages run over several lines; an error here is told on one.
QString oneLine(const char *message)
{
    return QString::fromUtf8(message ? message : "").simplified();
}

struct ResultDeleter
{
    void operator()(PGresult *result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// What the run depends on, set for its transaction alone. Values come as
// text that reads back exactly (see PostgresValue.h); a scan is done by one
// process from the table's first page, so rows come in one order every run.
constexpr const char *SessionSettings =
    "SET LOCAL DateStyle = 'ISO, YMD';"
    "SET LOCAL TimeZone = 'UTC';"
    "SET LOCAL extra_float_digits = 1;"
    "SET LOCAL bytea_output = 'hex';"
    "SET LOCAL max_parallel_workers_per_gather = 0;"
    "SET LOCAL synchronize_seqscans = off";

// The server's types of the parameters: int8, float8, text.
Oid parameterType(nvtarnix::pushdown::Parameter::Type type)
{
    switch (type) {
    case nvtarnix::pushdown::Parameter::Type::Integer:
        return nvtarnix::pushdown::PgInt8Oid;
    case nvtarnix::pushdown::Parameter::Type::Real:
        return nvtarnix::pushdown::PgFloat8Oid;
    case nvtarnix::pushdown::Parameter::Type::Text:
        return nvtarnix::pushdown::PgTextOid;
    }
    return nvtarnix::pushdown::PgTextOid;
}

// A parameter's value as the server reads its type's text: a double in
// the shortest digits that read back the same.
QByteArray parameterText(const nvtarnix::pushdown::Parameter &p)
{
    switch (p.type) {
    case nvtarnix::pushdown::Parameter::Type::Integer:
        return QByteArray::number(p.value.toLongLong());
    case nvtarnix::pushdown::Parameter::Type::Real: {
        const double d = p.value.toDouble();
        if (std::isnan(d))
            return "NaN";
        if (std::isinf(d))
            return d > 0 ? "Infinity" : "-Infinity";
        return QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
    }
    case nvtarnix::pushdown::Parameter::Type::Text:
        return p.value.toString().toUtf8();
    }
    return {};
}

} // namespace

PostgresConnection::PostgresConnection(const QString &conninfo)
{
    loadLibpq();
    // libpq parses the conninfo itself, URIs included; a text it cannot read
    // fails as a connection that cannot be made, with libpq's reason.
    m_connection = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(m_connection) != CONNECTION_OK) {
        const QString message = oneLine(PQerrorMessage(m_connection));
        PQfinish(m_connection);
        m_connection = nullptr;
        raise(nvtarnix::Recordset::ConnectionInvalid,
              QStringLiteral("cannot connect to PostgreSQL with \"%1\": %2").arg(conninfo, message));
    }
    m_name = QStringLiteral("database \"%1\" on %2")
                 .arg(QString::fromUtf8(PQdb(m_connection)), QString::fromUtf8(PQhost(m_connection)));
    auto close = qScopeGuard([this] {
        PQfinish(m_connection);
        m_connection = nullptr;
    });
    if (PQsetClientEncoding(m_connection, "UTF8") != 0)
        raiseFailure(nullptr);
    // Repeatable read: the table lookups and the rows see one snapshot.
    run("START TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY");
    run(SessionSettings);
    close.dismiss();
}

PostgresConnection::~PostgresConnection()
{
    // Closing ends the transaction; it wrote nothing, so nothing is lost.
    PQfinish(m_connection);
}

void PostgresConnection::run(const char *sql)
{
    const Result result(PQexec(m_connection, sql));
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        raiseFailure(result.get());
}

void PostgresConnection::readTablesInTheirOrder()
{
    run("SET LOCAL enable_seqscan = on;"
        "SET LOCAL enable_indexscan = off;"
        "SET LOCAL enable_indexonlyscan = off;"
        "SET LOCAL enable_bitmapscan = off");
}

void PostgresConnection::prepareForPushDown(bool sortsByPlace)
{
    // Compiling the rule's guards to machine code takes longer than
    // evaluating them over millions of rows.
    run("SET LOCAL jit = off");
    if (!sortsByPlace)
        return;
    run("SET LOCAL enable_indexscan = on;"
        "SET LOCAL enable_indexonlyscan = on;"
        "SET LOCAL enable_bitmapscan = on;"
        "SET LOCAL max_parallel_workers_per_gather TO DEFAULT");
}

void PostgresConnection::markSavepoint()
{
    run("SAVEPOINT tarnix");
}

void PostgresConnection::returnToSavepoint()
{
    run("ROLLBACK TO SAVEPOINT tarnix");
}

void PostgresConnection::raiseFailure(const pg_result *result) const
{
    const char *primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (!primary)
        raise(nvtarnix::Recordset::CommandFailed,
              QStringLiteral("%1: %2").arg(m_name, oneLine(PQerrorMessage(m_connection))));
    QString description = QStringLiteral("%1: %2").arg(m_name, oneLine(primary));
    if (const char *detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL))
        description += QStringLiteral(". ") + oneLine(detail);
    if (const char *state = PQresultErrorField(result, PG_DIAG_SQLSTATE))
        description += QStringLiteral(" (SQLSTATE %1)").arg(QLatin1String(state));
    raise(nvtarnix::Recordset::CommandFailed, description);
}

QByteArray PostgresConnection::newStatementName()
{
    return "tarnix_" + QByteArray::number(++m_statements);
}

std::optional<PostgresConnection::Relation> PostgresConnection::relation(const QString &name)
{
    // A name as it is spelled wins over one that differs in case, and one on
    // the search path over one named with its schema.
    static const char *const Lookup
        = "SELECT c.oid::pg_catalog.regclass::text, c.relkind IN ('r', 'p'), c.relkind = 'r' "
          "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
          "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') "
          "AND ((pg_catalog.pg_table_is_visible(c.oid) "
          "AND pg_catalog.lower(c.relname) = pg_catalog.lower($1)) "
          "OR pg_catalog.lower(n.nspname || '.' || c.relname) = pg_catalog.lower($1)) "
          "ORDER BY (c.relname = $1 OR n.nspname || '.' || c.relname = $1) DESC, "
          "pg_catalog.pg_table_is_visible(c.oid) DESC, n.nspname, c.relname LIMIT 1";
    const QByteArray utf8 = name.toUtf8();
    const char *values[] = {utf8.constData()};
    const Result result(PQexecParams(m_connection, Lookup, 1, nullptr, values, nullptr, nullptr, 0));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        raiseFailure(result.get());
    if (PQntuples(result.get()) == 0)
        return std::nullopt;
    return Relation{QString::fromUtf8(PQgetvalue(result.get(), 0, 0)), *PQgetvalue(result.get(), 0, 1) == 't',
                    *PQgetvalue(result.get(), 0, 2) == 't'};
}

PostgresRows::PostgresRows(PostgresConnection &database, const QString &sql,
                           const QList<nvtarnix::pushdown::Parameter> &parameters)
    : m_database(database), m_statement(database.newStatementName())
{
    // Typed here, not left to the server to infer: a parameter the SQL
    // does not use (that of a part the translation dropped) would have no
    // type at all, and the server refuses that.
    std::vector<Oid> types;
    for (const nvtarnix::pushdown::Parameter &p : parameters) {
        types.push_back(parameterType(p.type));
        m_parameterIsNull.push_back(p.value.isNull());
        m_parameterTexts.push_back(p.value.isNull() ? QByteArray() : parameterText(p));
    }
    // SQLite reads "SELECT ...;" as one statement; a prepared statement
    // takes no semicolon, so those at the end are let go.
    QString text = sql.trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text = text.chopped(1).trimmed();
    PGconn *connection = database.handle();
    const Result prepared(
        PQprepare(connection, m_statement.constData(), text.toUtf8().constData(), int(types.size()), types.data()));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        database.raiseFailure(prepared.get());
    const Result described(PQdescribePrepared(connection, m_statement.constData()));
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK)
        database.raiseFailure(described.get());
    const int columns = PQnfields(described.get());
    if (columns == 0)
        raise(nvtarnix::Recordset::ObjectClosed,
              QStringLiteral("Operation is not allowed when the object is closed. (%1: the query "
                             "returns no rows)")
                  .arg(database.name()));
    for (int i = 0; i < columns; ++i) {
        m_names << QString::fromUtf8(PQfname(described.get(), i));
        m_types.push_back(columnType(PQftype(described.get(), i)));
    }
}

PostgresRows::~PostgresRows()
{
    PQclear(m_row);
}

PostgresType PostgresRows::columnType(unsigned oid)
{
    // A domain is read as the type it restricts, a domain over a domain
    // as the type at the bottom.
    for (PostgresType type = postgresType(oid);; type = postgresType(oid)) {
        if (type != PostgresType::Other)
            return type;
        const QByteArray text = QByteArray::number(oid);
        const char *values[] = {text.constData()};
        const Result result(PQexecParams(m_database.handle(),
                                         "SELECT typbasetype FROM pg_catalog.pg_type "
                                         "WHERE oid = $1::pg_catalog.oid AND typtype = 'd'",
                                         1, nullptr, values, nullptr, nullptr, 0));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
            m_database.raiseFailure(result.get());
        if (PQntuples(result.get()) == 0)
            return PostgresType::Other;
        oid = QByteArray(PQgetvalue(result.get(), 0, 0)).toUInt();
    }
}

QStringList PostgresRows::columnNames() const
{
    return m_names;
}

void PostgresRows::start()
{
    m_started = true;
    PGconn *connection = m_database.handle();
    std::vector<const char *> values;
    for (size_t i = 0; i < m_parameterTexts.size(); ++i)
        values.push_back(m_parameterIsNull[i] ? nullptr : m_parameterTexts[i].constData());
    if (!PQsendQueryPrepared(connection, m_statement.constData(), int(values.size()), values.data(), nullptr, nullptr,
                             0)
        || !PQsetSingleRowMode(connection))
        m_database.raiseFailure(nullptr);
}

bool PostgresRows::next()
{
    if (m_finished)
        return false;
    if (!m_started)
        start();
    return receive();
}

bool PostgresRows::receive()
{
    PQclear(m_row);
    m_row = PQgetResult(m_database.handle());
    if (PQresultStatus(m_row) == PGRES_SINGLE_TUPLE)
        return true;
    // The end, or a failure: either way the statement is over once libpq
    // has handed over its last result.
    m_finished = true;
    const Result last(std::exchange(m_row, nullptr));
    while (PGresult *rest = PQgetResult(m_database.handle()))
        PQclear(rest);
    if (PQresultStatus(last.get()) != PGRES_TUPLES_OK)
        m_database.raiseFailure(last.get());
    return false;
}

StoredValue PostgresRows::value(int column, std::vector<char> &buffer) const
{
    if (PQgetisnull(m_row, 0, column))
        return {};
    return storedValue(m_types[size_t(column)], PQgetvalue(m_row, 0, column),
                       PQgetlength(m_row, 0, column), buffer);
}

} // namespace tarnixcli
