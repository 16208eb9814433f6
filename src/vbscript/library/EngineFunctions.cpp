// Functions about the engine itself: its name and version, running code
// given as text, procedure references, the locale, and URL-style escaping.

#include "vbscript/ScriptLocale.h"
#include "vbscript/library/LibrarySupport.h"

namespace vbscript::lib {

namespace {

// The Windows engine this one behaves as: VBScript 5.8.
constexpr qint32 kMajorVersion = 5;
constexpr qint32 kMinorVersion = 8;
constexpr qint32 kBuildVersion = 16384;

Variant fnScriptEngine(ExecContext &, std::span<Variant>) { return Variant(QStringLiteral("VBScript")); }
Variant fnMajor(ExecContext &, std::span<Variant>) { return Variant(kMajorVersion); }
Variant fnMinor(ExecContext &, std::span<Variant>) { return Variant(kMinorVersion); }
Variant fnBuild(ExecContext &, std::span<Variant>) { return Variant(kBuildVersion); }

Variant fnEval(ExecContext &ctx, std::span<Variant> a) { return ctx.evalString(textAt(ctx, a, 0)); }

Variant fnExecute(ExecContext &ctx, std::span<Variant> a)
{
    ctx.execute(textAt(ctx, a, 0), false);
    return Variant();
}

Variant fnExecuteGlobal(ExecContext &ctx, std::span<Variant> a)
{
    ctx.execute(textAt(ctx, a, 0), true);
    return Variant();
}

Variant fnGetRef(ExecContext &ctx, std::span<Variant> a) { return ctx.getRef(textAt(ctx, a, 0)); }

Variant fnGetLocale(ExecContext &ctx, std::span<Variant>) { return Variant(qint32(ctx.locale().lcid())); }

Variant fnSetLocale(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 previous = ctx.locale().lcid();
    ScriptLocale next;  // no argument or 0: the process's own locale
    if (given(a, 0)) {
        const Variant v = a[0].valueOf();
        bool ok = true;
        if (v.isString())
            next = ScriptLocale::fromName(v.rawString(), &ok);
        else if (const qint32 lcid = v.toLong(ctx.locale()); lcid != 0)
            next = ScriptLocale::fromLcid(lcid, &ok);
        if (!ok)
            raise(err::InvalidProcedureCall);
    }
    ctx.setLocale(next);
    return Variant(previous);
}

// Characters Escape leaves as they are.
bool isUnreserved(char16_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
           || c == '@' || c == '*' || c == '_' || c == '+' || c == '-' || c == '.' || c == '/';
}

// What Escape writes for one character: itself, %XX or %uXXXX.
int escapedLength(char16_t c)
{
    return isUnreserved(c) ? 1 : c < 256 ? 3 : 6;
}

// Characters a long text is read and written in between two counts of the
// work done, so the run's time limit can stop Escape and Unescape midway.
constexpr qsizetype kEscapeStretch = 64 * 1024;

Variant fnEscape(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    const QString s = v.toString(ctx.locale());
    // The result is sized before it is made: a long text escapes to as much
    // as six times its length, past the string limit or the run's memory.
    qint64 length = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (i % kEscapeStretch == 0)
            ctx.spendScan(qMin(kEscapeStretch, s.size() - i));
        length += escapedLength(s[i].unicode());
    }
    requireText(ctx, length);
    static constexpr char16_t hex[] = u"0123456789ABCDEF";
    QString out(qsizetype(length), Qt::Uninitialized);
    QChar *o = out.data();
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (i % kEscapeStretch == 0)
            ctx.spendScan(qMin(kEscapeStretch, s.size() - i));
        const char16_t c = s[i].unicode();
        if (isUnreserved(c)) {
            *o++ = QChar(c);
            continue;
        }
        *o++ = QLatin1Char('%');
        if (c >= 256) {
            *o++ = QLatin1Char('u');
            *o++ = QChar(hex[c >> 12]);
            *o++ = QChar(hex[(c >> 8) & 15]);
        }
        *o++ = QChar(hex[(c >> 4) & 15]);
        *o++ = QChar(hex[c & 15]);
    }
    return Variant(std::move(out));
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// The value of `count` hex digits at s[from], or -1.
int hexAt(const QString &s, qsizetype from, int count)
{
    if (from + count > s.size())
        return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int d = hexValue(s[from + i]);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

// Unescape: %XX and %uXXXX become their characters; a % not followed by
// valid digits stays as it is.
Variant fnUnescape(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    const QString s = v.toString(ctx.locale());
    // Never longer than the text it reads.
    requireText(ctx, s.size());
    QString out;
    out.reserve(s.size());
    qsizetype counted = 0;  // characters read up to the last count of work
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (i - counted >= kEscapeStretch) {
            ctx.spendScan(i - counted);
            counted = i;
        }
        if (s[i] == QLatin1Char('%')) {
            if (i + 1 < s.size() && (s[i + 1] == QLatin1Char('u') || s[i + 1] == QLatin1Char('U'))) {
                const int code = hexAt(s, i + 2, 4);
                if (code >= 0) {
                    out += QChar(char16_t(code));
                    i += 5;
                    continue;
                }
            }
            const int code = hexAt(s, i + 1, 2);
            if (code >= 0) {
                out += QChar(char16_t(code));
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return Variant(std::move(out));
}

} // namespace

void registerEngineFunctions(BuiltinRegistry &r)
{
    r.add({.name = "ScriptEngine", .minArgs = 0, .maxArgs = 0, .fn = fnScriptEngine,
           .catalog = {CatalogGroup::Global, 91, ""}});
    r.add({.name = "ScriptEngineMajorVersion", .minArgs = 0, .maxArgs = 0, .fn = fnMajor,
           .catalog = {CatalogGroup::Global, 92, ""}});
    r.add({.name = "ScriptEngineMinorVersion", .minArgs = 0, .maxArgs = 0, .fn = fnMinor,
           .catalog = {CatalogGroup::Global, 93, ""}});
    r.add({.name = "ScriptEngineBuildVersion", .minArgs = 0, .maxArgs = 0, .fn = fnBuild,
           .catalog = {CatalogGroup::Global, 94, ""}});
    r.add({.name = "Eval", .minArgs = 1, .maxArgs = 1, .fn = fnEval,
           .catalog = {CatalogGroup::Global, 104, "string"}, .runsCode = true});
    r.add({.name = "Execute", .minArgs = 1, .maxArgs = 1, .fn = fnExecute,
           .catalog = {CatalogGroup::Global, 105, "string"}, .runsCode = true});
    r.add({.name = "ExecuteGlobal", .minArgs = 1, .maxArgs = 1, .fn = fnExecuteGlobal,
           .catalog = {CatalogGroup::Global, 106, "string"}, .runsCode = true});
    r.add({.name = "GetRef", .minArgs = 1, .maxArgs = 1, .fn = fnGetRef,
           .catalog = {CatalogGroup::Global, 107, "string"}});
    r.add({.name = "GetLocale", .minArgs = 0, .maxArgs = 0, .fn = fnGetLocale, .catalog = kUnlisted});
    r.add({.name = "SetLocale", .minArgs = 0, .maxArgs = 1, .fn = fnSetLocale, .catalog = kUnlisted});
    r.add({.name = "Escape", .minArgs = 1, .maxArgs = 1, .fn = fnEscape,
           .catalog = {CatalogGroup::Global, 102, "string"}});
    r.add({.name = "Unescape", .minArgs = 1, .maxArgs = 1, .fn = fnUnescape,
           .catalog = {CatalogGroup::Global, 103, "string"}});
}

} // namespace vbscript::lib
