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
    // A date is a number inside, but not to IsNumeric; Empty is, as 0.
    if (v.isEmpty() || (v.isNumber() && v.type() != VarType::Date))
        return Variant(true);
    double d;
    return Variant(v.isString() && parseNumber(v.rawString(), ctx.locale(), &d));
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
    r.add({.name = "CStr", .minArgs = 1, .maxArgs = 1, .fn = fnCStr,
           .catalog = {CatalogGroup::Global, 9, "expression"}});
    r.add({.name = "Hex", .minArgs = 1, .maxArgs = 1, .fn = fnHex, .catalog = {CatalogGroup::Global, 10, "number"}});
    r.add({.name = "Oct", .minArgs = 1, .maxArgs = 1, .fn = fnOct, .catalog = {CatalogGroup::Global, 11, "number"}});
    r.add({.name = "VarType", .minArgs = 1, .maxArgs = 1, .fn = fnVarType,
           .catalog = {CatalogGroup::Global, 12, "varname"}});
    r.add({.name = "TypeName", .minArgs = 1, .maxArgs = 1, .fn = fnTypeName,
           .catalog = {CatalogGroup::Global, 81, "varname"}});
    r.add({.name = "IsEmpty", .minArgs = 1, .maxArgs = 1, .fn = fnIsEmpty,
           .catalog = {CatalogGroup::Global, 14, "expression"}});
    r.add({.name = "IsNull", .minArgs = 1, .maxArgs = 1, .fn = fnIsNull,
           .catalog = {CatalogGroup::Global, 15, "expression"}});
    r.add({.name = "IsArray", .minArgs = 1, .maxArgs = 1, .fn = fnIsArray,
           .catalog = {CatalogGroup::Global, 17, "expression"}});
    r.add({.name = "IsObject", .minArgs = 1, .maxArgs = 1, .fn = fnIsObject,
           .catalog = {CatalogGroup::Global, 18, "identifier"}});
    r.add({.name = "IsNumeric", .minArgs = 1, .maxArgs = 1, .fn = fnIsNumeric,
           .catalog = {CatalogGroup::Global, 16, "expression"}});
    r.add({.name = "IsDate", .minArgs = 1, .maxArgs = 1, .fn = fnIsDate,
           .catalog = {CatalogGroup::Global, 13, "expression"}});
}

} // namespace vbscript::lib
