#include "valuelist/RecordsetErrors.h"

namespace nvtarnix::recordset_errors {

namespace {

const QString &source()
{
    static const QString text = QStringLiteral("nvTarnix.Recordset");
    return text;
}

} // namespace

void raiseItemNotFound(const QString &fieldName)
{
    throw Error(Recordset::ItemNotFound, source(),
                QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                               "name or ordinal. (Field \"%1\")")
                    .arg(fieldName));
}

void raiseNoCurrentRecord()
{
    throw Error(Recordset::NoCurrentRecord, source(),
                QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                               "Requested operation requires a current record."));
}

void raiseSortNotSupported()
{
    throw Error(Recordset::SortNotSupported, source(),
                QStringLiteral("Current provider does not support the necessary interface for "
                               "sorting or filtering."));
}

void raiseInvalidArgument(const QString &detail)
{
    throw Error(Recordset::InvalidArgument, source(),
                QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or are "
                               "in conflict with one another. (%1)")
                    .arg(detail));
}

void raiseConnectionInvalid(const QString &connectionName)
{
    throw Error(Recordset::ConnectionInvalid, source(),
                QStringLiteral("The connection cannot be used to perform this operation. It is either "
                               "closed or invalid in this context. (Connection \"%1\")")
                    .arg(connectionName));
}

void raiseCommandFailed(const QString &driverText)
{
    throw Error(Recordset::CommandFailed, source(), driverText);
}

void raiseObjectClosed()
{
    throw Error(Recordset::ObjectClosed, source(),
                QStringLiteral("Operation is not allowed when the object is closed. (The command "
                               "returned no rows.)"));
}

} // namespace nvtarnix::recordset_errors
