#pragma once

#include "StoredValue.h"

#include "vbscript/CompiledExpression.h"

#include <QByteArray>

#include <vector>

namespace tarnixcli {

// A run of consecutive rows, read together and evaluated together by one
// worker thread: the unit in which rows travel between threads. Blocks are
// used over and over, so that reading rows allocates no memory once the first
// few blocks have grown to size.
struct RowBlock
{
    qint64 firstRow = 0;  // 1-based number of the block's first row
    int width = 0;        // values per row: one per variable of the rule
    // The rows' values one row after the other, rows * width in all, as
    // SQLite gave them; TEXT and BLOB bytes in `bytes`.
    std::vector<StoredValue> values;
    // Each row's key, when the rows have a key column; else the rows are
    // known by their numbers.
    std::vector<StoredValue> keys;
    std::vector<char> bytes;
    // When the database chose the rows: each row's number in the source, and
    // whether its SQL already found it True (the engine need not run it).
    std::vector<qint64> rowNumbers;
    std::vector<quint8> decidedTrue;
    int rows = 0;
    // Rows whose outcome has been made: a block whose results are large is
    // evaluated in parts (evaluateBlock).
    int evaluated = 0;

    // The TEXT and BLOB bytes a block takes before it ends, whatever its
    // rows: blocks in flight then hold a bounded amount however wide the
    // cells. And what an outcome's lines hold before a part of a block ends.
    static constexpr size_t MostBytes = 4 * 1024 * 1024;

    // Empties the block for the next rows, keeping the memory it has, up to
    // a few times MostBytes: one row of huge cells must not leave every
    // block that ever held it that large.
    void clear();
    bool finished() const { return evaluated >= rows; }
};

// What a block's rows gave.
struct BlockOutcome
{
    // For every row, one line in row order: "KEY<TAB>TypeName<TAB>value", or
    // for a row whose evaluation failed "KEY<TAB>error<TAB>NUMBER<TAB>DESCRIPTION".
    // For the matching rows, the key of each True row, one a line.
    QByteArray lines;
    // When counting or matching, the lines of failed rows, for standard error.
    QByteArray errorLines;
    qint64 trueRows = 0;    // rows whose result is True as If takes it
    qint64 failedRows = 0;
    qint64 evaluatedRows = 0;  // rows the engine ran (the others the database decided)
    int rows = 0;              // rows evaluated for this outcome
};

enum class BlockReport {
    EveryRow,  // a line for every row
    Count,     // count the True results; lines only for the failures
    Matching,  // the keys of the True rows; lines for the failures apart
};

// Evaluates the rule over the block's rows from the first not yet evaluated,
// until the last or until the lines hold RowBlock::MostBytes, so that rows
// with large results are handed on in parts. A failing row is reported and
// the next row runs: one bad value must not hide the answers for the rest.
BlockOutcome evaluateBlock(const vbscript::CompiledExpression &rule,
                           const vbscript::RuleSettings &settings, RowBlock &block,
                           BlockReport report);

} // namespace tarnixcli
