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
        ctx.raise(err::CantCreateObject);
    return Variant(std::move(object));
}

Variant fnGetObject(ExecContext &ctx, std::span<Variant>)
{
    ctx.raise(err::CantCreateObject);
}

Variant fnLoadPicture(ExecContext &ctx, std::span<Variant> a)
{
    // An empty name is how scripts clear a picture: no picture at all.
    if (!given(a, 0) || textAt(ctx, a, 0).isEmpty())
        return Variant::nothing();
    ctx.raise(481); // Invalid picture
}

} // namespace

void registerObjectFunctions(BuiltinRegistry &r)
{
    r.add({"CreateObject", 1, 2, fnCreateObject});
    r.add({"GetObject", 0, 2, fnGetObject});
    r.add({"LoadPicture", 0, 1, fnLoadPicture});
    r.addClass(QStringLiteral("Scripting.Dictionary"),
               [](ExecContext &ctx) { return std::make_shared<Dictionary>(ctx.sharedSettings()); });
}

} // namespace vbscript::lib
