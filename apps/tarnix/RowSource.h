#pragma once

#include "PostgresRows.h"
#include "RuleBlocks.h"
#include "SqliteRows.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <memory>
#include <vector>

namespace tarnixcli {

// Where a rule's rows come from: a table or view of an SQLite file or a
// PostgreSQL database, or the rows of a query on it. Each of the rule's variables reads the column of the
// same name, compared without regard to case.
class RowSource
{
public:
    struct Request
    {
        QString table;      // a table or view, read in its own order...
        QString query;      // ...or a SELECT statement, when table is empty
        QString keyColumn;  // the column that names each row; empty: row numbers
    };

    // Finds the columns before any row is read: a variable or key that names
    // no column raises 3265, as do a table or view the file does not have.
    // Other failures are those of SqliteRows.
    RowSource(const SqliteFile &file, const Request &request, const QStringList &variables);
    // The same from PostgreSQL; its failures are those of PostgresRows.
    RowSource(PostgresConnection &database, const Request &request, const QStringList &variables);

    // The rows a statement of the rule's push-down gives: one column per
    // variable first, then the key's when `hasKey`, the row's number in the
    // source when `hasRowNumber`, whether the engine must decide it, and
    // when `hasCount` how many rows the row stands for: a row the engine
    // need not decide then only counts rows whose result is True.
    // Failures are those of SqliteRows (the database refuses the SQL).
    struct Pushed
    {
        QString sql;
        QList<nvtarnix::pushdown::Parameter> parameters;
        int variables = 0;
        bool hasKey = false;
        bool hasRowNumber = false;
        bool hasCount = false;
    };
    // A statement the database refuses raises here.
    RowSource(const SqliteFile &file, const Pushed &pushed);
    RowSource(PostgresConnection &database, const Pushed &pushed);

    // Runs the statement up to its first row, which the first block then
    // holds: a statement that fails before any row (a pushed statement puts
    // its rows in order, so it fails there if at all) raises here, where the
    // engine can still read every row instead.
    void readAhead();

    // Fills `block` with the next rows, at most `maxRows` of them and no more
    // once their TEXT and BLOB bytes reach RowBlock::MostBytes; false
    // after the last row. Should SQLite fail on a row, the rows before it
    // come first and the failure is raised by the call after.
    bool nextBlock(RowBlock &block, int maxRows);

    // The rows the database counted as True without sending them, so far.
    qint64 countedTrue() const { return m_countedTrue; }

private:
    void placePushedColumns(const Pushed &pushed);
    void bindColumns(const QStringList &columns, const QStringList &variables,
                     const QString &keyColumn, const QString &whose);
    QString usedColumns(const QStringList &columns);

    std::unique_ptr<StoredRows> m_rows;
    std::vector<int> m_variableColumns;  // per variable, its column
    int m_keyColumn = -1;
    int m_rowNumberColumn = -1;  // pushed down: the row's number in the source
    int m_flagColumn = -1;       // pushed down: non-zero where the engine decides
    int m_countColumn = -1;      // pushed down: the rows a row stands for
    qint64 m_countedTrue = 0;
    qint64 m_rowsRead = 0;
    bool m_done = false;
    bool m_hasRowAhead = false;    // the current row was read by readAhead()
    std::exception_ptr m_failure;  // raised by the next call
};

} // namespace tarnixcli
