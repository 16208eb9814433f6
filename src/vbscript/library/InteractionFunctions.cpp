// MsgBox and InputBox. The engine draws nothing itself: the host's callback
// shows the dialog, and without permission for UI both raise 70.

#include "vbscript/library/LibrarySupport.h"

namespace vbscript::lib {

namespace {

const UiCallback &requireUi(ExecContext &ctx)
{
    if (!ctx.allowUI() || !ctx.uiCallback())
        raise(err::PermissionDenied);
    return ctx.uiCallback();
}

QString optionalText(const ExecContext &ctx, std::span<Variant> a, size_t i, const QString &fallback = QString())
{
    if (!given(a, i))
        return fallback;
    const Variant v = a[i].valueOf();
    return v.isNull() ? QString() : v.toString(ctx.locale());
}

Variant fnMsgBox(ExecContext &ctx, std::span<Variant> a)
{
    UiRequest request;
    request.kind = UiRequest::MessageBox;
    request.prompt = optionalText(ctx, a, 0);
    request.buttons = longAt(ctx, a, 1, 0);
    request.title = optionalText(ctx, a, 2, QStringLiteral("VBScript"));
    const Variant answer = requireUi(ctx)(request);
    return Variant(qint16(answer.isEmpty() ? 0 : answer.toInteger(ctx.locale())));
}

Variant fnInputBox(ExecContext &ctx, std::span<Variant> a)
{
    UiRequest request;
    request.kind = UiRequest::InputBox;
    request.prompt = optionalText(ctx, a, 0);
    request.title = optionalText(ctx, a, 1, QStringLiteral("VBScript"));
    request.defaultText = optionalText(ctx, a, 2);
    if (given(a, 3) && given(a, 4)) {
        request.hasPosition = true;
        request.x = longAt(ctx, a, 3, 0);
        request.y = longAt(ctx, a, 4, 0);
    }
    const Variant answer = requireUi(ctx)(request);
    return answer.isEmpty() ? Variant() : Variant(answer.toString(ctx.locale()));
}

} // namespace

void registerInteractionFunctions(BuiltinRegistry &r)
{
    r.add({.name = "MsgBox", .minArgs = 1, .maxArgs = 5, .fn = fnMsgBox,
           .catalog = {CatalogGroup::Global, 75, "prompt, buttons, title, helpfile, context"}});
    r.add({.name = "InputBox", .minArgs = 1, .maxArgs = 7, .fn = fnInputBox,
           .catalog = {CatalogGroup::Global, 74, "prompt, title, defaultValue, xpos, ypos, helpfile, context"}});
}

} // namespace vbscript::lib
