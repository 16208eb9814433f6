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
    case PostgresType::SmallInteger:
        return Binding::PgInt2;
    case PostgresType::Integer:
        return Binding::PgInt4;
    case PostgresType::BigInteger:
        return Binding::PgInt8;
    case PostgresType::Single:
        return Binding::PgFloat4;
    case PostgresType::Double:
        return Binding::PgFloat8;
    case PostgresType::Numeric:
        return Binding::PgNumeric;
    // char(n) is read as text without its padding, in the SQL as in the reader.
    case PostgresType::Text:
    case PostgresType::PaddedText:
        return Binding::PgText;
    case PostgresType::Boolean:
        return Binding::PgBool;
    case PostgresType::Date:
        return Binding::PgDate;
    case PostgresType::Timestamp:
        return Binding::PgTimestamp;
    case PostgresType::TimestampWithZone:
        return Binding::PgTimestampTz;
    case PostgresType::Bytea:
    case PostgresType::Other:
        return std::nullopt;
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
                          const vbscript::CompiledExpression &rule, const QDateTime &now, bool countOnly)
{
    const auto relation = request.table.isEmpty() ? std::nullopt : database.relation(request.table);
    const QString from = relation ? relation->quotedName : QString();
    // The columns and their types, as the server describes the rows.
    const PostgresRows described(database,
                                 relation ? QStringLiteral("SELECT * FROM ") + from : innerQuery(request.query));
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
    plan.translation = nvtarnix::pushdown::translateRule(rule, nvtarnix::pushdown::SqlDialect::PostgreSQL, bindings, now);
    if (plan.translation.outcome == nvtarnix::pushdown::Outcome::Fail)
        return plan;

    const auto quoted = [](const QString &name) { return quotedIdentifier(name); };
    const int keyIndex = request.keyColumn.isEmpty() ? -1 : columnIndex(names, request.keyColumn);
    const QString key = keyIndex < 0 ? QString() : names[keyIndex];
    RowSource::Pushed &statement = plan.statement;
    statement.parameters = plan.translation.parameters;
    statement.variables = int(variableColumns.size());
    statement.hasKey = !key.isEmpty();

    QStringList used;
    for (const QString &c : variableColumns + QStringList{key})
        if (!c.isEmpty() && !used.contains(quoted(c)))
            used << quoted(c);
    if (used.isEmpty())
        used << QStringLiteral("NULL"); // a rule without variables still runs once a row
    const QString place = QStringLiteral("\"tarnix place\"");
    const QString flag = QStringLiteral("\"tarnix flag\"");
    QString prefix, kept;
    plan.sortsByPlace = relation && relation->isPlainTable && !key.isEmpty();
    if (plan.sortsByPlace) {
        // A scan reads a table's rows in the order of their places, which
        // the rows found through an index are sorted back into.
        kept = QStringLiteral("SELECT %1, ctid AS %2 FROM %3").arg(used.join(QLatin1String(", ")), place, from);
    } else {
        // Otherwise each row's number comes along, counted over the very
        // statement the engine alone would read, run on its own
        // (materialized), so that its rows come in the same order and under
        // the same plan.
        const QString source = relation ? QStringLiteral("SELECT %1 FROM %2").arg(used.join(QLatin1String(", ")), from)
                                        : innerQuery(request.query);
        prefix = QStringLiteral("WITH \"tarnix source\" AS MATERIALIZED (%1) ").arg(source);
        kept = QStringLiteral("SELECT *, row_number() OVER () AS %1 FROM \"tarnix source\"").arg(place);
        statement.hasRowNumber = true;
    }
    const QString rows = QStringLiteral("SELECT *, (%1) IS TRUE AS %2 FROM (%3) AS \"tarnix rows\" WHERE %4")
                             .arg(plan.translation.flagged, flag, kept, plan.translation.where);

    // The engine needs the values of the rows it decides only: the others
    // come without them.
    const auto ifFlagged
        = [&](const QString &sql) { return QStringLiteral("CASE WHEN %1 THEN %2 END").arg(flag, sql); };
    if (!countOnly || plan.translation.outcome != nvtarnix::pushdown::Outcome::Complete) {
        QStringList select;
        for (const QString &c : variableColumns)
            select << ifFlagged(quoted(c));
        if (!key.isEmpty())
            select << quoted(key);
        if (statement.hasRowNumber)
            select << place;
        select << flag;
        statement.sql = prefix
            + QStringLiteral("SELECT %1 FROM (%2) AS \"tarnix kept\" ORDER BY %3")
                  .arg(select.join(QLatin1String(", ")), rows, place);
        return plan;
    }
    // With --count of a rule the SQL decides, the rows it decides are only
    // counted, in one row that comes first; each row the engine decides
    // follows on its own, with its values. The count is one aggregate, which
    // the server runs in parallel as it would count alone; the rows the
    // engine decides are read by a second scan that runs only when the count
    // met one. So a rule that flags no row, the usual case, reads the table
    // once and sorts nothing (grouping the counted rows apart from the
    // flagged ones had sorted every kept row). Both read one snapshot: the
    // transaction is repeatable read.
    QStringList columns, counted, flagged;
    const auto add = [&](const QString &name, const QString &inCount, const QString &inFlagged) {
        columns << name;
        counted << QStringLiteral("%1 AS %2").arg(inCount, name);
        flagged << inFlagged;
    };
    for (qsizetype i = 0; i < variableColumns.size(); ++i)
        add(QStringLiteral("\"tarnix value %1\"").arg(i + 1), QStringLiteral("NULL"), quoted(variableColumns[i]));
    if (!key.isEmpty())
        add(QStringLiteral("\"tarnix key\""), QStringLiteral("NULL"), quoted(key));
    add(place, QStringLiteral("NULL"), place);
    add(flag, QStringLiteral("false"), QStringLiteral("true"));
    add(QStringLiteral("\"tarnix count\""), QStringLiteral("n"), QStringLiteral("1"));
    if (!statement.hasRowNumber)
        columns.removeOne(place);
    statement.hasCount = true;
    const QString count = QStringLiteral("\"tarnix count\" AS (SELECT count(*) FILTER (WHERE NOT %1) AS n, "
                                         "coalesce(bool_or(%1), false) AS f FROM (%2) AS \"tarnix kept\")")
                              .arg(flag, rows);
    statement.sql = (prefix.isEmpty() ? QStringLiteral("WITH ") : prefix.trimmed() + QStringLiteral(", ")) + count
        + QStringLiteral(" SELECT %1 FROM (SELECT %2 FROM \"tarnix count\" WHERE n > 0 UNION ALL "
                         "SELECT %3 FROM (%4) AS \"tarnix kept\" WHERE %5 AND (SELECT f FROM \"tarnix count\")) "
                         "AS \"tarnix groups\" ORDER BY %6 NULLS FIRST")
              .arg(columns.join(QLatin1String(", ")), counted.join(QLatin1String(", ")),
                   flagged.join(QLatin1String(", ")), rows, flag, place);
    return plan;
}

} // namespace tarnixcli
