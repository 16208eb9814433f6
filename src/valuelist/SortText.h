#pragma once

#include <QList>
#include <QString>

namespace nvtarnix {

// One key of a recordset's sort text: a field name and its direction.
struct SortKey
{
    QString field;
    bool descending = false;

    bool operator==(const SortKey &) const = default;
};

// Reads a sort text as hosts write it for ADO: keys separated by commas, each
// a field name, optionally in square brackets, optionally followed by ASC or
// DESC (either case; ascending when left out). A blank text gives no keys.
// An empty key, an unclosed bracket or a word other than ASC or DESC after a
// bracketed name raises error 3001.
QList<SortKey> parseSortText(const QString &text);

} // namespace nvtarnix
