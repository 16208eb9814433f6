#include "valuelist/SqlQueryRunner.h"

#include "valuelist/RecordsetErrors.h"

#include <QSqlError>

namespace nvtarnix {

QSqlQuery openRowQuery(const QSqlDatabase &database, const QString &query, const QVariantList &bindValues)
{
    if (!database.isValid() || !database.isOpen())
        recordset_errors::raiseConnectionInvalid(database.connectionName());

    QSqlQuery result(database);
    result.setForwardOnly(true);
    if (!result.prepare(query))
        recordset_errors::raiseCommandFailed(result.lastError().text());
    for (const QVariant &value : bindValues)
        result.addBindValue(value);
    rerunRowQuery(result);
    return result;
}

void rerunRowQuery(QSqlQuery &query)
{
    if (!query.exec())
        recordset_errors::raiseCommandFailed(query.lastError().text());
    if (!query.isSelect())
        recordset_errors::raiseObjectClosed();
}

} // namespace nvtarnix
