#include "rows/RowCount.h"

#include "rows/ConnectionClone.h"
#include "rows/PostgresBindings.h"
#include "rows/PostgresCancel.h"
#include "rows/PostgresCursor.h"
#include "rows/PostgresLiterals.h"
#include "rows/RowTally.h"
#include "rows/SqliteStatement.h"
#include "vbscript/ScriptError.h"

#include <nvtarnix/Expression.h>

#include <QDate>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <optional>

namespace nvtarnix::rows {

namespace {

using pushdown::Binding;
using pushdown::ColumnBinding;

// Where a variable of the rule finds its value on a row.
struct Slot
{
    int column = -1;  // into the columns read; -1: the constant
    QVariant constant;
    bool isoDate = false;
};

// The rule's variables placed among the source's columns.
struct Placement
{
    QStringList read;  // the source's columns to read, as the source names them
    QList<Slot> places;
    QList<ColumnBinding> bindings;  // for the translation
    QString missing;                // a variable that is no column
};

Placement place(const QStringList &variables, const QStringList &sourceColumns,
                const QList<ColumnBinding> &given)
{
    Placement p;
    for (const QString &variable : variables) {
        const auto bound = std::find_if(given.begin(), given.end(), [&](const ColumnBinding &b) {
            return b.variable.compare(variable, Qt::CaseInsensitive) == 0;
        });
        Slot slot;
        if (bound != given.end() && bound->binding == Binding::RunConstant) {
            slot.constant = bound->value;
            p.places.append(slot);
            p.bindings.append(*bound);
            continue;
        }
        const QString wanted = bound != given.end() && !bound->column.isEmpty() ? bound->column : variable;
        const auto column = std::find_if(sourceColumns.begin(), sourceColumns.end(), [&](const QString &c) {
            return c.compare(wanted, Qt::CaseInsensitive) == 0;
        });
        if (column == sourceColumns.end()) {
            p.missing = variable;
            return p;
        }
        slot.column = int(p.read.indexOf(*column));
        if (slot.column < 0) {
            slot.column = int(p.read.size());
            p.read.append(*column);
        }
        const Binding binding = bound != given.end() ? bound->binding : Binding::SqliteStorageClass;
        slot.isoDate = binding == Binding::SqliteIsoDate || binding == Binding::PgDate;
        p.places.append(slot);
        p.bindings.append({variable, *column, binding, {}});
    }
    return p;
}

// One row's values in the order of the rule's variables, from the columns
// read (`cell`). A date column's ISO text goes in as that date; a text that
// is no date goes in as it is and meets VBScript's own conversion.
QVariantList ruleValues(const Placement &p, const std::function<QVariant(int)> &cell)
{
    QVariantList values;
    values.reserve(p.places.size());
    for (const Slot &slot : p.places) {
        if (slot.column < 0) {
            values.append(slot.constant);
            continue;
        }
        QVariant value = cell(slot.column);
        if (slot.isoDate && value.typeId() == QMetaType::QString) {
            const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
            if (date.isValid())
                value = date;
        }
        values.append(std::move(value));
    }
    return values;
}

void cannotRun(RowCount &count, const vbscript::ScriptError &error, int language)
{
    count.kind = RowCount::Kind::CannotRun;
    count.errorNumber = error.number();
    count.error = error.descriptionIn(language);
}

void unavailable(RowCount &count, const QString &why)
{
    count.kind = RowCount::Kind::Unavailable;
    count.error = why;
}

// What a count keeps, emptied for a second try by another way.
void startAgain(RowCount &count)
{
    count.selected = count.failed = count.rows = 0;
    count.bounded = count.inDatabase = false;
    count.selectedRows.clear();
    count.failedRows.clear();
}

// The rows of a host without SQL.
void countRecordset(Recordset &rows, const vbscript::CompiledExpression &rule, const RowCountJob &job,
                    RowCount &count, RowTally &tally)
{
    QList<ColumnBinding> given = job.source.columns;
    // A recordset names no columns before it is read: each variable is
    // taken to be the column it names, and the first row tells.
    QStringList columns;
    for (const QString &variable : rule.variables()) {
        const auto bound = std::find_if(given.begin(), given.end(), [&](const ColumnBinding &b) {
            return b.variable.compare(variable, Qt::CaseInsensitive) == 0;
        });
        columns.append(bound != given.end() && !bound->column.isEmpty() ? bound->column : variable);
    }
    const Placement p = place(rule.variables(), columns, given);
    try {
        rows.MoveFirst();
        for (; !rows.Eof() && !tally.stopped(); rows.MoveNext())
            tally.evaluate(ruleValues(p, [&](int c) { return rows.Fields(p.read[c]); }));
    } catch (const Error &e) {
        if (e.number() == Recordset::ItemNotFound)
            cannotRun(count, vbscript::ScriptError::runtime(vbscript::err::VariableUndefined, e.description()),
                      job.language);
        else
            unavailable(count, e.description());
    }
}

// Stops SQLite inside a statement: the progress handler asks every few
// hundred steps.
struct StatementStop
{
    const std::atomic_bool *cancel = nullptr;
    QDeadlineTimer deadline;
};

int stopStatement(void *context)
{
    const auto *stop = static_cast<const StatementStop *>(context);
    return (stop->cancel && stop->cancel->load()) || stop->deadline.hasExpired() ? 1 : 0;
}

// The translation's two predicates as the database runs them, and the
// parameters still to bind: SQLite binds them by number, PostgreSQL through
// Qt Sql has them written in.
struct Pushed
{
    QString where;
    QString flagged;  // a condition: true on the rows the engine decides
    QList<pushdown::Parameter> parameters;
};

class SqlCount
{
public:
    SqlCount(ConnectionClone &clone, const vbscript::CompiledExpression &rule, const RowCountJob &job,
             RowCount &count, const std::atomic_bool *cancel)
        : m_clone(clone), m_rule(rule), m_job(job), m_count(count), m_cancel(cancel)
    {
        const QSqlDriver *driver = clone.database().driver();
        m_source = job.source.table.isEmpty()
                       ? job.source.query
                       : QStringLiteral("SELECT * FROM %1")
                             .arg(driver->escapeIdentifier(job.source.table, QSqlDriver::TableName));
        m_from = QStringLiteral(" FROM (%1) AS nvtarnix_rows").arg(m_source);
        m_ordered = m_from;
        m_sqlite = clone.sqliteHandle();
        m_postgres = clone.database().driverName() == QLatin1String("QPSQL");
        if (m_postgres) {
            // The rows whose order counts (the first selected, the failing)
            // are read as a scan of the source reads them, not through an
            // index the conditions would otherwise bring in: OFFSET 0 keeps
            // the conditions out of the source.
            m_ordered = QStringLiteral(" FROM (SELECT *%1 OFFSET 0) AS nvtarnix_rows").arg(m_from);
        }
    }

    void run()
    {
        if (m_postgres && !beginReading())
            return;
        // A newer edit stops the count inside PostgreSQL's statement too.
        std::unique_ptr<PostgresCancel> watch;
        if (m_postgres)
            watch = std::make_unique<PostgresCancel>(m_clone.database().connectionName(), backend(), m_cancel);
        QStringList columns;
        if (!sourceColumns(columns))
            return;
        m_place = place(m_rule.variables(), columns, m_job.source.columns);
        if (!m_place.missing.isEmpty()) {
            cannotRun(m_count, vbscript::ScriptError::runtime(vbscript::err::VariableUndefined, m_place.missing),
                      m_job.language);
            return;
        }
        if (m_postgres)
            bindPostgresColumns();
        const QSqlDriver *driver = m_clone.database().driver();
        QStringList read;
        for (const QString &c : m_place.read)
            read.append(driver->escapeIdentifier(c, QSqlDriver::FieldName));
        m_select = QStringLiteral("SELECT %1").arg(read.isEmpty() ? QStringLiteral("1") : read.join(u", "));

        m_stop.cancel = m_cancel;
        m_stop.deadline = QDeadlineTimer(m_job.source.timeLimitMs);
        if (m_sqlite)
            sqlite3_progress_handler(m_sqlite, 500, stopStatement, &m_stop);
        if (m_postgres)
            boundStatements();
        if ((m_sqlite || m_postgres) && m_job.pushDown && pushDown())
            return;
        RowTally tally(m_rule, m_job, m_count, m_cancel, m_stop.deadline);
        engineCount(tally);
    }

    bool condition = true;

private:
    // PostgreSQL: every statement of the count reads one snapshot, in a
    // transaction that writes nothing, so the SQL's count and the engine's
    // rows agree; table scans start at the table's first row, so that the
    // rows come in the same order every time.
    bool beginReading()
    {
        QSqlQuery query(m_clone.database());
        if (!query.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"))
            || !query.exec(QStringLiteral("SET LOCAL synchronize_seqscans = off"))) {
            unavailable(m_count, query.lastError().text());
            return false;
        }
        return true;
    }

    // The server process that runs the count's statements.
    qint64 backend()
    {
        QSqlQuery query(m_clone.database());
        return query.exec(QStringLiteral("SELECT pg_backend_pid()")) && query.next() ? query.value(0).toLongLong()
                                                                                      : 0;
    }

    // A statement stopped by its timeout ends the transaction with it.
    bool readAgain()
    {
        QSqlQuery(m_clone.database()).exec(QStringLiteral("ROLLBACK"));
        if (!beginReading())
            return false;
        boundStatements();
        return true;
    }

    // PostgreSQL stops a statement itself at the count's time limit: no
    // statement outlives the count by more than a moment.
    void boundStatements()
    {
        const qint64 left = std::max<qint64>(1, m_stop.deadline.remainingTime());
        QSqlQuery(m_clone.database()).exec(QStringLiteral("SET LOCAL statement_timeout = %1").arg(left));
    }

    bool sourceColumns(QStringList &columns)
    {
        const QString sql = QStringLiteral("SELECT *%1 WHERE 1 = 0").arg(m_from);
        if (m_sqlite) {
            try {
                SqliteStatement statement(m_sqlite, sql);
                for (int c = 0; c < statement.columnCount(); ++c)
                    columns.append(statement.columnName(c));
                return true;
            } catch (const StatementFailure &f) {
                unavailable(m_count, f.message);
                return false;
            }
        }
        QSqlQuery query(m_clone.database());
        if (!query.exec(sql)) {
            unavailable(m_count, query.lastError().text());
            return false;
        }
        const QSqlRecord record = query.record();
        for (int c = 0; c < record.count(); ++c) {
            columns.append(record.fieldName(c));
            m_types.insert(record.fieldName(c), record.field(c).typeID());
        }
        return true;
    }

    // The translation reads a PostgreSQL column as its type says QPSQL
    // hands it over; the host's bindings only say where to read it.
    void bindPostgresColumns()
    {
        QList<ColumnBinding> bindings;
        for (qsizetype v = 0; v < m_place.places.size(); ++v) {
            ColumnBinding b = m_place.bindings[v];
            if (b.binding != Binding::RunConstant) {
                const auto typed = postgresBinding(m_types.value(b.column, 0), m_place.places[v].isoDate);
                if (!typed)
                    continue;
                b.binding = *typed;
            }
            bindings.append(b);
        }
        m_place.bindings = bindings;
    }

    // A statement with the translation's parameters.
    std::unique_ptr<StatementRows> open(const QString &sql, const QList<pushdown::Parameter> &parameters = {})
    {
        if (m_sqlite) {
            auto statement = std::make_unique<SqliteStatement>(m_sqlite, sql);
            statement->bind(parameters);
            return statement;
        }
        return std::make_unique<PostgresCursor>(m_clone.database(), sql);
    }

    // Every row through the engine, in the source's order.
    void engineCount(RowTally &tally)
    {
        const QString sql = m_select + m_from;
        if (m_sqlite || m_postgres) {
            try {
                const auto rows = open(sql);
                while (!tally.stopped() && rows->next())
                    tally.evaluate(ruleValues(m_place, [&](int c) { return rows->value(c); }));
            } catch (const StatementFailure &f) {
                if (!tally.stopped())
                    unavailable(m_count, f.message);
            }
        } else {
            QSqlQuery query(m_clone.database());
            query.setForwardOnly(true);
            if (!query.exec(sql)) {
                unavailable(m_count, query.lastError().text());
                return;
            }
            while (!tally.stopped() && query.next())
                tally.evaluate(ruleValues(m_place, [&](int c) { return query.value(c); }));
            if (query.lastError().isValid())
                unavailable(m_count, query.lastError().text());
        }
        condition = tally.condition();
    }

    // The translation for this database; nullopt when nothing is pushed.
    std::optional<Pushed> translated()
    {
        ExpressionOptions options;
        options.locale = m_job.locale;
        options.timeoutMs = m_job.rowTimeoutMs;
        options.now = m_job.now;
        pushdown::Translation t;
        try {
            const Expression rule = Expression::compile(m_job.databaseText, options);
            t = pushdown::translate(rule, m_postgres ? pushdown::SqlDialect::PostgreSQL : pushdown::SqlDialect::SQLite,
                                    m_place.bindings);
        } catch (const Error &) {
            return std::nullopt;
        }
        if (t.outcome == pushdown::Outcome::Fail)
            return std::nullopt;
        m_complete = t.outcome == pushdown::Outcome::Complete;
        if (m_sqlite)
            return Pushed{t.where, t.flagged, t.parameters};
        const auto where = withLiterals(t.where, t.parameters);
        const auto flagged = withLiterals(t.flagged, t.parameters);
        if (!where || !flagged)
            return std::nullopt;
        return Pushed{*where, *flagged, {}};
    }

    // The database counts the rows the translation decides and hands over
    // the rest; false when the rule does not translate or is no condition.
    // Past the time limit, the engine counts the first rows instead.
    bool pushDown()
    {
        const auto t = translated();
        if (!t)
            return false;
        // The translation answers which rows are True; a rule that computes
        // something else is the engine's on every row, to say so.
        {
            RowCount probe;
            RowTally tally(m_rule, m_job, probe, m_cancel, m_stop.deadline);
            try {
                const auto first = open(m_select + m_ordered + QStringLiteral(" LIMIT 64"));
                while (!tally.stopped() && first->next())
                    tally.evaluate(ruleValues(m_place, [&](int c) { return first->value(c); }));
            } catch (const StatementFailure &) {
                if (m_postgres)
                    readAgain();
                return false;
            }
            if (!tally.condition() || tally.cancelled())
                return false;
        }
        const QString flagged = QStringLiteral("((%1) IS TRUE)").arg(t->flagged);
        RowTally tally(m_rule, m_job, m_count, m_cancel, m_stop.deadline);
        try {
            if (m_postgres)
                boundStatements();
            qint64 total = 0;
            qint64 flaggedRows = -1;  // unknown for Partial: every fetched row is the engine's
            {
                // One pass counts every row, those the SQL decides True and
                // those left to the engine (without these, no second pass).
                const auto all = open(countSql(t->where, flagged), t->parameters);
                all->next();
                total = all->value(0).toLongLong();
                if (m_complete) {
                    if (m_sqlite) {
                        // The rule's condition is worked out once a row: the
                        // two counts share one sum, the engine's rows in its
                        // high 32 bits.
                        const qint64 both = all->value(1).toLongLong();
                        tally.addSelected(both & 0xffffffffLL);
                        flaggedRows = both >> 32;
                    } else {
                        tally.addSelected(all->value(1).toLongLong());
                        flaggedRows = all->value(2).toLongLong();
                    }
                }
            }
            if (flaggedRows != 0) {
                const auto engine = open(QStringLiteral("%1%2 WHERE (%3)%4")
                                             .arg(m_select, m_ordered, t->where,
                                                  m_complete ? QStringLiteral(" AND ") + flagged : QString()),
                                         t->parameters);
                while (!tally.stopped() && engine->next())
                    tally.evaluate(ruleValues(m_place, [&](int c) { return engine->value(c); }));
            }
            if (m_complete && !tally.stopped())
                keepFirstSelected(*t, flagged, tally);
            if (tally.stopped() && !tally.cancelled())
                throw StatementFailure{QString(), true};
            m_count.rows = total;
            m_count.inDatabase = true;
            condition = tally.condition();
        } catch (const StatementFailure &f) {
            if (tally.cancelled())
                return true;
            // Past the time limit, or refused: the engine counts the first
            // rows, in the source's order, in a time of its own.
            startAgain(m_count);
            if (f.interrupted)
                m_stop.deadline = QDeadlineTimer(std::max(1, m_job.source.timeLimitMs / 2));
            if (m_postgres && !readAgain())
                return true;
            RowTally first(m_rule, m_job, m_count, m_cancel, m_stop.deadline);
            engineCount(first);
        }
        return true;
    }

    // Every row, and for a Complete translation the rows the SQL selects and
    // those it leaves to the engine.
    QString countSql(const QString &where, const QString &flagged) const
    {
        if (!m_complete)
            return QStringLiteral("SELECT COUNT(*)%1").arg(m_from);
        if (m_sqlite)
            return QStringLiteral("SELECT COUNT(*), COALESCE(SUM(CASE WHEN (%1) "
                                  "THEN (CASE WHEN %2 THEN 4294967296 ELSE 1 END) ELSE 0 END), 0)%3")
                .arg(where, flagged, m_from);
        return QStringLiteral("SELECT count(*), count(*) FILTER (WHERE (%1) AND NOT %2), "
                              "count(*) FILTER (WHERE (%1) AND %2)%3")
            .arg(where, flagged, m_from);
    }

    // The first rows the rule selects, in the source's order, when the
    // database counted most of them.
    void keepFirstSelected(const Pushed &t, const QString &flagged, RowTally &tally)
    {
        m_count.selectedRows.clear();
        const auto rows = open(QStringLiteral("%1, %2%3 WHERE (%4)").arg(m_select, flagged, m_ordered, t.where),
                               t.parameters);
        const int flag = int(m_place.read.isEmpty() ? 1 : m_place.read.size());
        while (tally.wantsSelectedRows() && !tally.stopped() && rows->next()) {
            const QVariantList values = ruleValues(m_place, [&](int c) { return rows->value(c); });
            bool selected = true;
            if (flagValue(rows->value(flag))) {
                try {
                    selected = tally.selects(values);
                } catch (const vbscript::ScriptError &) {
                    selected = false;
                }
            }
            if (selected)
                tally.keepSelected(values);
        }
    }

    // SQLite's condition is a number, PostgreSQL's a bool.
    static bool flagValue(const QVariant &v) { return v.typeId() == QMetaType::Bool ? v.toBool() : v.toLongLong() != 0; }

    ConnectionClone &m_clone;
    const vbscript::CompiledExpression &m_rule;
    const RowCountJob &m_job;
    RowCount &m_count;
    const std::atomic_bool *m_cancel;
    sqlite3 *m_sqlite = nullptr;
    bool m_postgres = false;
    bool m_complete = false;
    QString m_source;
    QString m_from;
    QString m_ordered;  // m_from, read in the source's order
    QString m_select;
    Placement m_place;
    QHash<QString, int> m_types;  // PostgreSQL: each column's type OID
    StatementStop m_stop{nullptr, QDeadlineTimer(QDeadlineTimer::Forever)};
};

} // namespace

RowCount countRows(const RowCountJob &job, const std::atomic_bool *cancel)
{
    RowCount count;
    if (job.databaseText.trimmed().isEmpty())
        return count;
    std::shared_ptr<const vbscript::CompiledExpression> rule;
    try {
        rule = vbscript::CompiledExpression::compile(job.databaseText, job.rowTimeoutMs);
    } catch (const vbscript::ScriptError &e) {
        cannotRun(count, e, job.language);
        return count;
    }
    count.columns = rule->variables();
    bool condition = true;
    if (job.source.recordset) {
        RowTally tally(*rule, job, count, cancel, QDeadlineTimer(job.source.timeLimitMs));
        countRecordset(*job.source.recordset, *rule, job, count, tally);
        condition = tally.condition();
    } else if (!job.source.connectionName.isEmpty()) {
        ConnectionClone clone(job.source.connectionName);
        if (!clone.isOpen()) {
            unavailable(count, clone.error());
            return count;
        }
        SqlCount sql(clone, *rule, job, count, cancel);
        sql.run();
        condition = sql.condition;
    } else {
        unavailable(count, QStringLiteral("no rows"));
        return count;
    }
    if (cancel && cancel->load())
        count.kind = RowCount::Kind::Cancelled;
    else if (count.kind == RowCount::Kind::NoText)
        count.kind = condition ? RowCount::Kind::Condition : RowCount::Kind::Value;
    return count;
}

} // namespace nvtarnix::rows
