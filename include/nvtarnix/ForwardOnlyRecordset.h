#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/Recordset.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace nvtarnix {

// A query result read row by row straight from the database, for lists too
// long to hold in memory. Like a forward-only cursor it cannot tell its count
// (RecordCount is -1) and cannot sort (setSort raises error 3251); MoveFirst
// after the first row runs the query again. Opening errors are those of
// SqlRecordset.
class NVTARNIX_EXPORT ForwardOnlyRecordset : public Recordset
{
public:
    ForwardOnlyRecordset(const QSqlDatabase &database, const QString &query, const QVariantList &bindValues = {});

    int RecordCount() const override;
    void setSort(const QString &sort) override;
    QString Sort() const override;
    void MoveFirst() override;
    void MoveNext() override;
    bool Eof() const override;
    QVariant Fields(const QString &name) const override;

private:
    QSqlQuery m_query;
    bool m_atEnd = true;
    bool m_movedOn = false;
};

} // namespace nvtarnix
