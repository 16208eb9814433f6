#pragma once

#include <nvtarnix/Error.h>
#include <nvtarnix/Recordset.h>

#include <QString>

// The numbered errors every recordset raises, worded once so that a host sees
// the same text for the same mistake whichever kind of recordset it supplied.
namespace nvtarnix::recordset_errors {

[[noreturn]] void raiseItemNotFound(const QString &fieldName);
[[noreturn]] void raiseNoCurrentRecord();
[[noreturn]] void raiseSortNotSupported();
[[noreturn]] void raiseInvalidArgument(const QString &detail);
[[noreturn]] void raiseConnectionInvalid(const QString &connectionName);
[[noreturn]] void raiseCommandFailed(const QString &driverText);
[[noreturn]] void raiseObjectClosed();

} // namespace nvtarnix::recordset_errors
