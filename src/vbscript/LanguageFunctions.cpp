// The conversion functions and the few string and array functions that the
// language's own semantics are defined by; the rest of the runtime library
// lives in library/.

#include "vbscript/Builtins.h"
#include "vbscript/Cp1252.h"
#include "vbscript/NumberText.h"
#include "vbscript/ScriptError.h"

namespace vbscript {

namespace {

Variant fnCBool(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toBool(ctx.locale())); }
Variant fnCByte(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toByte(ctx.locale())); }
Variant fnCInt(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toInteger(ctx.locale())); }
Variant fnCLng(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toLong(ctx.locale())); }
Variant fnCSng(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toSingle(ctx.locale())); }
Variant fnCDbl(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toDouble(ctx.locale())); }
Variant fnCCur(ExecContext &ctx, std::span<Variant> a)
{
    qint64 scaled = 0;
    if (a[0].isString() && parseCurrency(a[0].rawString(), ctx.locale(), &scaled))
        return Variant::currency(scaled);
    return Variant::currency(a[0].toCurrency(ctx.locale()));
}
Variant fnCDate(ExecContext &ctx, std::span<Variant> a) { return Variant::date(a[0].toDate(ctx.locale())); }

Variant fnChr(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 code = a[0].toLong(ctx.locale());
    if (code < 0 || code > 255)
        raise(err::InvalidProcedureCall);
    return Variant(QString(cp1252Char(code)));
}

Variant fnLen(ExecContext &ctx, std::span<Variant> a)
{
    // Text, the usual argument, is measured without a copy of it.
    if (a[0].isString())
        return Variant(qint32(a[0].rawString().size()));
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    return Variant(qint32(v.toString(ctx.locale()).size()));
}

Variant fnSpace(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 n = a[0].toLong(ctx.locale());
    if (n < 0)
        raise(err::InvalidProcedureCall);
    if (n > ctx.limits().maxStringLength)
        raise(err::OutOfStringSpace);
    ctx.settings().memory.require(MemoryMeter::textBytes(n));
    return Variant(QString(n, QLatin1Char(' ')));
}

Variant fnArray(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 ub = qint32(a.size()) - 1;
    auto arr = ctx.settings().newArray(std::span<const qint32>(&ub, 1), false);
    for (size_t i = 0; i < a.size(); ++i)
        arr->data[i] = a[i].isMissing() ? Variant() : a[i];
    return Variant(std::move(arr));
}

} // namespace

void registerLanguageFunctions(BuiltinRegistry &r)
{
    // Beside the functions, the catalog lists the Erase statement and the Err
    // object's methods, as VBScript's type library does.
    r.addCatalogEntry("Erase", {CatalogGroup::Global, 83, "arraylist"});
    r.addCatalogEntry("Clear", {CatalogGroup::Err, 1, ""});
    r.addCatalogEntry("Raise", {CatalogGroup::Err, 2, "number, Source, Description, helpfile, HelpContext"});
    r.add({.name = "CBool", .minArgs = 1, .maxArgs = 1, .fn = fnCBool,
           .catalog = {CatalogGroup::Global, 4, "expression"}});
    r.add({.name = "CByte", .minArgs = 1, .maxArgs = 1, .fn = fnCByte,
           .catalog = {CatalogGroup::Global, 5, "expression"}});
    r.add({.name = "CInt", .minArgs = 1, .maxArgs = 1, .fn = fnCInt,
           .catalog = {CatalogGroup::Global, 2, "expression"}});
    r.add({.name = "CLng", .minArgs = 1, .maxArgs = 1, .fn = fnCLng,
           .catalog = {CatalogGroup::Global, 3, "expression"}});
    r.add({.name = "CSng", .minArgs = 1, .maxArgs = 1, .fn = fnCSng,
           .catalog = {CatalogGroup::Global, 8, "expression"}});
    r.add({.name = "CDbl", .minArgs = 1, .maxArgs = 1, .fn = fnCDbl,
           .catalog = {CatalogGroup::Global, 7, "expression"}});
    r.add({.name = "CCur", .minArgs = 1, .maxArgs = 1, .fn = fnCCur,
           .catalog = {CatalogGroup::Global, 1, "expression"}});
    r.add({.name = "CDate", .minArgs = 1, .maxArgs = 1, .fn = fnCDate,
           .catalog = {CatalogGroup::Global, 6, "expression"}});
    r.add({.name = "Chr", .minArgs = 1, .maxArgs = 1, .fn = fnChr,
           .catalog = {CatalogGroup::Global, 53, "charcode"}});
    r.add({.name = "Len", .minArgs = 1, .maxArgs = 1, .fn = fnLen, .catalog = {CatalogGroup::Global, 32, "string"}});
    r.add({.name = "Space", .minArgs = 1, .maxArgs = 1, .fn = fnSpace,
           .refusesNull = nullRefusedAt({0}), .catalog = {CatalogGroup::Global, 46, "number"}});
    r.add({.name = "Array", .minArgs = 0, .maxArgs = 65535, .fn = fnArray,
           .catalog = {CatalogGroup::Global, 82, "arglist"}});
}

} // namespace vbscript
