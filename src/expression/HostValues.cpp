#include "expression/HostValues.h"

#include "vbscript/OleDate.h"
#include "vbscript/ScriptError.h"

#include <limits>

namespace nvtarnix::expression {

using vbscript::ScriptError;
using vbscript::Variant;

namespace {

// The serial of a date that is no day (see toEngineValue): 1/1/10000, the
// day after the last day a date holds.
constexpr double BeyondEveryDay = 2958466.0;

// Stands for a host value of a type rules do not take.
class UnsupportedValue : public vbscript::Object
{
public:
    QString typeName() const override { throw mismatch(); }
    Variant get(const QString &, std::span<Variant>) override { throw mismatch(); }
    void put(const QString &, std::span<Variant>, const Variant &, bool) override { throw mismatch(); }
    void call(const QString &, std::span<Variant>) override { throw mismatch(); }
    std::vector<Variant> enumerate() override { throw mismatch(); }

private:
    static ScriptError mismatch() { return ScriptError::runtime(vbscript::err::TypeMismatch); }
};

Variant integer(qlonglong n)
{
    if (n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max())
        return Variant(qint32(n));
    return Variant(double(n));
}

QVariant hostValueAt(const Variant &value, int depth);
QVariantList arrayToList(const vbscript::SafeArray &array, int dim, size_t base, int depth);

} // namespace

Variant toEngineValue(const QVariant &value)
{
    if (!value.isValid())
        return Variant();
    if (value.isNull())
        return Variant::null();
    switch (value.typeId()) {
    case QMetaType::Bool: return Variant(value.toBool());
    case QMetaType::Int: return Variant(qint32(value.toInt()));
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::SChar: case QMetaType::UChar:
    case QMetaType::Char: case QMetaType::UInt: case QMetaType::Long: case QMetaType::LongLong:
        return integer(value.toLongLong());
    case QMetaType::ULong: case QMetaType::ULongLong: {
        const qulonglong n = value.toULongLong();
        return n <= qulonglong(std::numeric_limits<qint32>::max()) ? Variant(qint32(n)) : Variant(double(n));
    }
    case QMetaType::Float: return Variant(value.toFloat());
    case QMetaType::Double: return Variant(value.toDouble());
    // Read in place, not copied out: a copy would count a reference on data
    // the host may share with other threads.
    case QMetaType::QString: {
        const QString &text = *static_cast<const QString *>(value.constData());
        if (text.isNull())
            return Variant(QString());
        return Variant(QString::fromRawData(text.constData(), text.size()));
    }
    case QMetaType::QByteArray:
        return Variant(QString::fromUtf8(*static_cast<const QByteArray *>(value.constData())));
    // A date that is no day is later than every day: PostgreSQL's 'infinity'
    // (and '-infinity', which Qt cannot tell from it) reaches Qt so. It
    // compares and tests as a value, as the database reads it, and any
    // arithmetic on it leaves the date range.
    case QMetaType::QDate: {
        const QDate date = value.toDate();
        return Variant::date(date.isValid() ? vbscript::OleDate::fromQDate(date) : BeyondEveryDay);
    }
    case QMetaType::QDateTime: {
        const auto &instant = *static_cast<const QDateTime *>(value.constData());
        return Variant::date(instant.isValid() ? vbscript::OleDate::fromQDateTime(instant) : BeyondEveryDay);
    }
    default: break;
    }
    return Variant(std::shared_ptr<vbscript::Object>(std::make_shared<UnsupportedValue>()));
}

QString ownedText(const QString &text)
{
    // Data that counts references is the string's own (or shared with
    // owners); a view's is not.
    if (text.isNull() || text.data_ptr().isMutable())
        return text;
    return QString(text.constData(), text.size());
}

QVariant toHostValue(const Variant &value)
{
    return hostValueAt(value, 1);
}

namespace {

// `depth`: how many arrays hold `value`, itself included when it is one.
// Arrays nested deeper than the engine converts raise 28 "Out of stack
// space", as the engine's own conversion does.
QVariant hostValueAt(const Variant &value, int depth)
{
    switch (value.type()) {
    case vbscript::VarType::Empty: return QVariant();
    case vbscript::VarType::Null: return QVariant::fromValue(nullptr);
    case vbscript::VarType::Boolean: return QVariant(value.rawBool());
    case vbscript::VarType::Byte: return QVariant(int(value.rawByte()));
    case vbscript::VarType::Integer: return QVariant(int(value.rawInteger()));
    case vbscript::VarType::Long: return QVariant(int(value.rawLong()));
    case vbscript::VarType::Single: return QVariant(value.rawSingle());
    case vbscript::VarType::Double: return QVariant(value.rawDouble());
    case vbscript::VarType::Currency: return QVariant(double(value.rawCurrency()) / 10000.0);
    case vbscript::VarType::Date: return QVariant(vbscript::OleDate::toQDateTime(value.rawDate()));
    case vbscript::VarType::String: return QVariant(ownedText(value.rawString()));
    case vbscript::VarType::Array:
        if (depth > Variant::kMaxConvertedDepth)
            throw ScriptError::runtime(vbscript::err::OutOfStackSpace);
        return value.rawArray()->dims() == 0 ? QVariantList() : arrayToList(*value.rawArray(), 0, 0, depth);
    default: throw ScriptError::runtime(vbscript::err::TypeMismatch);
    }
}

// a(i, j) becomes list[i][j]: the first dimension is the outermost list.
// Elements are stored first index fastest, so dimension d steps through the
// data by the product of the counts before it.
QVariantList arrayToList(const vbscript::SafeArray &array, int dim, size_t base, int depth)
{
    size_t stride = 1;
    for (int d = 0; d < dim; ++d)
        stride *= size_t(array.bounds[size_t(d)].count);
    const qint32 count = array.bounds[size_t(dim)].count;
    QVariantList list;
    list.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        const size_t at = base + size_t(i) * stride;
        if (dim + 1 == array.dims())
            list.append(hostValueAt(array.data[at], depth + 1));
        else
            list.append(QVariant(arrayToList(array, dim + 1, at, depth)));  // one element, not its elements
    }
    return list;
}

} // namespace

} // namespace nvtarnix::expression
