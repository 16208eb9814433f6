#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <span>
#include <vector>

namespace vbscript {

class Object;
struct SafeArray;
class ScriptLocale;

// VBScript's subtypes, numbered as VarType returns them.
enum class VarType : quint16 {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,  // only for a missing optional argument
    Boolean = 11,
    Variant = 12,
    Byte = 17,
    Array = 8204,  // vbArray + vbVariant: every script array holds Variants
};

// GCC cannot follow which union member the type tag selects and warns about
// members it believes uninitialised; the tag guarantees they are not.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// One VBScript value. Numbers are held unboxed; strings, objects and arrays
// share their payload (arrays copy on write, because assigning an array in
// VBScript copies it).
class Variant
{
public:
    Variant() noexcept : m_type(VarType::Empty) { m_v.l = 0; }
    Variant(bool b) noexcept : m_type(VarType::Boolean) { m_v.b = b; }
    Variant(quint8 b) noexcept : m_type(VarType::Byte) { m_v.by = b; }
    Variant(qint16 i) noexcept : m_type(VarType::Integer) { m_v.i = i; }
    Variant(qint32 l) noexcept : m_type(VarType::Long) { m_v.l = l; }
    Variant(float f) noexcept : m_type(VarType::Single) { m_v.f = f; }
    Variant(double d) noexcept : m_type(VarType::Double) { m_v.d = d; }
    Variant(const QString &s) : m_type(VarType::String) { new (&m_s) QString(s); }
    Variant(QString &&s) noexcept : m_type(VarType::String) { new (&m_s) QString(std::move(s)); }
    Variant(const char *s) : Variant(QString::fromUtf8(s)) {}
    Variant(std::shared_ptr<Object> o) noexcept : m_type(VarType::Object)
    {
        new (&m_o) std::shared_ptr<Object>(std::move(o));
    }
    Variant(std::shared_ptr<SafeArray> a) noexcept : m_type(VarType::Array)
    {
        new (&m_a) std::shared_ptr<SafeArray>(std::move(a));
    }

    static Variant null() { Variant v; v.m_type = VarType::Null; return v; }
    static Variant nothing() { return Variant(std::shared_ptr<Object>()); }
    static Variant missing() { Variant v; v.m_type = VarType::Error; return v; }
    static Variant currency(qint64 scaled) { Variant v; v.m_type = VarType::Currency; v.m_v.cy = scaled; return v; }
    static Variant date(double serial) { Variant v; v.m_type = VarType::Date; v.m_v.d = serial; return v; }

    Variant(const Variant &o) : m_type(o.m_type) { copyFrom(o); }
    Variant(Variant &&o) noexcept : m_type(o.m_type) { moveFrom(std::move(o)); }
    Variant &operator=(const Variant &o)
    {
        if (this != &o) {
            if (m_type == o.m_type && m_type == VarType::Long) {
                m_v.l = o.m_v.l;
                return *this;
            }
            Variant tmp(o);
            *this = std::move(tmp);
        }
        return *this;
    }
    Variant &operator=(Variant &&o) noexcept
    {
        if (this != &o) {
            destroy();
            m_type = o.m_type;
            moveFrom(std::move(o));
        }
        return *this;
    }
    ~Variant() { destroy(); }

    // The value a variable of VarType `t` gets from Dim (Empty) or ReDim.
    VarType type() const noexcept { return m_type; }
    int varType() const noexcept { return int(m_type); }
    QString typeName() const;

    bool isEmpty() const noexcept { return m_type == VarType::Empty; }
    bool isNull() const noexcept { return m_type == VarType::Null; }
    bool isMissing() const noexcept { return m_type == VarType::Error; }
    bool isString() const noexcept { return m_type == VarType::String; }
    bool isObject() const noexcept { return m_type == VarType::Object; }
    bool isNothing() const noexcept { return m_type == VarType::Object && !m_o; }
    bool isArray() const noexcept { return m_type == VarType::Array; }
    // Boolean, Byte, Integer, Long, Single, Double, Currency, Date
    bool isNumber() const noexcept;
    bool isIntegral() const noexcept
    {
        return m_type == VarType::Byte || m_type == VarType::Integer || m_type == VarType::Long;
    }

    // Raw payloads; only valid for the matching type.
    bool rawBool() const noexcept { return m_v.b; }
    quint8 rawByte() const noexcept { return m_v.by; }
    qint16 rawInteger() const noexcept { return m_v.i; }
    qint32 rawLong() const noexcept { return m_v.l; }
    float rawSingle() const noexcept { return m_v.f; }
    double rawDouble() const noexcept { return m_v.d; }
    qint64 rawCurrency() const noexcept { return m_v.cy; }
    double rawDate() const noexcept { return m_v.d; }
    const QString &rawString() const noexcept { return m_s; }
    const std::shared_ptr<Object> &rawObject() const noexcept { return m_o; }
    const std::shared_ptr<SafeArray> &rawArray() const noexcept { return m_a; }
    // The array for writing: copied first when another variable shares it.
    SafeArray &arrayForWrite();

    // VBScript's conversion functions. Each throws ScriptError 6 (Overflow),
    // 13 (Type mismatch), 94 (Invalid use of Null) or 91 (Nothing) as CBool,
    // CByte, CInt, CLng, CSng, CDbl, CCur, CDate and CStr do. Text is read
    // and written in `locale`: in a run, the running engine's (see
    // ExecContext); elsewhere whichever the host means.
    bool toBool(const ScriptLocale &locale) const;
    quint8 toByte(const ScriptLocale &locale) const;
    qint16 toInteger(const ScriptLocale &locale) const;
    qint32 toLong(const ScriptLocale &locale) const;
    float toSingle(const ScriptLocale &locale) const;
    double toDouble(const ScriptLocale &locale) const;
    qint64 toCurrency(const ScriptLocale &locale) const;  // scaled by 10,000
    double toDate(const ScriptLocale &locale) const;
    QString toString(const ScriptLocale &locale) const;

    // An object's default value, or the value itself. Arrays stay arrays.
    Variant valueOf() const;

    // Null QVariant -> Null; bool, integers, doubles, QString, QDate/QDateTime
    // to their subtypes; anything else through its string form.
    static Variant fromQVariant(const QVariant &v);
    // An array becomes a QVariantList of its elements. One nested deeper than
    // kMaxConvertedDepth raises 28 "Out of stack space": a QVariant that deep
    // could be neither made nor freed without recursing as deep.
    QVariant toQVariant() const;
    static constexpr int kMaxConvertedDepth = 256;
    // Raises 28 when `v` is an array nested deeper than kMaxConvertedDepth,
    // without recursing: the engine's answer to a host, whether the host
    // converts it or shows it, is one it could convert. An array held many
    // times over (a = Array(a, a)) is measured once.
    static void requireConvertibleDepth(const Variant &v);

private:
    void copyFrom(const Variant &o)
    {
        switch (m_type) {
        case VarType::String: new (&m_s) QString(o.m_s); break;
        case VarType::Object: new (&m_o) std::shared_ptr<Object>(o.m_o); break;
        case VarType::Array: new (&m_a) std::shared_ptr<SafeArray>(o.m_a); break;
        default: m_v = o.m_v; break;
        }
    }
    void moveFrom(Variant &&o) noexcept
    {
        switch (m_type) {
        case VarType::String: new (&m_s) QString(std::move(o.m_s)); break;
        case VarType::Object: new (&m_o) std::shared_ptr<Object>(std::move(o.m_o)); break;
        case VarType::Array: new (&m_a) std::shared_ptr<SafeArray>(std::move(o.m_a)); break;
        default: m_v = o.m_v; break;
        }
    }
    void destroy() noexcept
    {
        if (m_type == VarType::String || m_type == VarType::Object || m_type == VarType::Array)
            destroyPayload();
        m_type = VarType::Empty;
    }
    void destroyPayload() noexcept;
    static QVariant arrayToQVariant(const SafeArray &array, int depth);
    double numberOrThrow(const ScriptLocale &locale) const;

    VarType m_type;
    union Scalar {
        bool b;
        quint8 by;
        qint16 i;
        qint32 l;
        float f;
        double d;
        qint64 cy;
    };
    union {
        Scalar m_v;
        QString m_s;
        std::shared_ptr<Object> m_o;
        std::shared_ptr<SafeArray> m_a;
    };
};

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// A script array: any number of dimensions, each with its lower bound (0 in
// VBScript) and element count; elements stored first index fastest.
struct SafeArray
{
    struct Bound { qint32 lower = 0; qint32 count = 0; };
    std::vector<Bound> bounds;
    std::vector<Variant> data;
    bool fixed = false;  // Dim a(3) is fixed; Dim a() and ReDim make dynamic arrays
    int locks = 0;       // a For Each over it, for example

    SafeArray() = default;
    SafeArray(const SafeArray &) = default;
    SafeArray &operator=(const SafeArray &) = default;
    ~SafeArray();

    int dims() const { return int(bounds.size()); }
    qint32 ubound(int dim) const { return bounds[dim].lower + bounds[dim].count - 1; }
    // Element offset of the given indices; throws 9 when out of range or of
    // the wrong dimension count.
    size_t offsetOf(std::span<const qint32> indices) const;

    // A new dynamic array with upper bounds `ubounds` (lower bounds 0); throws
    // 9 for a bound below -1 and 7 past `maxElements`.
    static std::shared_ptr<SafeArray> create(std::span<const qint32> ubounds, size_t maxElements);
};

// Releases `values` without nesting: values that hold arrays or objects,
// which may hold more of them (a linked list, an array wrapped a million
// times), are released one after another by the outermost release on the
// thread, so the stack stays flat however deep the structure.
void releaseInTurn(std::span<Variant> values) noexcept;
inline void releaseInTurn(std::vector<Variant> &values) noexcept
{
    releaseInTurn(std::span<Variant>(values));
    values.clear();
}

// Object references: script classes, the Err object, built-in objects such as
// Scripting.Dictionary and objects a host adds. Members are found by name,
// case-insensitively; an empty name means the default member.
class Object : public std::enable_shared_from_this<Object>
{
public:
    virtual ~Object();
    virtual QString typeName() const = 0;

    // Reads a property or calls a function; returns its value. Arguments
    // taken by reference come back changed in `args`.
    virtual Variant get(const QString &name, std::span<Variant> args);
    // Assigns a property: Let (isSet false) or Set (isSet true).
    virtual void put(const QString &name, std::span<Variant> args, const Variant &value, bool isSet);
    // Calls a member as a statement (Sub or discarded value).
    virtual void call(const QString &name, std::span<Variant> args);
    // For Each: the elements, in order. Default: 451 Object not a collection.
    virtual std::vector<Variant> enumerate();
};

} // namespace vbscript
