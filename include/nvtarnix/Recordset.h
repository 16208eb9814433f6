#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/Error.h>

#include <QString>
#include <QVariant>

namespace nvtarnix {

// The rows a host hands to the value list: what the component needs of a
// recordset, with the names and the behaviour hosts know from ADO.
//
// A recordset has a current position. It starts on the first row; MoveNext
// walks towards the end, and Eof() turns true once the position is past the
// last row (at once for an empty recordset). Fields() reads a column of the
// current row by name, compared without regard to case; a null QVariant is
// Null. Every failure is an nvtarnix::Error with one of the numbers below.
class NVTARNIX_EXPORT Recordset
{
public:
    // The value-list numbers of <nvtarnix/Error.h>, by their short names.
    enum ErrorNumber : int {
        InvalidArgument = errors::ValueListInvalidArgument,
        NoCurrentRecord = errors::ValueListNoCurrentRecord,
        SortNotSupported = errors::ValueListSortNotSupported,
        ItemNotFound = errors::ValueListItemNotFound,
        ObjectClosed = errors::ValueListObjectClosed,
        ConnectionInvalid = errors::ValueListConnectionInvalid,
        CommandFailed = errors::ValueListCommandFailed,
    };

    virtual ~Recordset() = default;

    // The number of rows, or -1 when the recordset cannot tell before it has
    // been read to the end.
    virtual int RecordCount() const = 0;

    // The order of the rows: "field", "field ASC" or "field DESC", several
    // keys separated by commas, the first key deciding first. A field name
    // may stand in square brackets ("[Order Date] DESC"). An empty text
    // returns the rows to the order in which they came. Setting an order
    // moves to the first row. Sort() gives back the text as it was set.
    virtual void setSort(const QString &sort) = 0;
    virtual QString Sort() const = 0;

    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;

    // True when the position is past the last row. (ADO calls this EOF, a
    // name the C library has already taken as a macro.)
    virtual bool Eof() const = 0;

    // The value of a field of the current row; a null QVariant is Null.
    virtual QVariant Fields(const QString &name) const = 0;

protected:
    Recordset() = default;
    Recordset(const Recordset &) = default;
    Recordset &operator=(const Recordset &) = default;
};

} // namespace nvtarnix
