#include "PushDownPlan.h"

#include "pushdown/RuleTranslator.h"
#include "vbscript/CompiledExpression.h"

#include <optional>

namespace tarnixcli {

namespace {

using nvtarnix::pushdown::Binding;

// The binding of a column type, as PostgresValue.h maps the type; none for
// the types the rules cannot read in SQL (bytea, and the rest read as their
// text).
std::optional<Binding> bindingOf(PostgresType type)
{
    switch (type) {
    case PostgresType::SmallInteger: return Binding::PgInt2;
    case PostgresType::Integer: return Binding::PgInt4;
    case PostgresType::BigInteger: return Binding::PgInt8;
    case PostgresType::Single: return Binding::PgFloat4;
    case PostgresType::Double: return Binding::PgFloat8;
    case PostgresType::Numeric: return Binding::PgNumeric;
    // char(n) is read as text without its padding, in the SQL as in the reader.
    case PostgresType::Text:
    case PostgresType::PaddedText: return Binding::PgText;
    case PostgresType::Boolean: return Binding::PgBool;
    case PostgresType::Date: return Binding::PgDate;
    case PostgresType::Timestamp: return Binding::PgTimestamp;
    case PostgresType::TimestampWithZone: return Binding::PgTimestampTz;
    case PostgresType::Bytea:
    case PostgresType::Other: return std::nullopt;
    }
    return std::nullopt;
}

int columnIndex(const QStringList &columns, const QString &name)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A query as it can stand inside another: without the semicolons it may end in.
QString innerQuery(QString query)
{
    query = query.trimmed();
    while (query.endsWith(QLatin1Char(';')))
        query = query.chopped(1).trimmed();
    return query;
}

} // namespace

PushDownPlan planPushDown(PostgresConnection &database, const RowSource::Request &request,
                          const vbscript::CompiledExpression &rule)
{
    const auto relation = request.table.isEmpty() ? std::nullopt : database.relation(request.table);
    const QString from = relation ? relation->quotedName : QString();
    // The columns and their types, as the server describes the rows.
    const PostgresRows described(database, relation ? QStringLiteral("SELECT * FROM ") + from
                                                    : innerQuery(request.query));
    const QStringList names = described.columnNames();

    PushDownPlan plan;
    QList<nvtarnix::pushdown::ColumnBinding> bindings;
    QStringList variableColumns;
    for (const QString &variable : rule.variables()) {
        const int index = columnIndex(names, variable);
        variableColumns << (index < 0 ? QString() : names[index]);
        if (index < 0)
            continue;
        if (const auto binding = bindingOf(described.columnTypes()[size_t(index)]))
            bindings.append({variable, names[index], *binding});
    }
    plan.translation = nvtarnix::pushdown::translateRule(rule, nvtarnix::pushdown::SqlDialect::PostgreSQL,
                                                         bindings);
    if (plan.translation.outcome == nvtarnix::pushdown::Outcome::Fail)
        return plan;

    const auto quoted = [](const QString &name) { return quotedIdentifier(name); };
    const int keyIndex = request.keyColumn.isEmpty() ? -1 : columnIndex(names, request.keyColumn);
    const QString key = keyIndex < 0 ? QString() : names[keyIndex];
    QStringList select;
    for (const QString &c : variableColumns)
        select << quoted(c);
    if (!key.isEmpty())
        select << quoted(key);
    const QString flag = QStringLiteral("(%1) IS TRUE").arg(plan.translation.flagged);
    const QString where = plan.translation.where;
    RowSource::Pushed &statement = plan.statement;
    statement.parameters = plan.translation.parameters;
    statement.variables = int(variableColumns.size());
    statement.hasKey = !key.isEmpty();
    if (relation && relation->isPlainTable && !key.isEmpty()) {
        // A scan reads a table's rows in the order of their places, which
        // the rows fetched through an index are sorted back into.
        plan.sortsByPlace = true;
        statement.sql = QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 ORDER BY ctid")
                            .arg(select.join(QLatin1String(", ")), flag, from, where);
        return plan;
    }
    // Otherwise each row's number comes along, counted over the very
    // statement the engine alone would read, run on its own (materialized),
    // so that its rows come in the same order and under the same plan.
    QStringList used;
    for (const QString &c : variableColumns + QStringList{key})
        if (!c.isEmpty() && !used.contains(quoted(c)))
            used << quoted(c);
    if (used.isEmpty())
        used << QStringLiteral("NULL");  // a rule without variables still runs once a row
    const QString source = relation ? QStringLiteral("SELECT %1 FROM %2").arg(used.join(QLatin1String(", ")), from)
                                    : innerQuery(request.query);
    const QString number = QStringLiteral("\"tarnix row\"");
    statement.hasRowNumber = true;
    select << number << flag;
    statement.sql = QStringLiteral("WITH \"tarnix source\" AS MATERIALIZED (%1) SELECT %2 FROM (SELECT *, "
                                   "row_number() OVER () AS %3 FROM \"tarnix source\") AS \"tarnix rows\" "
                                   "WHERE %4 ORDER BY %3")
                        .arg(source, select.join(QLatin1String(", ")), number, where);
    return plan;
}

} // namespace tarnixcli
