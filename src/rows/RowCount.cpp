#include "rows/RowCount.h"

#include "rows/ConnectionClone.h"
#include "rows/RowTally.h"
#include "rows/SqliteStatement.h"
#include "vbscript/ScriptError.h"

#include <nvtarnix/Expression.h>

#include <QDate>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <functional>
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
        m_sqlite = clone.sqliteHandle();
    }

    void run()
    {
        QStringList columns;
        if (!sourceColumns(columns))
            return;
        m_place = place(m_rule.variables(), columns, m_job.source.columns);
        if (!m_place.missing.isEmpty()) {
            cannotRun(m_count, vbscript::ScriptError::runtime(vbscript::err::VariableUndefined, m_place.missing),
                      m_job.language);
            return;
        }
        const QSqlDriver *driver = m_clone.database().driver();
        QStringList read;
        for (const QString &c : m_place.read)
            read.append(driver->escapeIdentifier(c, QSqlDriver::FieldName));
        m_select = QStringLiteral("SELECT %1").arg(read.isEmpty() ? QStringLiteral("1") : read.join(u", "));

        m_stop.cancel = m_cancel;
        m_stop.deadline = QDeadlineTimer(m_job.source.timeLimitMs);
        if (m_sqlite) {
            sqlite3_progress_handler(m_sqlite, 500, stopStatement, &m_stop);
            if (m_job.pushDown && pushDown())
                return;
        }
        RowTally tally(m_rule, m_job, m_count, m_cancel, m_stop.deadline);
        engineCount(tally);
    }

    bool condition = true;

private:
    bool sourceColumns(QStringList &columns)
    {
        const QString sql = QStringLiteral("SELECT *%1 WHERE 1 = 0").arg(m_from);
        if (m_sqlite) {
            try {
                SqliteStatement statement(m_sqlite, sql);
                for (int c = 0; c < statement.columnCount(); ++c)
                    columns.append(statement.columnName(c));
                return true;
            } catch (const SqliteFailure &f) {
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
        for (int c = 0; c < record.count(); ++c)
            columns.append(record.fieldName(c));
        return true;
    }

    // Every row through the engine, in the source's order.
    void engineCount(RowTally &tally)
    {
        const QString sql = m_select + m_from;
        if (m_sqlite) {
            try {
                SqliteStatement statement(m_sqlite, sql);
                while (!tally.stopped() && statement.next())
                    tally.evaluate(ruleValues(m_place, [&](int c) { return statement.value(c); }));
            } catch (const SqliteFailure &f) {
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

    // SQLite counts the rows the translation decides and hands over the
    // rest; false when the rule does not translate or is no condition.
    // Past the time limit, the engine counts the first rows instead.
    bool pushDown()
    {
        ExpressionOptions options;
        options.locale = m_job.locale;
        options.timeoutMs = m_job.rowTimeoutMs;
        options.now = m_job.now;
        pushdown::Translation t;
        Expression rule;
        try {
            rule = Expression::compile(m_job.databaseText, options);
            t = pushdown::translate(rule, pushdown::SqlDialect::SQLite, m_place.bindings);
        } catch (const Error &) {
            return false;
        }
        if (t.outcome == pushdown::Outcome::Fail)
            return false;
        // The translation answers which rows are True; a rule that computes
        // something else is the engine's on every row, to say so.
        {
            RowCount probe;
            RowTally tally(m_rule, m_job, probe, m_cancel, m_stop.deadline);
            try {
                SqliteStatement first(m_sqlite, m_select + m_from + QStringLiteral(" LIMIT 64"));
                while (!tally.stopped() && first.next())
                    tally.evaluate(ruleValues(m_place, [&](int c) { return first.value(c); }));
            } catch (const SqliteFailure &) {
                return false;
            }
            if (!tally.condition() || tally.cancelled())
                return false;
        }
        const bool complete = t.outcome == pushdown::Outcome::Complete;
        const QString flagged = QStringLiteral("((%1) IS TRUE)").arg(t.flagged);
        RowTally tally(m_rule, m_job, m_count, m_cancel, m_stop.deadline);
        try {
            qint64 total = 0;
            qint64 flaggedRows = -1;  // unknown for Partial: every fetched row is the engine's
            {
                // One pass counts every row, those SQL decides True and
                // those left to the engine (without these, no second pass).
                // The rule's condition is worked out once a row: the two
                // counts share one sum, the engine's rows in its high 32 bits.
                SqliteStatement all(m_sqlite, complete ? QStringLiteral("SELECT COUNT(*), COALESCE(SUM(CASE WHEN (%1) "
                                                                        "THEN (CASE WHEN %2 THEN 4294967296 ELSE 1 END) "
                                                                        "ELSE 0 END), 0)%3")
                                                             .arg(t.where, flagged, m_from)
                                                       : QStringLiteral("SELECT COUNT(*)%1").arg(m_from));
                all.bind(t.parameters);
                all.next();
                total = all.value(0).toLongLong();
                if (complete) {
                    const qint64 both = all.value(1).toLongLong();
                    tally.addSelected(both & 0xffffffffLL);
                    flaggedRows = both >> 32;
                }
            }
            if (flaggedRows != 0) {
                SqliteStatement engine(m_sqlite, QStringLiteral("%1%2 WHERE (%3)%4")
                                                      .arg(m_select, m_from, t.where,
                                                           complete ? QStringLiteral(" AND ") + flagged : QString()));
                engine.bind(t.parameters);
                while (!tally.stopped() && engine.next())
                    tally.evaluate(ruleValues(m_place, [&](int c) { return engine.value(c); }));
            }
            if (complete && !tally.stopped())
                keepFirstSelected(t, flagged, tally);
            if (tally.stopped() && !tally.cancelled())
                throw SqliteFailure{QString(), true};
            m_count.rows = total;
            m_count.inDatabase = true;
            condition = tally.condition();
        } catch (const SqliteFailure &f) {
            if (tally.cancelled())
                return true;
            // Past the time limit, or refused: the engine counts the first
            // rows, in the source's order, in a time of its own.
            startAgain(m_count);
            if (f.interrupted)
                m_stop.deadline = QDeadlineTimer(std::max(1, m_job.source.timeLimitMs / 2));
            RowTally first(m_rule, m_job, m_count, m_cancel, m_stop.deadline);
            engineCount(first);
        }
        return true;
    }

    // The first rows the rule selects, in the source's order, when SQLite
    // counted most of them.
    void keepFirstSelected(const pushdown::Translation &t, const QString &flagged, RowTally &tally)
    {
        m_count.selectedRows.clear();
        SqliteStatement rows(m_sqlite, QStringLiteral("%1, %2%3 WHERE (%4)").arg(m_select, flagged, m_from, t.where));
        rows.bind(t.parameters);
        const int flag = int(m_place.read.isEmpty() ? 1 : m_place.read.size());
        while (tally.wantsSelectedRows() && !tally.stopped() && rows.next()) {
            const QVariantList values = ruleValues(m_place, [&](int c) { return rows.value(c); });
            bool selected = true;
            if (rows.value(flag).toLongLong() != 0) {
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

    ConnectionClone &m_clone;
    const vbscript::CompiledExpression &m_rule;
    const RowCountJob &m_job;
    RowCount &m_count;
    const std::atomic_bool *m_cancel;
    sqlite3 *m_sqlite = nullptr;
    QString m_source;
    QString m_from;
    QString m_select;
    Placement m_place;
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
