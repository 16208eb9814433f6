#pragma once

#include <nvtarnix/Language.h>
#include <nvtarnix/RowSource.h>

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <atomic>

// A rule counted against the host's rows, without a window: how many rows it
// selects of how many, the first rows it selects and the first rows on which
// it fails. It runs on any thread; a cancel flag set from another thread
// stops it at the next row (or, inside SQLite, at the next few hundred steps
// of the statement; inside PostgreSQL, by the server cancelling it).

namespace nvtarnix::rows {

struct RowCountJob
{
    // The rule in database form: its variables are the row source's columns.
    QString databaseText;
    RowSource source;
    // How text, numbers and dates convert, as the host's own runs convert.
    QLocale locale = QLocale::system();
    // The language of the errors' texts.
    int language = GreekLanguage;
    // The instant Now, Date and Time read on every row (invalid: the clock).
    QDateTime now;
    // The bound of one row's evaluation, as the check's.
    int rowTimeoutMs = 5000;
    // How many selected and failing rows to keep.
    int keptRows = 20;
    // Off: the engine evaluates every row even where the database could count.
    bool pushDown = true;
};

// A row kept to show: the values of the rule's variables, in their order,
// and for a failing row the error.
struct CountedRow
{
    QVariantList values;
    int errorNumber = 0;
    QString error;
};

struct RowCount
{
    enum class Kind {
        NoText,       // nothing written
        Condition,    // True, False or Null on every row evaluated
        Value,        // computes something else
        CannotRun,    // does not compile, or reads what is no column
        Unavailable,  // the rows cannot be read
        Cancelled,    // a newer edit stopped it
    };
    Kind kind = Kind::NoText;
    qint64 selected = 0;  // rows whose result is True, as If takes it
    qint64 failed = 0;    // rows on which it raised an error
    qint64 rows = 0;      // rows counted: all of them unless `bounded`
    // The time limit came first: the figures are those of the first `rows`.
    bool bounded = false;
    // The database (SQLite, PostgreSQL) counted the rows the translation
    // decides.
    bool inDatabase = false;
    // Why it cannot run, or why the rows cannot be read.
    int errorNumber = 0;
    QString error;
    // The rule's variables, the columns of the kept rows.
    QStringList columns;
    QList<CountedRow> selectedRows;
    QList<CountedRow> failedRows;
};

RowCount countRows(const RowCountJob &job, const std::atomic_bool *cancel);

} // namespace nvtarnix::rows

Q_DECLARE_METATYPE(nvtarnix::rows::RowCount)
