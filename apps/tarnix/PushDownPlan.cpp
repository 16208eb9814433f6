#include "PushDownPlan.h"

#include "pushdown/RuleTranslator.h"
#include "vbscript/CompiledExpression.h"

#include <sqlite3.h>

namespace tarnixcli {

namespace {

using nvtarnix::pushdown::Binding;

struct ColumnInfo
{
    QString name;
    QString type;  // declared, upper case
};

// A statement's rows as text, for the small queries about a table.
QList<QStringList> textRows(const SqliteFile &file, const QString &sql, const QString &argument)
{
    QList<QStringList> rows;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(file.handle(), sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return rows;
    }
    const QByteArray utf8 = argument.toUtf8();
    sqlite3_bind_text(s, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(s) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c)));
        rows << row;
    }
    sqlite3_finalize(s);
    return rows;
}

bool isStrictTable(const SqliteFile &file, const QString &table)
{
    const auto rows = textRows(file, QStringLiteral("SELECT strict FROM pragma_table_list WHERE name = ?1 COLLATE NOCASE"),
                               table);
    return !rows.isEmpty() && rows.front().value(0) == QLatin1String("1");
}

QList<ColumnInfo> tableColumns(const SqliteFile &file, const QString &table)
{
    QList<ColumnInfo> columns;
    for (const QStringList &row : textRows(file, QStringLiteral("SELECT name, type FROM pragma_table_xinfo(?1)"), table))
        columns << ColumnInfo{row.value(0), row.value(1).toUpper()};
    return columns;
}

// A STRICT table's column holds only its type, or NULL; ANY holds anything.
Binding strictBinding(const QString &type)
{
    if (type == QLatin1String("INTEGER") || type == QLatin1String("INT"))
        return Binding::SqliteStrictInteger;
    if (type == QLatin1String("REAL"))
        return Binding::SqliteStrictReal;
    if (type == QLatin1String("TEXT"))
        return Binding::SqliteStrictText;
    return Binding::SqliteStorageClass;
}

// Whether the table is scanned in rowid order, and rowid names it.
bool hasRowid(const SqliteFile &file, const QString &table, const QList<ColumnInfo> &columns)
{
    for (const ColumnInfo &c : columns)
        if (c.name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
            return false;
    sqlite3_stmt *s = nullptr;
    const bool ok = sqlite3_prepare_v2(file.handle(),
                                       (QStringLiteral("SELECT rowid FROM ") + quotedIdentifier(table)).toUtf8().constData(),
                                       -1, &s, nullptr)
                    == SQLITE_OK;
    sqlite3_finalize(s);
    return ok;
}

QString columnFor(const QStringList &columns, const QString &name)
{
    for (const QString &c : columns)
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return {};
}

// Whether SQLite finds the rows of `sql` through an index (or a range of
// rowids) rather than by reading the whole table, as its plan says.
bool searchesIndex(const SqliteFile &file, const QString &sql)
{
    sqlite3_stmt *s = nullptr;
    const QByteArray plan = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
    bool searches = false;
    if (sqlite3_prepare_v2(file.handle(), plan.constData(), -1, &s, nullptr) == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW) {
            const auto *detail = reinterpret_cast<const char *>(sqlite3_column_text(s, 3));
            searches = searches || (detail && qstrncmp(detail, "SEARCH", 6) == 0);
        }
    }
    sqlite3_finalize(s);
    return searches;
}

} // namespace

PushDownPlan planPushDown(const SqliteFile &file, const RowSource::Request &request,
                          const vbscript::CompiledExpression &rule, const QDateTime &now, bool countOnly)
{
    const bool isTable = !request.table.isEmpty() && file.relation(request.table) == SqliteFile::Relation::Table;
    QStringList names;
    QList<Binding> bindings;
    bool rowidOrder = false;
    if (!request.table.isEmpty()) {
        const QList<ColumnInfo> columns = tableColumns(file, request.table);
        const bool strict = isTable && isStrictTable(file, request.table);
        for (const ColumnInfo &c : columns) {
            names << c.name;
            bindings << (strict ? strictBinding(c.type) : Binding::SqliteStorageClass);
        }
        rowidOrder = isTable && hasRowid(file, request.table, columns);
    } else {
        names = SqliteRows(file, request.query).columnNames();
        for (qsizetype i = 0; i < names.size(); ++i)
            bindings << Binding::SqliteStorageClass;
    }

    PushDownPlan plan;
    QList<nvtarnix::pushdown::ColumnBinding> columns;
    QStringList variableColumns;
    for (const QString &variable : rule.variables()) {
        const QString column = columnFor(names, variable);
        variableColumns << column;
        if (!column.isEmpty())
            columns.append({variable, column, bindings[names.indexOf(column)]});
    }
    plan.translation = nvtarnix::pushdown::translateRule(rule, nvtarnix::pushdown::SqlDialect::SQLite, columns, now);
    if (plan.translation.outcome == nvtarnix::pushdown::Outcome::Fail)
        return plan;

    // The columns the rule and the key read; the SQL names them as they are.
    QStringList used;
    for (const QString &c : variableColumns)
        if (!used.contains(c))
            used << c;
    const QString key = request.keyColumn.isEmpty() ? QString() : columnFor(names, request.keyColumn);
    if (!key.isEmpty() && !used.contains(key))
        used << key;

    RowSource::Pushed &statement = plan.statement;
    statement.parameters = plan.translation.parameters;
    statement.variables = int(variableColumns.size());
    statement.hasKey = !key.isEmpty();
    // With --count of a rule the SQL decides on every row (it flags none:
    // its flag is SQLite's false), SQLite counts the rows alone, in one row
    // that the reader adds to the count, as sqlite3 would count them. Where
    // the engine decides some rows they come in order, as below.
    if (countOnly && plan.translation.outcome == nvtarnix::pushdown::Outcome::Complete
        && plan.translation.flagged == QLatin1String("0")) {
        QStringList nothing;
        for (qsizetype i = 0; i < variableColumns.size() + (key.isEmpty() ? 0 : 1); ++i)
            nothing << QStringLiteral("NULL");
        nothing << QStringLiteral("0") << QStringLiteral("count(*)");
        const QString from = request.table.isEmpty() ? QStringLiteral("(%1) AS \"tarnix source\"").arg(request.query)
                                                     : quotedIdentifier(request.table);
        statement.hasCount = true;
        statement.sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                            .arg(nothing.join(QLatin1String(", ")), from, plan.translation.where);
        return plan;
    }

    QStringList select;
    for (const QString &c : variableColumns)
        select << quotedIdentifier(c);
    if (!key.isEmpty())
        select << quotedIdentifier(key);
    const QString flag = QStringLiteral("(%1) IS TRUE").arg(plan.translation.flagged);
    const auto list = [](QStringList items, const QString &last) {
        items << last;
        return items.join(QLatin1String(", "));
    };
    const QString where = plan.translation.where;
    if (rowidOrder && !key.isEmpty()) {
        // The table's own order is its rowid's. Asked for it, SQLite reads
        // the table in that order rather than sort what an index finds, so
        // the sort is asked for apart (+rowid) where the rule's rows can be
        // found through an index: a few rows sorted cost less than every
        // row read.
        const QString sorted = QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY +rowid")
                                   .arg(list(select, flag), quotedIdentifier(request.table), where);
        statement.sql = searchesIndex(file, sorted)
                            ? sorted
                            : QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY rowid")
                                  .arg(list(select, flag), quotedIdentifier(request.table), where);
        return plan;
    }
    // Otherwise each row's number in the source comes along, counted over
    // the very statement the engine alone would read, run on its own
    // (materialized), so that its rows come in the same order.
    QStringList inner;
    for (const QString &c : used)
        inner << quotedIdentifier(c);
    if (inner.isEmpty())
        inner << QStringLiteral("NULL");
    const QString source = !request.table.isEmpty()
                               ? QStringLiteral("SELECT %1 FROM %2%3")
                                     .arg(inner.join(QLatin1String(", ")), quotedIdentifier(request.table),
                                          isTable ? QStringLiteral(" NOT INDEXED") : QString())
                               : request.query;
    const QString number = QStringLiteral("\"tarnix row\"");
    statement.hasRowNumber = true;
    statement.sql = QStringLiteral("WITH \"tarnix source\" AS MATERIALIZED (%1) SELECT %2 FROM (SELECT *, "
                                   "row_number() OVER () AS %3 FROM \"tarnix source\") WHERE %4 ORDER BY %3")
                        .arg(source, list(select << number, flag), number, where);
    return plan;
}

} // namespace tarnixcli
