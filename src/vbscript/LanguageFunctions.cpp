// The conversion functions and the few string and array functions that the
// language's own semantics are defined by; the rest of the runtime library
// lives in library/.

#include "vbscript/Builtins.h"
#include "vbscript/Cp1252.h"
#include "vbscript/ScriptError.h"

namespace vbscript {

namespace {

Variant fnCBool(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toBool(ctx.locale())); }
Variant fnCByte(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toByte(ctx.locale())); }
Variant fnCInt(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toInteger(ctx.locale())); }
Variant fnCLng(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toLong(ctx.locale())); }
Variant fnCSng(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toSingle(ctx.locale())); }
Variant fnCDbl(ExecContext &ctx, std::span<Variant> a) { return Variant(a[0].toDouble(ctx.locale())); }
Variant fnCCur(ExecContext &ctx, std::span<Variant> a) { return Variant::currency(a[0].toCurrency(ctx.locale())); }
Variant fnCDate(ExecContext &ctx, std::span<Variant> a) { return Variant::date(a[0].toDate(ctx.locale())); }

Variant fnChr(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 code = a[0].toLong(ctx.locale());
    if (code < 0 || code > 255)
        ctx.raise(err::InvalidProcedureCall);
    return Variant(QString(cp1252Char(code)));
}

Variant fnLen(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    return Variant(qint32(v.toString(ctx.locale()).size()));
}

Variant fnSpace(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 n = a[0].toLong(ctx.locale());
    if (n < 0)
        ctx.raise(err::InvalidProcedureCall);
    ctx.limits().checkString(n);
    return Variant(QString(n, QLatin1Char(' ')));
}

Variant fnArray(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 ub = qint32(a.size()) - 1;
    auto arr = ctx.limits().newArray(std::span<const qint32>(&ub, 1));
    for (size_t i = 0; i < a.size(); ++i)
        arr->data[i] = a[i].isMissing() ? Variant() : a[i];
    return Variant(std::move(arr));
}

} // namespace

void registerLanguageFunctions(BuiltinRegistry &r)
{
    r.add({"CBool", 1, 1, fnCBool});
    r.add({"CByte", 1, 1, fnCByte});
    r.add({"CInt", 1, 1, fnCInt});
    r.add({"CLng", 1, 1, fnCLng});
    r.add({"CSng", 1, 1, fnCSng});
    r.add({"CDbl", 1, 1, fnCDbl});
    r.add({"CCur", 1, 1, fnCCur});
    r.add({"CDate", 1, 1, fnCDate});
    r.add({"Chr", 1, 1, fnChr});
    r.add({"Len", 1, 1, fnLen});
    r.add({"Space", 1, 1, fnSpace, false, nullRefusedAt({0})});
    r.add({"Array", 0, 65535, fnArray});
}

} // namespace vbscript
