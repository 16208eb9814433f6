#pragma once

#include <QString>
#include <QVariant>

namespace nvtarnix::rows {

// What the database refused or stopped: its message, and whether the count
// interrupted it (SQLite's progress handler, PostgreSQL's statement timeout).
struct StatementFailure
{
    QString message;
    bool interrupted = false;
};

// The rows of one statement, read forward once, whatever the database: the
// count reads SQLite through its own interface and PostgreSQL through Qt
// Sql, and the push-down's steps are written once over both.
class StatementRows
{
public:
    virtual ~StatementRows() = default;
    // Steps to the next row; false at the end. Throws StatementFailure.
    virtual bool next() = 0;
    virtual QVariant value(int column) const = 0;
};

} // namespace nvtarnix::rows
