#include "vbscript/Variant.h"

#include "vbscript/NumberText.h"
#include "vbscript/OleDate.h"
#include "vbscript/Rounding.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>
#include <cstdlib>

namespace vbscript {

namespace {

constexpr double kCurrencyScale = 10000.0;
// Largest and smallest Currency values as doubles, scaled
constexpr double kCurrencyMax = 922337203685477.5807;
constexpr double kCurrencyMin = -922337203685477.5808;

qint64 roundedInRange(double d, double lo, double hi)
{
    if (std::isnan(d))
        raise(err::Overflow);
    const double r = roundHalfEven(d);
    if (r < lo || r > hi)
        raise(err::Overflow);
    return qint64(r);
}

// Currency to integer types rounds half to even on the scaled value.
qint64 currencyToInteger(qint64 cy)
{
    return divideRoundHalfEven(cy, 10000);
}

} // namespace

QString Variant::typeName() const
{
    switch (m_type) {
    case VarType::Empty: return QStringLiteral("Empty");
    case VarType::Null: return QStringLiteral("Null");
    case VarType::Integer: return QStringLiteral("Integer");
    case VarType::Long: return QStringLiteral("Long");
    case VarType::Single: return QStringLiteral("Single");
    case VarType::Double: return QStringLiteral("Double");
    case VarType::Currency: return QStringLiteral("Currency");
    case VarType::Date: return QStringLiteral("Date");
    case VarType::String: return QStringLiteral("String");
    case VarType::Object: return m_o ? m_o->typeName() : QStringLiteral("Nothing");
    case VarType::Error: return QStringLiteral("Error");
    case VarType::Boolean: return QStringLiteral("Boolean");
    case VarType::Byte: return QStringLiteral("Byte");
    case VarType::Array: return QStringLiteral("Variant()");
    default: return QStringLiteral("Unknown");
    }
}

void Variant::destroyPayload() noexcept
{
    switch (m_type) {
    case VarType::String: m_s.~QString(); break;
    case VarType::Object: m_o.~shared_ptr(); break;
    case VarType::Array: m_a.~shared_ptr(); break;
    default: break;
    }
}

bool Variant::isNumber() const noexcept
{
    switch (m_type) {
    case VarType::Boolean: case VarType::Byte: case VarType::Integer: case VarType::Long:
    case VarType::Single: case VarType::Double: case VarType::Currency: case VarType::Date:
        return true;
    default:
        return false;
    }
}

Variant Variant::valueOf() const
{
    if (m_type != VarType::Object)
        return *this;
    if (!m_o)
        raise(err::ObjectVariableNotSet);
    Variant v = m_o->get(QString(), {});
    if (v.isObject())
        return v.valueOf();
    return v;
}

SafeArray &Variant::arrayForWrite()
{
    if (m_a.use_count() > 1)
        m_a = std::make_shared<SafeArray>(*m_a);
    return *m_a;
}

// The value as a double for conversions; strings through the locale.
double Variant::numberOrThrow(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Empty: return 0;
    case VarType::Null: raise(err::InvalidUseOfNull);
    case VarType::Boolean: return m_v.b ? -1 : 0;
    case VarType::Byte: return m_v.by;
    case VarType::Integer: return m_v.i;
    case VarType::Long: return m_v.l;
    case VarType::Single: return m_v.f;
    case VarType::Double: return m_v.d;
    case VarType::Currency: return double(m_v.cy) / kCurrencyScale;
    case VarType::Date: return m_v.d;
    case VarType::String: {
        double d = 0;
        if (!parseNumber(m_s, locale, &d))
            raise(err::TypeMismatch);
        return d;
    }
    case VarType::Object: return valueOf().numberOrThrow(locale);
    default: raise(err::TypeMismatch);
    }
}

bool Variant::toBool(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Boolean: return m_v.b;
    case VarType::String: {
        const QString t = m_s.trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0
            || t.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0
            || t.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0)
            return false;
        return numberOrThrow(locale) != 0;
    }
    case VarType::Currency: return m_v.cy != 0;
    default: return numberOrThrow(locale) != 0;
    }
}

quint8 Variant::toByte(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Byte: return m_v.by;
    // True keeps its bit pattern: CByte(True) is 255 in the Windows engine.
    case VarType::Boolean: return m_v.b ? 255 : 0;
    case VarType::Currency: {
        const qint64 v = currencyToInteger(m_v.cy);
        if (v < 0 || v > 255)
            raise(err::Overflow);
        return quint8(v);
    }
    default: return quint8(roundedInRange(numberOrThrow(locale), 0, 255));
    }
}

qint16 Variant::toInteger(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Integer: return m_v.i;
    case VarType::Byte: return m_v.by;
    case VarType::Boolean: return m_v.b ? -1 : 0;
    case VarType::Currency: {
        const qint64 v = currencyToInteger(m_v.cy);
        if (v < -32768 || v > 32767)
            raise(err::Overflow);
        return qint16(v);
    }
    default: return qint16(roundedInRange(numberOrThrow(locale), -32768, 32767));
    }
}

qint32 Variant::toLong(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Long: return m_v.l;
    case VarType::Integer: return m_v.i;
    case VarType::Byte: return m_v.by;
    case VarType::Boolean: return m_v.b ? -1 : 0;
    case VarType::Currency: {
        const qint64 v = currencyToInteger(m_v.cy);
        if (v < INT32_MIN || v > INT32_MAX)
            raise(err::Overflow);
        return qint32(v);
    }
    default: return qint32(roundedInRange(numberOrThrow(locale), -2147483648.0, 2147483647.0));
    }
}

float Variant::toSingle(const ScriptLocale &locale) const
{
    if (m_type == VarType::Single)
        return m_v.f;
    const double d = numberOrThrow(locale);
    if (std::fabs(d) > double(FLT_MAX))
        raise(err::Overflow);
    return float(d);
}

double Variant::toDouble(const ScriptLocale &locale) const
{
    if (m_type == VarType::Double)
        return m_v.d;
    return numberOrThrow(locale);
}

qint64 Variant::toCurrency(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Currency: return m_v.cy;
    case VarType::Byte: return qint64(m_v.by) * 10000;
    case VarType::Integer: return qint64(m_v.i) * 10000;
    case VarType::Long: return qint64(m_v.l) * 10000;
    case VarType::Boolean: return m_v.b ? -10000 : 0;
    default: {
        const double d = numberOrThrow(locale);
        if (std::isnan(d) || d > kCurrencyMax || d < kCurrencyMin)
            raise(err::Overflow);
        const double scaled = roundHalfEven(d * kCurrencyScale);
        if (scaled >= 9.2233720368547758e18 || scaled < -9.2233720368547758e18)
            raise(err::Overflow);
        return qint64(scaled);
    }
    }
}

double Variant::toDate(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Date: return m_v.d;
    case VarType::String: {
        if (auto d = OleDate::parse(m_s, locale))
            return *d;
        double n = 0;
        if (parseNumber(m_s, locale, &n) && OleDate::isValidSerial(n))
            return n;
        raise(err::TypeMismatch);
    }
    default: {
        const double d = numberOrThrow(locale);
        if (!OleDate::isValidSerial(d))
            raise(err::Overflow);
        return d;
    }
    }
}

QString Variant::toString(const ScriptLocale &locale) const
{
    switch (m_type) {
    case VarType::Empty: return QString();
    case VarType::Null: raise(err::InvalidUseOfNull);
    case VarType::Boolean: return m_v.b ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Byte: return QString::number(m_v.by);
    case VarType::Integer: return QString::number(m_v.i);
    case VarType::Long: return QString::number(m_v.l);
    case VarType::Single: return formatSingle(m_v.f, locale);
    case VarType::Double: return formatDouble(m_v.d, locale);
    case VarType::Currency: return formatCurrency(m_v.cy, locale);
    case VarType::Date: return OleDate::format(m_v.d, locale);
    case VarType::String: return m_s;
    case VarType::Object: return valueOf().toString(locale);
    default: raise(err::TypeMismatch);
    }
}

Variant Variant::fromQVariant(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return Variant::null();
    switch (v.typeId()) {
    case QMetaType::Bool: return Variant(v.toBool());
    case QMetaType::UChar: return Variant(quint8(v.toUInt()));
    case QMetaType::Short: case QMetaType::SChar: return Variant(qint16(v.toInt()));
    case QMetaType::Int: return Variant(qint32(v.toInt()));
    case QMetaType::UShort: return Variant(qint32(v.toInt()));
    case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Long: case QMetaType::ULong: {
        const qlonglong n = v.toLongLong();
        if (n >= INT32_MIN && n <= INT32_MAX)
            return Variant(qint32(n));
        return Variant(double(n));
    }
    case QMetaType::Float: return Variant(v.toFloat());
    case QMetaType::Double: return Variant(v.toDouble());
    case QMetaType::QString: return Variant(v.toString());
    case QMetaType::QDate: return Variant::date(OleDate::fromQDate(v.toDate()));
    case QMetaType::QDateTime: return Variant::date(OleDate::fromQDateTime(v.toDateTime()));
    case QMetaType::QTime: {
        const QTime t = v.toTime();
        return Variant::date(OleDate::timeSerial(t.hour(), t.minute(), t.second()));
    }
    default:
        if (v.canConvert<QString>())
            return Variant(v.toString());
        raise(err::VariableUsesUnsupportedType);
    }
}

QVariant Variant::toQVariant() const
{
    switch (m_type) {
    case VarType::Empty: return QVariant(QString());  // an empty value, unlike Null
    case VarType::Null: return QVariant();
    case VarType::Boolean: return QVariant(m_v.b);
    case VarType::Byte: return QVariant::fromValue<uchar>(m_v.by);
    case VarType::Integer: return QVariant::fromValue<short>(m_v.i);
    case VarType::Long: return QVariant(int(m_v.l));
    case VarType::Single: return QVariant(m_v.f);
    case VarType::Double: return QVariant(m_v.d);
    case VarType::Currency: return QVariant(double(m_v.cy) / kCurrencyScale);
    case VarType::Date: return QVariant(OleDate::toQDateTime(m_v.d));
    case VarType::String: return QVariant(m_s);
    case VarType::Array: return arrayToQVariant(*m_a, 1);
    default: return QVariant();
    }
}

void Variant::requireConvertibleDepth(const Variant &v)
{
    if (!v.isArray())
        return;
    struct Step
    {
        const SafeArray *array;
        size_t next = 0;
        int height = 1;  // of the arrays measured below it so far, itself included
    };
    std::vector<Step> path{{v.m_a.get()}};
    QHash<const SafeArray *, int> measured;
    while (true) {
        Step &step = path.back();
        if (step.next == step.array->data.size()) {
            const int height = step.height;
            measured.insert(step.array, height);
            path.pop_back();
            if (path.empty())
                return;
            path.back().height = std::max(path.back().height, height + 1);
            continue;
        }
        const Variant &e = step.array->data[step.next++];
        if (!e.isArray())
            continue;
        const int below = measured.value(e.m_a.get(), 0);
        if (int(path.size()) + std::max(below, 1) > kMaxConvertedDepth)
            raise(err::OutOfStackSpace);
        if (below > 0)
            step.height = std::max(step.height, below + 1);
        else
            path.push_back({e.m_a.get()});
    }
}

QVariant Variant::arrayToQVariant(const SafeArray &array, int depth)
{
    if (depth > kMaxConvertedDepth)
        raise(err::OutOfStackSpace);
    QVariantList list;
    list.reserve(qsizetype(array.data.size()));
    for (const Variant &e : array.data)
        list.append(e.isArray() ? arrayToQVariant(*e.m_a, depth + 1) : e.toQVariant());
    return list;
}

// ---- arrays

SafeArray::~SafeArray()
{
    releaseInTurn(data);
}

namespace {
// The queue of the outermost release running on this thread, if any. A plain
// pointer to a local: nothing to destroy when the thread or process ends.
thread_local std::vector<Variant> *t_releaseQueue = nullptr;
} // namespace

void releaseInTurn(std::span<Variant> values) noexcept
{
    auto queueUp = [&values](std::vector<Variant> &queue) {
        for (Variant &v : values)
            if (v.isArray() || v.isObject())
                queue.push_back(std::exchange(v, Variant()));
    };
    if (t_releaseQueue) {
        queueUp(*t_releaseQueue);
        return;
    }
    std::vector<Variant> queue;
    t_releaseQueue = &queue;
    queueUp(queue);
    while (!queue.empty()) {
        Variant last = std::move(queue.back());
        queue.pop_back();
        last = Variant();  // may release more, which queue here instead of nesting
    }
    t_releaseQueue = nullptr;
}


size_t SafeArray::offsetOf(std::span<const qint32> indices) const
{
    // A dynamic array that no ReDim has sized yet has no dimensions and so
    // no element, not even at no indices.
    if (indices.size() != bounds.size() || bounds.empty())
        raise(err::SubscriptOutOfRange);
    size_t offset = 0;
    size_t stride = 1;
    for (size_t d = 0; d < bounds.size(); ++d) {
        const qint64 i = qint64(indices[d]) - bounds[d].lower;
        if (i < 0 || i >= bounds[d].count)
            raise(err::SubscriptOutOfRange);
        offset += size_t(i) * stride;
        stride *= size_t(bounds[d].count);
    }
    return offset;
}

std::shared_ptr<SafeArray> SafeArray::create(std::span<const qint32> ubounds, size_t maxElements)
{
    auto a = std::make_shared<SafeArray>();
    size_t total = 1;
    for (qint32 ub : ubounds) {
        if (ub < -1)
            raise(err::SubscriptOutOfRange);
        const size_t count = size_t(qint64(ub) + 1);
        a->bounds.push_back(Bound{0, qint32(count)});
        total *= count;
        if (total > maxElements)
            raise(err::OutOfMemory);
    }
    a->data.resize(ubounds.empty() ? 0 : total);
    return a;
}

// ---- objects

Object::~Object() = default;

Variant Object::get(const QString &, std::span<Variant>)
{
    raise(err::ObjectDoesntSupportProperty);
}

void Object::put(const QString &, std::span<Variant>, const Variant &, bool)
{
    raise(err::ObjectDoesntSupportProperty);
}

void Object::call(const QString &name, std::span<Variant> args)
{
    get(name, args);
}

std::vector<Variant> Object::enumerate()
{
    raise(err::ObjectNotCollection);
}

} // namespace vbscript
