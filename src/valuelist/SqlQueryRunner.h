#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace nvtarnix {

// Prepares and runs a row-returning query, reading forward only, and turns
// every way it can fail into the recordsets' numbered errors.
QSqlQuery openRowQuery(const QSqlDatabase &database, const QString &query, const QVariantList &bindValues);

// Runs an already prepared query again from its first row.
void rerunRowQuery(QSqlQuery &query);

// A column value as the recordsets hand it out: a SQL NULL is a QVariant
// that holds nothing.
inline QVariant recordsetValue(const QVariant &value)
{
    return value.isNull() ? QVariant() : value;
}

} // namespace nvtarnix
