#include <nvtarnix/SqlRecordset.h>

#include "valuelist/RecordsetErrors.h"
#include "valuelist/SqlQueryRunner.h"

#include <QSqlError>
#include <QSqlRecord>

namespace nvtarnix {

SqlRecordset::SqlRecordset(const QSqlDatabase &database, const QString &query, const QVariantList &bindValues)
{
    QSqlQuery rows = openRowQuery(database, query, bindValues);
    const QSqlRecord columns = rows.record();
    for (int i = 0; i < columns.count(); ++i)
        addField(columns.fieldName(i));

    QVariantList values(columns.count());
    while (rows.next()) {
        for (int i = 0; i < columns.count(); ++i)
            values[i] = recordsetValue(rows.value(i));
        addRow(values);
    }
    // A driver stops early on a read error as though the rows had ended;
    // a silently shortened list would be worse than none.
    if (rows.lastError().isValid())
        recordset_errors::raiseCommandFailed(rows.lastError().text());
}

} // namespace nvtarnix
