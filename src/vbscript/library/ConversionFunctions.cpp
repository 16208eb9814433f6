// CStr, Hex and Oct, and the functions that ask what a value is.

#include "vbscript/NumberText.h"
#include "vbscript/OleDate.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/library/LibrarySupport.h"

namespace vbscript::lib {

namespace {

Variant fnCStr(ExecContext &ctx, std::span<Variant> a) { return Variant(textAt(ctx, a, 0)); }

// Hex and Oct show negative numbers in two's complement of the value's own
// width: 16 bits for Integer and Boolean, 32 for everything else (which is
// first rounded to a Long).
Variant radixFn(const ExecContext &ctx, std::span<Variant> a, int base)
{
    const Variant v = a[0].valueOf();
    quint32 bits;
    switch (v.type()) {
    case VarType::Null: return Variant::null();
    case VarType::Empty: bits = 0; break;
    case VarType::Byte: bits = v.rawByte(); break;
    case VarType::Integer: bits = quint16(v.rawInteger()); break;
    case VarType::Boolean: bits = v.rawBool() ? 0xFFFFu : 0u; break;
    default: bits = quint32(v.toLong(ctx.locale())); break;
    }
    return Variant(QString::number(bits, base).toUpper());
}

Variant fnHex(ExecContext &ctx, std::span<Variant> a) { return radixFn(ctx, a, 16); }
Variant fnOct(ExecContext &ctx, std::span<Variant> a) { return radixFn(ctx, a, 8); }

Variant fnVarType(ExecContext &, std::span<Variant> a) { return Variant(qint16(a[0].varType())); }
Variant fnTypeName(ExecContext &, std::span<Variant> a) { return Variant(a[0].typeName()); }
Variant fnIsEmpty(ExecContext &, std::span<Variant> a) { return Variant(a[0].isEmpty()); }
Variant fnIsNull(ExecContext &, std::span<Variant> a) { return Variant(a[0].isNull()); }
Variant fnIsArray(ExecContext &, std::span<Variant> a) { return Variant(a[0].isArray()); }
Variant fnIsObject(ExecContext &, std::span<Variant> a) { return Variant(a[0].isObject()); }

// An object's default value for the Is functions, or Null when it has none:
// asking must never fail.
Variant quietValue(const Variant &v)
{
    if (!v.isObject())
        return v;
    if (v.isNothing())
        return Variant::null();
    try {
        return v.valueOf();
    } catch (const ScriptError &) {
        return Variant::null();
    }
}

Variant fnIsNumeric(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = quietValue(a[0]);
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency: return Variant(true);
    case VarType::String: {
        double d;
        return Variant(parseNumber(v.rawString(), ctx.locale(), &d));
    }
    default: return Variant(false);
    }
}

Variant fnIsDate(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = quietValue(a[0]);
    if (v.type() == VarType::Date)
        return Variant(true);
    if (v.isString())
        return Variant(OleDate::parse(v.rawString(), ctx.locale()).has_value());
    return Variant(false);
}

} // namespace

void registerConversionFunctions(BuiltinRegistry &r)
{
    r.add({"CStr", 1, 1, fnCStr});
    r.add({"Hex", 1, 1, fnHex});
    r.add({"Oct", 1, 1, fnOct});
    r.add({"VarType", 1, 1, fnVarType});
    r.add({"TypeName", 1, 1, fnTypeName});
    r.add({"IsEmpty", 1, 1, fnIsEmpty});
    r.add({"IsNull", 1, 1, fnIsNull});
    r.add({"IsArray", 1, 1, fnIsArray});
    r.add({"IsObject", 1, 1, fnIsObject});
    r.add({"IsNumeric", 1, 1, fnIsNumeric});
    r.add({"IsDate", 1, 1, fnIsDate});
}

} // namespace vbscript::lib
