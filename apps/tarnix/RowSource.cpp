#include "RowSource.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/Recordset.h>

#include <utility>

namespace tarnixcli {

namespace {

int columnOf(const QStringList &columns, const QString &name)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString quotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    return quoted.join(QLatin1String(", "));
}

[[noreturn]] void raiseNotFound(const QString &what)
{
    throw nvtarnix::Error(nvtarnix::Recordset::ItemNotFound, QStringLiteral("tarnix"),
                          QStringLiteral("Item cannot be found in the collection corresponding to "
                                         "the requested name or ordinal: %1")
                              .arg(what));
}

} // namespace

RowSource::RowSource(const SqliteFile &file, const Request &request, const QStringList &variables)
{
    if (request.table.isEmpty()) {
        m_rows = std::make_unique<SqliteRows>(file, request.query);
        bindColumns(m_rows->columnNames(), variables, request.keyColumn,
                    QStringLiteral("the rows of the query on %1 have").arg(file.path()));
        return;
    }

    const SqliteFile::Relation relation = file.relation(request.table);
    if (relation == SqliteFile::Relation::None)
        raiseNotFound(QStringLiteral("%1 has no table or view \"%2\"").arg(file.path(), request.table));
    const QString from = QStringLiteral(" FROM ") + quotedIdentifier(request.table);
    const QStringList columns = SqliteRows(file, QStringLiteral("SELECT *") + from).columnNames();
    bindColumns(columns, variables, request.keyColumn,
                QStringLiteral("the table \"%1\" of %2 has").arg(request.table, file.path()));

    // A table is scanned in its own order even when only some columns are
    // read: without NOT INDEXED, SQLite may walk an index that happens to
    // hold those columns, in the index's order.
    m_rows = std::make_unique<SqliteRows>(
        file, QStringLiteral("SELECT ") + usedColumns(columns) + from
                  + (relation == SqliteFile::Relation::Table ? QStringLiteral(" NOT INDEXED") : QString()));
}

RowSource::RowSource(PostgresConnection &database, const Request &request, const QStringList &variables)
{
    if (request.table.isEmpty()) {
        m_rows = std::make_unique<PostgresRows>(database, request.query);
        bindColumns(m_rows->columnNames(), variables, request.keyColumn,
                    QStringLiteral("the rows of the query on %1 have").arg(database.name()));
        return;
    }

    const auto relation = database.relation(request.table);
    if (!relation)
        raiseNotFound(QStringLiteral("%1 has no table or view \"%2\"").arg(database.name(), request.table));
    const QString from = QStringLiteral(" FROM ") + relation->quotedName;
    const QStringList columns = PostgresRows(database, QStringLiteral("SELECT *") + from).columnNames();
    bindColumns(columns, variables, request.keyColumn,
                QStringLiteral("the table \"%1\" of %2 has").arg(request.table, database.name()));
    // As with SQLite, a table comes in its own order, never an index's.
    if (relation->isTable)
        database.readTablesInTheirOrder();
    m_rows = std::make_unique<PostgresRows>(database, QStringLiteral("SELECT ") + usedColumns(columns) + from);
}

// Read only the columns the rule and the key use: the database then decodes
// and sends no others. Returns the select list, and points the variables
// and the key at their places in it.
QString RowSource::usedColumns(const QStringList &columns)
{
    QList<int> used;
    for (int column : m_variableColumns)
        if (!used.contains(column))
            used << column;
    if (m_keyColumn >= 0 && !used.contains(m_keyColumn))
        used << m_keyColumn;
    QStringList select;
    for (int column : used)
        select << quotedIdentifier(columns[column]);
    if (select.isEmpty())
        select << QStringLiteral("NULL");  // a rule without variables still runs once a row
    for (int &column : m_variableColumns)
        column = int(used.indexOf(column));
    if (m_keyColumn >= 0)
        m_keyColumn = int(used.indexOf(m_keyColumn));
    return select.join(QLatin1String(", "));
}

RowSource::RowSource(const SqliteFile &file, const Pushed &pushed)
{
    auto rows = std::make_unique<SqliteRows>(file, pushed.sql);
    rows->bind(pushed.parameters);
    m_rows = std::move(rows);
    placePushedColumns(pushed);
}

RowSource::RowSource(PostgresConnection &database, const Pushed &pushed)
{
    m_rows = std::make_unique<PostgresRows>(database, pushed.sql, pushed.parameters);
    placePushedColumns(pushed);
}

void RowSource::placePushedColumns(const Pushed &pushed)
{
    int column = 0;
    for (; column < pushed.variables; ++column)
        m_variableColumns.push_back(column);
    if (pushed.hasKey)
        m_keyColumn = column++;
    if (pushed.hasRowNumber)
        m_rowNumberColumn = column++;
    m_flagColumn = column++;
    if (pushed.hasCount)
        m_countColumn = column;
}

void RowSource::bindColumns(const QStringList &columns, const QStringList &variables,
                            const QString &keyColumn, const QString &whose)
{
    QStringList missing;
    for (const QString &variable : variables) {
        const int column = columnOf(columns, variable);
        if (column < 0)
            missing << variable;
        m_variableColumns.push_back(column);
    }
    if (!missing.isEmpty())
        raiseNotFound(QStringLiteral("%1 no column %2 for the expression's %3")
                          .arg(whose, quotedList(missing),
                               missing.size() == 1 ? QStringLiteral("variable")
                                                   : QStringLiteral("variables")));
    if (!keyColumn.isEmpty()) {
        m_keyColumn = columnOf(columns, keyColumn);
        if (m_keyColumn < 0)
            raiseNotFound(QStringLiteral("%1 no column \"%2\" for --key").arg(whose, keyColumn));
    }
}

void RowSource::readAhead()
{
    m_hasRowAhead = m_rows->next();
    m_done = !m_hasRowAhead;
}

bool RowSource::nextBlock(RowBlock &block, int maxRows)
{
    block.clear();
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    // Once SQLite has said "done", stepping again would start the statement over.
    if (m_done)
        return false;
    block.firstRow = m_rowsRead + 1;
    block.width = int(m_variableColumns.size());
    while (block.rows < maxRows && block.bytes.size() < RowBlock::MostBytes) {
        try {
            if (!std::exchange(m_hasRowAhead, false) && !m_rows->next()) {
                m_done = true;
                break;
            }
        } catch (const nvtarnix::Error &) {
            // The rows before the failure still get their answers; the
            // failure comes with the next block.
            if (block.rows == 0)
                throw;
            m_failure = std::current_exception();
            m_done = true;
            break;
        }
        if (m_countColumn >= 0 && m_rows->value(m_flagColumn, block.bytes).integer == 0) {
            m_countedTrue += m_rows->value(m_countColumn, block.bytes).integer;
            continue;
        }
        for (int column : m_variableColumns)
            block.values.push_back(m_rows->value(column, block.bytes));
        if (m_keyColumn >= 0)
            block.keys.push_back(m_rows->value(m_keyColumn, block.bytes));
        if (m_rowNumberColumn >= 0)
            block.rowNumbers.push_back(m_rows->value(m_rowNumberColumn, block.bytes).integer);
        if (m_flagColumn >= 0)
            block.decidedTrue.push_back(m_rows->value(m_flagColumn, block.bytes).integer == 0 ? 1 : 0);
        ++block.rows;
    }
    m_rowsRead += block.rows;
    return block.rows > 0;
}

} // namespace tarnixcli
