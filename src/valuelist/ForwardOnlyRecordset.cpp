#include <nvtarnix/ForwardOnlyRecordset.h>

#include "valuelist/RecordsetErrors.h"
#include "valuelist/SqlQueryRunner.h"

#include <QSqlRecord>

namespace nvtarnix {

ForwardOnlyRecordset::ForwardOnlyRecordset(const QSqlDatabase &database, const QString &query,
                                           const QVariantList &bindValues)
    : m_query(openRowQuery(database, query, bindValues))
{
    m_atEnd = !m_query.next();
}

int ForwardOnlyRecordset::RecordCount() const
{
    return -1;
}

void ForwardOnlyRecordset::setSort(const QString &sort)
{
    // Clearing an order that was never set asks for nothing.
    if (!sort.trimmed().isEmpty())
        recordset_errors::raiseSortNotSupported();
}

QString ForwardOnlyRecordset::Sort() const
{
    return QString();
}

void ForwardOnlyRecordset::MoveFirst()
{
    if (!m_movedOn)
        return;
    rerunRowQuery(m_query);
    m_atEnd = !m_query.next();
    m_movedOn = false;
}

void ForwardOnlyRecordset::MoveNext()
{
    if (m_atEnd)
        recordset_errors::raiseNoCurrentRecord();
    m_atEnd = !m_query.next();
    m_movedOn = true;
}

bool ForwardOnlyRecordset::Eof() const
{
    return m_atEnd;
}

QVariant ForwardOnlyRecordset::Fields(const QString &name) const
{
    const int field = m_query.record().indexOf(name);
    if (field < 0)
        recordset_errors::raiseItemNotFound(name);
    if (m_atEnd)
        recordset_errors::raiseNoCurrentRecord();
    return recordsetValue(m_query.value(field));
}

} // namespace nvtarnix
