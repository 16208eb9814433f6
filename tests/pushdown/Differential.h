#pragma once

#include "RuleGenerator.h"

#include <nvtarnix/PushDown.h>

#include "vbscript/CompiledExpression.h"

#include <QString>
#include <QVariant>

#include <array>
#include <optional>
#include <vector>

namespace pushdowntest {

// A stored value as the test writes it: SQL NULL (an invalid QVariant), a
// qint64, a double, a QString, or a QByteArray (a blob).
using StoredValue = QVariant;
using StoredRow = std::vector<StoredValue>;

// A table of one database, as the differential test writes and reads it.
struct TableShape
{
    QString name;  // "strict", "declared", "dirty", ...
    struct Column
    {
        QString name;
        QString declaration;  // the column's SQL type and collation
        nvtarnix::pushdown::Binding binding;
        // Dates: date and time texts, valid and not, at the ends of the
        // engine's range and past them, and now and then any other value.
        enum class Holds { Integers, Reals, Text, Anything, Dates } holds;
    };
    std::vector<Column> columns;
    bool strict = false;
};

struct FetchedRow
{
    int row = 0;  // 0-based
    bool flagged = false;
};

// One database engine the translations run on. The differential test runs
// the same rules through every dialect that has a database here.
class DifferentialDatabase
{
public:
    virtual ~DifferentialDatabase() = default;
    virtual nvtarnix::pushdown::SqlDialect dialect() const = 0;
    // Replaces the table with these rows.
    virtual void load(const TableShape &shape, const std::vector<StoredRow> &rows) = 0;
    // The engine's values of the loaded rows, as the host binds them.
    virtual std::vector<std::vector<vbscript::Variant>> engineRows() = 0;
    // The rows the translation fetches, with its flag; nullopt with `refusal`
    // set when the database refuses the SQL.
    virtual std::optional<std::vector<FetchedRow>> fetch(const nvtarnix::pushdown::Translation &t,
                                                        QString &refusal) = 0;
};

// The texts of dates and time stamps PostgreSQL's date and time types take
// (the infinities and dates before Christ included); the random dates also
// hold texts that are no date at all.
const QStringList &validDateTexts();

// Random rows for a table shape: 10-30 % NULLs and the boundary values.
std::vector<StoredRow> randomRows(const TableShape &shape, int count, quint64 seed);

// What the engine makes of one row: True, something else, or an error.
struct EngineVerdict
{
    bool isTrue = false;
    int error = 0;
};
EngineVerdict engineVerdict(const vbscript::CompiledExpression &rule, std::vector<vbscript::Variant> row,
                            const vbscript::RuleSettings &settings);

// A disagreement between the pipeline (SQL, then the engine on what it
// fetched and flagged) and the engine alone.
struct Mismatch
{
    QString rule;
    int row = -1;
    QString what;
};

// Runs one rule through the translation and the database and compares row
// by row; the first mismatch, if any. SQL the database refuses is one too:
// our SQL must always run. `outcomes` counts Complete, Partial and Fail.
std::optional<Mismatch> compareRule(DifferentialDatabase &db, const TableShape &shape, const QString &rule,
                                    const std::vector<std::vector<vbscript::Variant>> &engineRows,
                                    const vbscript::RuleSettings &settings, std::array<int, 3> *outcomes = nullptr);

// Cuts a failing rule and its table down: the smallest rule that still
// mismatches on the rows, then the fewest rows. Reloads `db` as it goes.
struct ShrunkCase
{
    QString rule;
    std::vector<StoredRow> rows;
    QString what;
};
ShrunkCase shrink(DifferentialDatabase &db, const TableShape &shape, RuleNode rule, std::vector<StoredRow> rows,
                  const vbscript::RuleSettings &settings);

// A kept case as one line of the regressions file, and back.
QString storedText(const StoredValue &v);
StoredValue storedValue(const QString &text);

} // namespace pushdowntest
