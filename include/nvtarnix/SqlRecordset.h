#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/MemoryRecordset.h>

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

namespace nvtarnix {

// The result of a query on any Qt SQL database, read completely when it is
// built, so that its count is known and it sorts like a MemoryRecordset. The
// field names are the query's column names.
//
//     auto codes = std::make_shared<nvtarnix::SqlRecordset>(
//         QSqlDatabase::database(), "SELECT CODE, DESCR FROM STATUS WHERE KIND = ?",
//         QVariantList{2});
//
// A database that is not open raises error 3709, a query that the database
// refuses raises -2147217900 with the database's own message, and a command
// that returns no rows (an UPDATE, say) raises 3704.
class NVTARNIX_EXPORT SqlRecordset : public MemoryRecordset
{
public:
    SqlRecordset(const QSqlDatabase &database, const QString &query, const QVariantList &bindValues = {});
};

} // namespace nvtarnix
