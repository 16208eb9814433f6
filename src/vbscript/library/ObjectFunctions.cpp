// CreateObject, GetObject and LoadPicture. Scripts reach no files, processes
// or network: the only creatable class is Scripting.Dictionary (and what the
// host itself adds), and nothing is loaded from disk.

#include "vbscript/library/Dictionary.h"
#include "vbscript/library/LibrarySupport.h"

namespace vbscript::lib {

namespace {

Variant fnCreateObject(ExecContext &ctx, std::span<Variant> a)
{
    const QString progId = textAt(ctx, a, 0);
    auto object = ctx.createObject(progId);
    if (!object)
        raise(err::CantCreateObject);
    return Variant(std::move(object));
}

Variant fnGetObject(ExecContext &, std::span<Variant>)
{
    raise(err::CantCreateObject);
}

Variant fnLoadPicture(ExecContext &ctx, std::span<Variant> a)
{
    // An empty name is how scripts clear a picture: no picture at all.
    if (!given(a, 0) || textAt(ctx, a, 0).isEmpty())
        return Variant::nothing();
    raise(err::InvalidPicture);
}

} // namespace

void registerObjectFunctions(BuiltinRegistry &r)
{
    r.add({.name = "CreateObject", .minArgs = 1, .maxArgs = 2, .fn = fnCreateObject,
           .catalog = {CatalogGroup::Global, 76, "classValue"}});
    r.add({.name = "GetObject", .minArgs = 0, .maxArgs = 2, .fn = fnGetObject,
           .catalog = {CatalogGroup::Global, 77, "pathname, classValue"}});
    r.add({.name = "LoadPicture", .minArgs = 0, .maxArgs = 1, .fn = fnLoadPicture,
           .catalog = {CatalogGroup::Global, 90, "stringexpression"}});
    r.addClass(QStringLiteral("Scripting.Dictionary"),
               [](ExecContext &ctx) { return std::make_shared<Dictionary>(ctx.sharedSettings()); });
}

} // namespace vbscript::lib
