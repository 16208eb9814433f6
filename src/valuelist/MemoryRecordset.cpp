#include <nvtarnix/MemoryRecordset.h>

#include "valuelist/FieldValueOrder.h"
#include "valuelist/RecordsetErrors.h"
#include "valuelist/SortText.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace nvtarnix {

MemoryRecordset::MemoryRecordset(QStringList fieldNames) : m_fieldNames(std::move(fieldNames)) {}

void MemoryRecordset::addField(const QString &name)
{
    m_fieldNames.append(name);
    for (QVariantList &row : m_rows)
        row.append(QVariant());
}

void MemoryRecordset::addRow(const QVariantList &values)
{
    if (values.size() > m_fieldNames.size())
        recordset_errors::raiseInvalidArgument(
            QStringLiteral("a row of %1 values for %2 fields").arg(values.size()).arg(m_fieldNames.size()));
    QVariantList row;
    row.reserve(m_fieldNames.size());
    // Null is a QVariant that holds nothing, whatever type a caller's null
    // value was made with.
    for (const QVariant &value : values)
        row.append(value.isNull() ? QVariant() : value);
    while (row.size() < m_fieldNames.size())
        row.append(QVariant());
    m_order.append(m_rows.size());
    m_rows.append(std::move(row));
}

int MemoryRecordset::RecordCount() const
{
    return int(m_rows.size());
}

void MemoryRecordset::setSort(const QString &sort)
{
    struct ResolvedKey
    {
        qsizetype field;
        bool descending;
    };
    std::vector<ResolvedKey> keys;
    for (const SortKey &key : parseSortText(sort))
        keys.push_back({fieldIndex(key.field), key.descending});

    // Each value's place is worked out once per row rather than once per
    // comparison (numeric text is parsed and text case-folded only here), in
    // one block of row-major keys.
    const std::size_t keyCount = keys.size();
    std::vector<FieldValueOrder> sortValues;
    sortValues.reserve(std::size_t(m_rows.size()) * keyCount);
    for (const QVariantList &row : std::as_const(m_rows)) {
        for (const ResolvedKey &key : keys)
            sortValues.emplace_back(row.at(key.field));
    }

    QList<qsizetype> order(m_rows.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    // Stable, so rows with equal keys keep the order in which they came.
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const FieldValueOrder *first = sortValues.data() + std::size_t(a) * keyCount;
        const FieldValueOrder *second = sortValues.data() + std::size_t(b) * keyCount;
        for (std::size_t k = 0; k < keyCount; ++k) {
            const int c = first[k].compare(second[k]);
            if (c != 0)
                return keys[k].descending ? c > 0 : c < 0;
        }
        return false;
    });

    m_order = std::move(order);
    m_sort = sort;
    m_position = 0;
}

QString MemoryRecordset::Sort() const
{
    return m_sort;
}

void MemoryRecordset::MoveFirst()
{
    m_position = 0;
}

void MemoryRecordset::MoveNext()
{
    if (Eof())
        recordset_errors::raiseNoCurrentRecord();
    ++m_position;
}

bool MemoryRecordset::Eof() const
{
    return m_position >= m_order.size();
}

QVariant MemoryRecordset::Fields(const QString &name) const
{
    const qsizetype field = fieldIndex(name);
    if (Eof())
        recordset_errors::raiseNoCurrentRecord();
    return m_rows.at(m_order.at(m_position)).at(field);
}

qsizetype MemoryRecordset::fieldIndex(const QString &name) const
{
    for (qsizetype i = 0; i < m_fieldNames.size(); ++i) {
        if (m_fieldNames.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    recordset_errors::raiseItemNotFound(name);
}

} // namespace nvtarnix
