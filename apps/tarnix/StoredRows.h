#pragma once

#include "StoredValue.h"

#include <QStringList>

#include <vector>

namespace tarnixcli {

// The rows of one statement, read forward once: what a rule's rows are read
// from, whichever database holds them.
class StoredRows
{
public:
    virtual ~StoredRows() = default;

    // The names of the result columns, in order.
    virtual QStringList columnNames() const = 0;

    // Steps to the next row; false after the last.
    virtual bool next() = 0;

    // A column of the current row, the bytes of text and binary values
    // appended to `buffer`.
    virtual StoredValue value(int column, std::vector<char> &buffer) const = 0;
};

} // namespace tarnixcli
