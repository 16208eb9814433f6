// Array bounds, and the functions that turn text into arrays and back.

#include "vbscript/library/LibrarySupport.h"
#include "vbscript/library/TextSearch.h"

namespace vbscript::lib {

namespace {

// An argument that must be an array: anything else, Null included, raises 13.
const SafeArray &arrayAt(std::span<Variant> a, size_t i, Variant &holder)
{
    holder = a[i].valueOf();
    if (!holder.isArray() || !holder.rawArray())
        raise(err::TypeMismatch);
    return *holder.rawArray();
}

Variant boundFn(ExecContext &ctx, std::span<Variant> a, bool upper)
{
    Variant holder;
    const SafeArray &arr = arrayAt(a, 0, holder);
    const qint32 dim = longAt(ctx, a, 1, 1);
    if (dim < 1 || dim > arr.dims())
        raise(err::SubscriptOutOfRange);
    const SafeArray::Bound &b = arr.bounds[dim - 1];
    return Variant(upper ? arr.ubound(dim - 1) : b.lower);
}

Variant fnLBound(ExecContext &ctx, std::span<Variant> a) { return boundFn(ctx, a, false); }
Variant fnUBound(ExecContext &ctx, std::span<Variant> a) { return boundFn(ctx, a, true); }

Variant arrayOfStrings(const ExecContext &ctx, const QStringList &items)
{
    const qint32 ub = qint32(items.size()) - 1;
    auto arr = ctx.settings().newArray(std::span<const qint32>(&ub, 1), false);
    for (qsizetype i = 0; i < items.size(); ++i)
        arr->data[size_t(i)] = Variant(items[i]);
    return Variant(std::move(arr));
}

// The elements of a one-dimensional array as text; Null, arrays and objects
// without a default value among them raise 13.
QStringList textsOf(ExecContext &ctx, const SafeArray &arr)
{
    if (arr.dims() != 1)
        raise(err::TypeMismatch);
    QStringList out;
    out.reserve(qsizetype(arr.data.size()));
    for (const Variant &element : arr.data) {
        ctx.spend(WorkMeter::kStep);
        const Variant v = element.valueOf();
        if (v.isNull() || v.isArray())
            raise(err::TypeMismatch);
        out.append(v.toString(ctx.locale()));
    }
    return out;
}

Variant fnJoin(ExecContext &ctx, std::span<Variant> a)
{
    Variant holder;
    const SafeArray &arr = arrayAt(a, 0, holder);
    const QString delimiter = given(a, 1) ? textAt(ctx, a, 1) : QStringLiteral(" ");
    const QStringList texts = textsOf(ctx, arr);
    // Sized before it is assembled: a thousand long texts would otherwise
    // be joined in full before the limit could refuse them.
    qint64 length = texts.isEmpty() ? 0 : qint64(delimiter.size()) * (texts.size() - 1);
    for (const QString &text : texts) {
        length += text.size();
        if (length > ctx.limits().maxStringLength)
            break;
    }
    requireText(ctx, length);
    return Variant(texts.join(delimiter));
}

Variant fnSplit(ExecContext &ctx, std::span<Variant> a)
{
    const QString text = textAt(ctx, a, 0);
    const QString delimiter = given(a, 1) ? textAt(ctx, a, 1) : QStringLiteral(" ");
    const qint32 limit = longAt(ctx, a, 2, -1);
    if (limit < -1)
        raise(err::InvalidProcedureCall);
    const Qt::CaseSensitivity cs = compareAt(ctx, a, 3);
    QStringList parts;
    if (text.isEmpty() || limit == 0)
        return arrayOfStrings(ctx, parts);
    if (delimiter.isEmpty())
        return arrayOfStrings(ctx, {text});
    const TextSearch search(delimiter, cs, ctx);
    qsizetype pos = 0;
    // Each piece is a text and an element of the result: both are counted
    // as the pieces are cut, so that a text of millions of delimiters stops
    // at the array limit or the run's memory, not after.
    qint64 bytes = MemoryMeter::arrayBytes(0);
    const qsizetype maxParts = qsizetype(ctx.limits().maxArrayElements);
    while (limit == -1 || parts.size() < limit - 1) {
        const qsizetype hit = search.indexIn(text, pos);
        if (hit < 0)
            break;
        if (parts.size() + 1 >= maxParts)
            raise(err::OutOfMemory);
        bytes += qint64(sizeof(Variant)) + MemoryMeter::textBytes(hit - pos);
        ctx.settings().memory.require(bytes);
        parts.append(text.mid(pos, hit - pos));
        ctx.spend(WorkMeter::kStep);
        pos = hit + delimiter.size();
    }
    parts.append(text.mid(pos));
    return arrayOfStrings(ctx, parts);
}

Variant fnFilter(ExecContext &ctx, std::span<Variant> a)
{
    Variant holder;
    const SafeArray &arr = arrayAt(a, 0, holder);
    const QString value = textAt(ctx, a, 1);
    const bool include = given(a, 2) ? a[2].valueOf().toBool(ctx.locale()) : true;
    const Qt::CaseSensitivity cs = compareAt(ctx, a, 3);
    const TextSearch search(value, cs, ctx);
    QStringList kept;
    for (const QString &s : textsOf(ctx, arr)) {
        ctx.spend(WorkMeter::kStep);
        if ((search.indexIn(s) >= 0) == include)
            kept.append(s);
    }
    return arrayOfStrings(ctx, kept);
}

} // namespace

void registerArrayFunctions(BuiltinRegistry &r)
{
    r.add({.name = "LBound", .minArgs = 1, .maxArgs = 2, .fn = fnLBound,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 29, "arrayname"}});
    r.add({.name = "UBound", .minArgs = 1, .maxArgs = 2, .fn = fnUBound,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 30, "arrayname"}});
    // Join, like Split and the other functions that came with it, takes no
    // Null in its list either: 94, where LBound and UBound say 13.
    r.add({.name = "Join", .minArgs = 1, .maxArgs = 2, .fn = fnJoin,
           .refusesNull = nullRefusedAt({0, 1}), .catalog = {CatalogGroup::Global, 85, "list, delimiter"}});
    r.add({.name = "Split", .minArgs = 1, .maxArgs = 4, .fn = fnSplit,
           .refusesNull = nullRefusedAt({0, 1, 2, 3}), .catalog = {CatalogGroup::Global, 86, "expression, delimiter, count, compare"}});
    r.add({.name = "Filter", .minArgs = 2, .maxArgs = 4, .fn = fnFilter,
           .refusesNull = nullRefusedAt({1, 2, 3}), .catalog = {CatalogGroup::Global, 84, "InputStrings, Value, Include, compare"}});
}

} // namespace vbscript::lib
