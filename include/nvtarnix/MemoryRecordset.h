#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/Recordset.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace nvtarnix {

// A recordset whose rows are all held in memory: a host builds it row by row,
// or a database query reads its result into one (SqlRecordset). Its count is
// always known and it sorts by any of its fields.
//
//     auto statuses = std::make_shared<nvtarnix::MemoryRecordset>(
//         QStringList{"CODE", "DESCR"});
//     statuses->addRow({1, "Open"});
//     statuses->addRow({2, "Closed"});
class NVTARNIX_EXPORT MemoryRecordset : public Recordset
{
public:
    explicit MemoryRecordset(QStringList fieldNames = {});

    // Appends a row after the last one, whatever the current order. A row with
    // fewer values than there are fields is filled up with Null; one with more
    // raises error 3001.
    void addRow(const QVariantList &values);
    void addField(const QString &name);

    QStringList fieldNames() const { return m_fieldNames; }

    int RecordCount() const override;
    void setSort(const QString &sort) override;
    QString Sort() const override;
    void MoveFirst() override;
    void MoveNext() override;
    bool Eof() const override;
    QVariant Fields(const QString &name) const override;

private:
    qsizetype fieldIndex(const QString &name) const;

    QStringList m_fieldNames;
    QList<QVariantList> m_rows;
    // Indexes into m_rows in the current order.
    QList<qsizetype> m_order;
    qsizetype m_position = 0;
    QString m_sort;
};

} // namespace nvtarnix
