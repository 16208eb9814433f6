// Arithmetic functions. Abs, Fix, Int and Round keep their argument's subtype
// (text becomes Double) and pass Null through; the others work in Double.

#include "vbscript/library/LibrarySupport.h"

#include <QtNumeric>

#include <cmath>
#include <limits>

namespace vbscript::lib {

namespace {

// The argument of a Double function: Null raises 94, text that is no number 13.
double doubleAt(const ExecContext &ctx, std::span<Variant> a, size_t i) { return a[i].valueOf().toDouble(ctx.locale()); }

Variant checkedDouble(double d)
{
    if (!std::isfinite(d))
        raise(err::Overflow);
    return Variant(d);
}

Variant fnAtn(ExecContext &ctx, std::span<Variant> a) { return Variant(std::atan(doubleAt(ctx, a, 0))); }
Variant fnCos(ExecContext &ctx, std::span<Variant> a) { return Variant(std::cos(doubleAt(ctx, a, 0))); }
Variant fnSin(ExecContext &ctx, std::span<Variant> a) { return Variant(std::sin(doubleAt(ctx, a, 0))); }
Variant fnTan(ExecContext &ctx, std::span<Variant> a) { return checkedDouble(std::tan(doubleAt(ctx, a, 0))); }
Variant fnExp(ExecContext &ctx, std::span<Variant> a) { return checkedDouble(std::exp(doubleAt(ctx, a, 0))); }

Variant fnLog(ExecContext &ctx, std::span<Variant> a)
{
    const double x = doubleAt(ctx, a, 0);
    if (!(x > 0))
        raise(err::InvalidProcedureCall);
    return Variant(std::log(x));
}

Variant fnSqr(ExecContext &ctx, std::span<Variant> a)
{
    const double x = doubleAt(ctx, a, 0);
    if (x < 0)
        raise(err::InvalidProcedureCall);
    return Variant(std::sqrt(x));
}

constexpr qint64 kCurrencyUnit = 10000;

// A Currency result of whole units, or 6 when it is past the type's range.
Variant currencyUnits(qint64 units)
{
    qint64 scaled = 0;
    if (qMulOverflow(units, kCurrencyUnit, &scaled))
        raise(err::Overflow);
    return Variant::currency(scaled);
}

// Currency holds 19 digits, more than a Double keeps, so Abs, Fix and Int
// work on its ten-thousandths as integers. The type's range is not
// symmetric: the smallest value has no positive counterpart and lies
// between two whole numbers, so Abs and Int of it overflow.
Variant currencyAbs(qint64 cy)
{
    if (cy == std::numeric_limits<qint64>::min())
        raise(err::Overflow);
    return Variant::currency(cy < 0 ? -cy : cy);
}

Variant currencyFix(qint64 cy) { return Variant::currency(cy - cy % kCurrencyUnit); }

Variant currencyInt(qint64 cy)
{
    const qint64 units = cy / kCurrencyUnit - (cy % kCurrencyUnit < 0 ? 1 : 0);
    return currencyUnits(units);
}

// Applies a whole-number operation keeping the subtype: Empty and Boolean
// become Integer, text becomes Double, an Integer or Long that no longer fits
// grows to the next wider type. Currency has an exact operation of its own.
template <typename Op, typename CurrencyOp>
Variant keepSubtype(ExecContext &ctx, const Variant &v, Op op, CurrencyOp currencyOp, bool isRound = false)
{
    switch (v.type()) {
    case VarType::Null: return Variant::null();
    case VarType::Empty: return Variant(qint16(0));
    case VarType::Boolean:
        if (isRound)
            return v;
        return Variant(qint16(op(v.rawBool() ? -1.0 : 0.0)));
    case VarType::Byte: {
        const double r = op(double(v.rawByte()));
        return r <= 255 ? Variant(quint8(r)) : Variant(qint16(r));
    }
    case VarType::Integer: {
        const double r = op(double(v.rawInteger()));
        return r >= -32768 && r <= 32767 ? Variant(qint16(r)) : Variant(qint32(r));
    }
    case VarType::Long: {
        const double r = op(double(v.rawLong()));
        if (r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max())
            return Variant(qint32(r));
        return Variant(r);
    }
    case VarType::Single: return Variant(float(op(double(v.rawSingle()))));
    case VarType::Double: return Variant(op(v.rawDouble()));
    case VarType::Currency: return currencyOp(v.rawCurrency());
    case VarType::Date: return Variant::date(op(v.rawDate()));
    case VarType::String: return Variant(op(v.toDouble(ctx.locale())));
    default: raise(err::TypeMismatch);
    }
}

Variant fnAbs(ExecContext &ctx, std::span<Variant> a)
{
    return keepSubtype(ctx, a[0].valueOf(), [](double x) { return std::fabs(x); }, currencyAbs);
}

Variant fnFix(ExecContext &ctx, std::span<Variant> a)
{
    return keepSubtype(ctx, a[0].valueOf(), [](double x) { return std::trunc(x); }, currencyFix);
}

Variant fnInt(ExecContext &ctx, std::span<Variant> a)
{
    return keepSubtype(ctx, a[0].valueOf(), [](double x) { return std::floor(x); }, currencyInt);
}

Variant fnSgn(ExecContext &ctx, std::span<Variant> a)
{
    const double x = doubleAt(ctx, a, 0);
    return Variant(qint16(x > 0 ? 1 : x < 0 ? -1 : 0));
}

Variant fnRound(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 places = longAt(ctx, a, 1, 0);
    if (places < 0)
        raise(err::InvalidProcedureCall);
    const Variant v = a[0].valueOf();
    if (v.type() == VarType::Currency) {
        if (places >= 4)
            return v;
        qint64 unit = 1;
        for (int i = places; i < 4; ++i)
            unit *= 10;
        qint64 rounded = 0;
        if (qMulOverflow(divideRoundHalfEven(v.rawCurrency(), unit), unit, &rounded))
            raise(err::Overflow);
        return Variant::currency(rounded);
    }
    const double scale = std::pow(10.0, std::min(places, 22));
    return keepSubtype(
        ctx, v,
        [scale](double x) {
            const double scaled = x * scale;
            if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) // 2^52
                return x;
            return roundHalfEven(scaled) / scale;
        },
        [](qint64 cy) { return Variant::currency(cy); }, true);
}

Variant fnRGB(ExecContext &ctx, std::span<Variant> a)
{
    qint32 parts[3];
    for (size_t i = 0; i < 3; ++i) {
        const qint32 c = a[i].valueOf().toLong(ctx.locale());
        if (c < 0)
            raise(err::InvalidProcedureCall);
        parts[i] = std::min(c, 255);
    }
    return Variant(qint32(parts[0] + parts[1] * 256 + parts[2] * 65536));
}

} // namespace

void registerMathFunctions(BuiltinRegistry &r)
{
    r.add({.name = "Atn", .minArgs = 1, .maxArgs = 1, .fn = fnAtn, .catalog = {CatalogGroup::Global, 19, "number"}});
    r.add({.name = "Cos", .minArgs = 1, .maxArgs = 1, .fn = fnCos, .catalog = {CatalogGroup::Global, 20, "number"}});
    r.add({.name = "Sin", .minArgs = 1, .maxArgs = 1, .fn = fnSin, .catalog = {CatalogGroup::Global, 21, "number"}});
    r.add({.name = "Tan", .minArgs = 1, .maxArgs = 1, .fn = fnTan, .catalog = {CatalogGroup::Global, 22, "number"}});
    r.add({.name = "Exp", .minArgs = 1, .maxArgs = 1, .fn = fnExp, .catalog = {CatalogGroup::Global, 23, "number"}});
    r.add({.name = "Log", .minArgs = 1, .maxArgs = 1, .fn = fnLog, .catalog = {CatalogGroup::Global, 24, "number"}});
    r.add({.name = "Sqr", .minArgs = 1, .maxArgs = 1, .fn = fnSqr, .catalog = {CatalogGroup::Global, 25, "number"}});
    r.add({.name = "Abs", .minArgs = 1, .maxArgs = 1, .fn = fnAbs, .catalog = {CatalogGroup::Global, 56, "number"}});
    r.add({.name = "Fix", .minArgs = 1, .maxArgs = 1, .fn = fnFix, .catalog = {CatalogGroup::Global, 57, "number"}});
    r.add({.name = "Int", .minArgs = 1, .maxArgs = 1, .fn = fnInt, .catalog = {CatalogGroup::Global, 58, "number"}});
    r.add({.name = "Sgn", .minArgs = 1, .maxArgs = 1, .fn = fnSgn, .catalog = {CatalogGroup::Global, 59, "number"}});
    r.add({.name = "Round", .minArgs = 1, .maxArgs = 2, .fn = fnRound,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 101, "expression, numdecimalplaces"}});
    r.add({.name = "RGB", .minArgs = 3, .maxArgs = 3, .fn = fnRGB,
           .refusesNull = nullRefusedAt({0, 1, 2}), .catalog = {CatalogGroup::Global, 31, "red, green, blue"}});
}

} // namespace vbscript::lib
