#include "valuelist/FieldValueOrder.h"

#include <QDateTime>
#include <QLocale>

namespace nvtarnix {

namespace {

bool isNumberType(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

// Dates, times and date-times share one scale so that a column of mixed
// date types still sorts chronologically.
double dateTimeScale(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return double(value.toDate().startOfDay(Qt::UTC).toMSecsSinceEpoch());
    case QMetaType::QTime:
        return double(value.toTime().msecsSinceStartOfDay());
    default:
        return double(value.toDateTime().toMSecsSinceEpoch());
    }
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

FieldValueOrder::FieldValueOrder(const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        m_rank = Rank::Null;
        return;
    }
    if (isNumberType(value)) {
        m_number = value.toDouble();
        // NaN has no place among numbers; letting it in would break the order
        // that sorting relies on.
        m_rank = qIsNaN(m_number) ? Rank::Null : Rank::Number;
        return;
    }
    const int type = value.typeId();
    if (type == QMetaType::QDate || type == QMetaType::QTime || type == QMetaType::QDateTime) {
        m_rank = Rank::DateTime;
        m_number = dateTimeScale(value);
        return;
    }
    m_text = value.toString();
    bool isNumber = false;
    const double number = QLocale::c().toDouble(m_text.trimmed(), &isNumber);
    if (isNumber && qIsFinite(number)) {
        m_rank = Rank::Number;
        m_number = number;
        return;
    }
    m_rank = Rank::Text;
    m_folded = m_text.toCaseFolded();
}

int FieldValueOrder::compare(const FieldValueOrder &other) const
{
    if (m_rank != other.m_rank)
        return m_rank < other.m_rank ? -1 : 1;
    switch (m_rank) {
    case Rank::Null:
        return 0;
    case Rank::Number:
    case Rank::DateTime:
        return compareNumbers(m_number, other.m_number);
    case Rank::Text:
        break;
    }
    const int folded = m_folded.compare(other.m_folded);
    if (folded != 0)
        return folded;
    return m_text.compare(other.m_text);
}

} // namespace nvtarnix
