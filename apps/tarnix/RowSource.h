#pragma once

#include "RuleBlocks.h"
#include "SqliteRows.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <memory>
#include <vector>

namespace tarnixcli {

// Where a rule's rows come from: a table or view of an SQLite file, or the
// rows of a query on it. Each of the rule's variables reads the column of the
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

    // Fills `block` with the next rows, at most `maxRows` of them and no more
    // once their TEXT and BLOB bytes reach RowBlock::MostBytes; false
    // after the last row. Should SQLite fail on a row, the rows before it
    // come first and the failure is raised by the call after.
    bool nextBlock(RowBlock &block, int maxRows);

private:
    void bindColumns(const QStringList &columns, const QStringList &variables,
                     const QString &keyColumn, const QString &whose);

    std::unique_ptr<SqliteRows> m_rows;
    std::vector<int> m_variableColumns;  // per variable, its column
    int m_keyColumn = -1;
    qint64 m_rowsRead = 0;
    bool m_done = false;
    std::exception_ptr m_failure;  // raised by the next call
};

} // namespace tarnixcli
