// Text functions: pieces of strings, searching, replacing, case, trimming and
// character codes, with VBScript's argument checks and Null rules.

#include "vbscript/Cp1252.h"
#include "vbscript/library/CaseMapping.h"
#include "vbscript/library/LibrarySupport.h"
#include "vbscript/library/TextSearch.h"

#include <QByteArray>

namespace vbscript::lib {

namespace {

QChar charOfCode(int code)
{
    return cp1252Char(code & 0xFF);
}

// A length or count argument: Null raises 94, a negative number 5.
qint32 nonNegativeAt(ExecContext &ctx, std::span<Variant> args, size_t i)
{
    const qint32 n = args[i].valueOf().toLong(ctx.locale());
    if (n < 0)
        raise(err::InvalidProcedureCall);
    return n;
}

// VBScript keeps strings as counted UTF-16; the B functions work on its bytes.
// A byte count that ends in the middle of a character keeps the low byte of
// that character.
QByteArray bytesOf(const QString &s)
{
    return QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
}

QString stringOfBytes(const QByteArray &bytes)
{
    QString out((bytes.size() + 1) / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto lo = static_cast<quint8>(bytes[2 * i]);
        const quint8 hi = 2 * i + 1 < bytes.size() ? static_cast<quint8>(bytes[2 * i + 1]) : 0;
        out[i] = QChar(char16_t(lo | (hi << 8)));
    }
    return out;
}

Variant fnLenB(ExecContext &ctx, std::span<Variant> a)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    return Variant(qint32(v.toString(ctx.locale()).size() * 2));
}

// Left, Right and their byte forms: the count must not be negative, checked
// before a Null string gives Null.
template <typename Cut>
Variant cutString(ExecContext &ctx, std::span<Variant> a, Cut cut)
{
    const qint32 n = nonNegativeAt(ctx, a, 1);
    const Variant s = a[0].valueOf();
    if (s.isNull())
        return Variant::null();
    return Variant(cut(s.toString(ctx.locale()), n));
}

Variant fnLeft(ExecContext &ctx, std::span<Variant> a)
{
    return cutString(ctx, a, [](const QString &s, qint32 n) { return s.left(n); });
}

Variant fnRight(ExecContext &ctx, std::span<Variant> a)
{
    return cutString(ctx, a, [](const QString &s, qint32 n) { return s.right(n); });
}

Variant fnLeftB(ExecContext &ctx, std::span<Variant> a)
{
    return cutString(ctx, a, [](const QString &s, qint32 n) { return stringOfBytes(bytesOf(s).left(n)); });
}

Variant fnRightB(ExecContext &ctx, std::span<Variant> a)
{
    return cutString(ctx, a, [](const QString &s, qint32 n) { return stringOfBytes(bytesOf(s).right(n)); });
}

// Mid and MidB: the start must be 1 or more and the length not negative,
// checked before a Null string gives Null.
struct MidArgs
{
    qint32 start;
    qint32 length; // -1: to the end
};

MidArgs midArgs(ExecContext &ctx, std::span<Variant> a)
{
    MidArgs m{a[1].valueOf().toLong(ctx.locale()), -1};
    if (m.start < 1)
        raise(err::InvalidProcedureCall);
    if (given(a, 2))
        m.length = nonNegativeAt(ctx, a, 2);
    return m;
}

Variant fnMid(ExecContext &ctx, std::span<Variant> a)
{
    const MidArgs m = midArgs(ctx, a);
    const Variant s = a[0].valueOf();
    if (s.isNull())
        return Variant::null();
    return Variant(s.toString(ctx.locale()).mid(m.start - 1, m.length));
}

Variant fnMidB(ExecContext &ctx, std::span<Variant> a)
{
    const MidArgs m = midArgs(ctx, a);
    const Variant s = a[0].valueOf();
    if (s.isNull())
        return Variant::null();
    return Variant(stringOfBytes(bytesOf(s.toString(ctx.locale())).mid(m.start - 1, m.length)));
}

Variant fnStrComp(ExecContext &ctx, std::span<Variant> a)
{
    const Qt::CaseSensitivity cs = compareAt(ctx, a, 2);
    const Variant x = a[0].valueOf();
    const Variant y = a[1].valueOf();
    if (x.isNull() || y.isNull())
        return Variant::null();
    const int c = QString::compare(x.toString(ctx.locale()), y.toString(ctx.locale()), cs);
    return Variant(qint16(c < 0 ? -1 : c > 0 ? 1 : 0));
}

template <LetterCase Case>
Variant caseFn(ExecContext &ctx, std::span<Variant> a)
{
    const Variant s = a[0].valueOf();
    if (s.isNull())
        return Variant::null();
    return Variant(mappedCase(s.toString(ctx.locale()), Case, ctx));
}

// Trim, LTrim and RTrim remove blanks only, not tabs or line ends.
Variant trimFn(const ExecContext &ctx, std::span<Variant> a, bool left, bool right)
{
    const Variant v = a[0].valueOf();
    if (v.isNull())
        return Variant::null();
    const QString s = v.toString(ctx.locale());
    qsizetype from = 0, to = s.size();
    if (left)
        while (from < to && s[from] == QLatin1Char(' '))
            ++from;
    if (right)
        while (to > from && s[to - 1] == QLatin1Char(' '))
            --to;
    return Variant(s.mid(from, to - from));
}

Variant fnTrim(ExecContext &ctx, std::span<Variant> a) { return trimFn(ctx, a, true, true); }
Variant fnLTrim(ExecContext &ctx, std::span<Variant> a) { return trimFn(ctx, a, true, false); }
Variant fnRTrim(ExecContext &ctx, std::span<Variant> a) { return trimFn(ctx, a, false, true); }

Variant fnString(ExecContext &ctx, std::span<Variant> a)
{
    const Variant count = a[0].valueOf();
    if (count.isNull())
        return Variant::null();
    const qint32 n = count.toLong(ctx.locale());
    if (n < 0)
        raise(err::InvalidProcedureCall);
    const Variant ch = a[1].valueOf();
    if (ch.isNull())
        return Variant::null();
    QChar c;
    if (ch.isString()) {
        if (ch.rawString().isEmpty())
            raise(err::InvalidProcedureCall);
        c = ch.rawString()[0];
    } else {
        c = charOfCode(ch.toLong(ctx.locale()));
    }
    requireText(ctx, n);
    return Variant(QString(n, c));
}

// InStr and InStrB take an optional start before the two strings: where the
// search begins (1-based, at least 1) and the index of the first string.
struct SearchStart
{
    qint32 start = 1;
    size_t first = 0;
};

SearchStart searchStart(ExecContext &ctx, std::span<Variant> a)
{
    if (a.size() < 3)
        return {};
    const qint32 start = a[0].valueOf().toLong(ctx.locale());
    if (start < 1)
        raise(err::InvalidProcedureCall);
    return {start, 1};
}

Variant fnInStr(ExecContext &ctx, std::span<Variant> a)
{
    const auto [start, first] = searchStart(ctx, a);
    const Qt::CaseSensitivity cs = a.size() == 4 ? compareAt(ctx, a, 3) : Qt::CaseSensitive;
    const Variant hay = a[first].valueOf();
    const Variant needle = a[first + 1].valueOf();
    if (hay.isNull() || needle.isNull())
        return Variant::null();
    const QString h = hay.toString(ctx.locale());
    if (start > h.size())
        return Variant(qint32(0));
    const QString n = needle.toString(ctx.locale());
    if (n.isEmpty())
        return Variant(start);
    return Variant(qint32(TextSearch(n, cs, ctx).indexIn(h, start - 1) + 1));
}

Variant fnInStrB(ExecContext &ctx, std::span<Variant> a)
{
    const auto [start, first] = searchStart(ctx, a);
    if (a.size() == 4)
        compareAt(ctx, a, 3); // checked, but bytes are always compared as they are
    const Variant hay = a[first].valueOf();
    const Variant needle = a[first + 1].valueOf();
    if (hay.isNull() || needle.isNull())
        return Variant::null();
    const QByteArray h = bytesOf(hay.toString(ctx.locale()));
    if (start > h.size())
        return Variant(qint32(0));
    const QByteArray n = bytesOf(needle.toString(ctx.locale()));
    if (n.isEmpty())
        return Variant(start);
    return Variant(qint32(indexOfBytes(h, n, start - 1, ctx) + 1));
}

Variant fnInStrRev(ExecContext &ctx, std::span<Variant> a)
{
    const QString h = textAt(ctx, a, 0);
    const QString n = textAt(ctx, a, 1);
    qint32 start = longAt(ctx, a, 2, -1);
    if (start == 0 || start < -1)
        raise(err::InvalidProcedureCall);
    const Qt::CaseSensitivity cs = compareAt(ctx, a, 3);
    if (h.isEmpty())
        return Variant(qint32(0));
    if (start == -1)
        start = qint32(h.size());
    if (start > h.size())
        return Variant(qint32(0));
    if (n.isEmpty())
        return Variant(start);
    const qsizetype from = start - n.size();
    if (from < 0)
        return Variant(qint32(0));
    return Variant(qint32(TextSearch(n, cs, ctx, TextSearch::Direction::Backward).lastIndexIn(h, from) + 1));
}

Variant fnReplace(ExecContext &ctx, std::span<Variant> a)
{
    const QString expression = textAt(ctx, a, 0);
    const QString find = textAt(ctx, a, 1);
    const QString with = textAt(ctx, a, 2);
    const qint32 start = longAt(ctx, a, 3, 1);
    if (start < 1)
        raise(err::InvalidProcedureCall);
    qint32 count = longAt(ctx, a, 4, -1);
    if (count < -1)
        raise(err::InvalidProcedureCall);
    const Qt::CaseSensitivity cs = compareAt(ctx, a, 5);
    if (start > expression.size())
        return Variant(QString());
    // The result begins at `start`: what lies before it is dropped.
    const QStringView rest = QStringView(expression).mid(start - 1);
    if (find.isEmpty() || count == 0)
        return Variant(rest.toString());
    const TextSearch search(find, cs, ctx);
    if (with.size() > find.size()) {
        // A growing replacement is sized before it is built, so a result past
        // the string limit fails at once instead of being assembled first.
        qsizetype hits = 0;
        for (qsizetype pos = search.indexIn(rest); pos >= 0 && (count < 0 || hits < count);
             pos = search.indexIn(rest, pos + find.size()))
            ++hits;
        const double grown = double(rest.size()) + double(hits) * double(with.size() - find.size());
        if (grown > double(ctx.limits().maxStringLength))
            raise(err::OutOfStringSpace);
        requireText(ctx, qint64(grown));
    }
    if (start == 1 && count == -1 && find.size() <= TextSearch::kShortSought && expression.size() <= TextSearch::kWindow) {
        // The common case: every occurrence of a short text in a text no
        // longer than one window of the search, which Qt does in place
        // when the lengths match, in time bounded by the window.
        QString out = expression;
        out.replace(find, with, cs);
        ctx.spendScan(expression.size());
        return stringResult(ctx, std::move(out));
    }
    QString out;
    out.reserve(rest.size());
    qsizetype pos = 0;
    while (count != 0) {
        const qsizetype hit = search.indexIn(rest, pos);
        if (hit < 0)
            break;
        out += rest.sliced(pos, hit - pos);
        out += with;
        ctx.spend(WorkMeter::kStep);
        ctx.spendCopy(hit - pos + with.size());
        pos = hit + find.size();
        if (count > 0)
            --count;
    }
    out += rest.sliced(pos);
    return stringResult(ctx, std::move(out));
}

Variant fnStrReverse(ExecContext &ctx, std::span<Variant> a)
{
    QString s = textAt(ctx, a, 0);
    std::reverse(s.begin(), s.end());
    return Variant(std::move(s));
}

// The first character of a non-empty string argument; Null raises 94 and an
// empty string 5.
QChar firstChar(ExecContext &ctx, std::span<Variant> a)
{
    const QString s = textAt(ctx, a, 0);
    if (s.isEmpty())
        raise(err::InvalidProcedureCall);
    return s[0];
}

Variant fnAsc(ExecContext &ctx, std::span<Variant> a)
{
    return Variant(qint16(cp1252Code(firstChar(ctx, a))));
}

Variant fnAscW(ExecContext &ctx, std::span<Variant> a)
{
    return Variant(static_cast<qint16>(firstChar(ctx, a).unicode()));
}

Variant fnAscB(ExecContext &ctx, std::span<Variant> a)
{
    return Variant(qint16(firstChar(ctx, a).unicode() & 0xFF));
}

Variant fnChrW(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 code = a[0].valueOf().toLong(ctx.locale());
    if (code < -32768 || code > 65535)
        raise(err::InvalidProcedureCall);
    return Variant(QString(QChar(char16_t(code & 0xFFFF))));
}

Variant fnChrB(ExecContext &ctx, std::span<Variant> a)
{
    const qint32 code = a[0].valueOf().toLong(ctx.locale());
    if (code < 0 || code > 255)
        raise(err::InvalidProcedureCall);
    return Variant(QString(QChar(char16_t(code))));
}

} // namespace

void registerStringFunctions(BuiltinRegistry &r)
{
    r.add({.name = "LenB", .minArgs = 1, .maxArgs = 1, .fn = fnLenB,
           .catalog = {CatalogGroup::Global, 33, "string"}});
    r.add({.name = "Left", .minArgs = 2, .maxArgs = 2, .fn = fnLeft,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 34, "string, length"}});
    r.add({.name = "LeftB", .minArgs = 2, .maxArgs = 2, .fn = fnLeftB,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 35, "string, length"}});
    r.add({.name = "Right", .minArgs = 2, .maxArgs = 2, .fn = fnRight,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 36, "string, length"}});
    r.add({.name = "RightB", .minArgs = 2, .maxArgs = 2, .fn = fnRightB,
           .refusesNull = nullRefusedAt({1}), .catalog = {CatalogGroup::Global, 37, "string, length"}});
    r.add({.name = "Mid", .minArgs = 2, .maxArgs = 3, .fn = fnMid,
           .refusesNull = nullRefusedAt({1, 2}), .catalog = {CatalogGroup::Global, 38, "string, start, length"}});
    r.add({.name = "MidB", .minArgs = 2, .maxArgs = 3, .fn = fnMidB,
           .refusesNull = nullRefusedAt({1, 2}), .catalog = {CatalogGroup::Global, 39, "string, start, length"}});
    r.add({.name = "StrComp", .minArgs = 2, .maxArgs = 3, .fn = fnStrComp,
           .refusesNull = nullRefusedAt({2}), .catalog = {CatalogGroup::Global, 40, "string1, string2, compare"}});
    r.add({.name = "LCase", .minArgs = 1, .maxArgs = 1, .fn = caseFn<LetterCase::Lower>,
           .catalog = {CatalogGroup::Global, 41, "string"}});
    r.add({.name = "UCase", .minArgs = 1, .maxArgs = 1, .fn = caseFn<LetterCase::Upper>,
           .catalog = {CatalogGroup::Global, 42, "string"}});
    r.add({.name = "Trim", .minArgs = 1, .maxArgs = 1, .fn = fnTrim,
           .catalog = {CatalogGroup::Global, 45, "string"}});
    r.add({.name = "LTrim", .minArgs = 1, .maxArgs = 1, .fn = fnLTrim,
           .catalog = {CatalogGroup::Global, 43, "string"}});
    r.add({.name = "RTrim", .minArgs = 1, .maxArgs = 1, .fn = fnRTrim,
           .catalog = {CatalogGroup::Global, 44, "string"}});
    r.add({.name = "String", .minArgs = 2, .maxArgs = 2, .fn = fnString,
           .catalog = {CatalogGroup::Global, 47, "number, character", "string"}});
    r.add({.name = "InStr", .minArgs = 2, .maxArgs = 4, .fn = fnInStr,
           .refusesNull = nullRefusedAt({3}), .catalog = {CatalogGroup::Global, 48, "start, string, string2, compare"}});
    r.add({.name = "InStrB", .minArgs = 2, .maxArgs = 4, .fn = fnInStrB,
           .refusesNull = nullRefusedAt({3}), .catalog = {CatalogGroup::Global, 49, "start, string, string2, compare"}});
    r.add({.name = "InStrRev", .minArgs = 2, .maxArgs = 4, .fn = fnInStrRev,
           .refusesNull = nullRefusedAt({0, 1, 2, 3}), .catalog = {CatalogGroup::Global, 89, "string1, string2, start, compare"}});
    r.add({.name = "Replace", .minArgs = 3, .maxArgs = 6, .fn = fnReplace,
           .refusesNull = nullRefusedAt({0, 1, 2, 3, 4, 5}), .catalog = {CatalogGroup::Global, 87, "expression, find, replacement, start, count, compare"}});
    r.add({.name = "StrReverse", .minArgs = 1, .maxArgs = 1, .fn = fnStrReverse,
           .catalog = {CatalogGroup::Global, 88, "string1"}});
    r.add({.name = "Asc", .minArgs = 1, .maxArgs = 1, .fn = fnAsc, .catalog = {CatalogGroup::Global, 52, "string"}});
    r.add({.name = "AscW", .minArgs = 1, .maxArgs = 1, .fn = fnAscW,
           .catalog = {CatalogGroup::Global, 54, "string"}});
    r.add({.name = "AscB", .minArgs = 1, .maxArgs = 1, .fn = fnAscB,
           .catalog = {CatalogGroup::Global, 50, "string"}});
    r.add({.name = "ChrW", .minArgs = 1, .maxArgs = 1, .fn = fnChrW,
           .catalog = {CatalogGroup::Global, 55, "charcode"}});
    r.add({.name = "ChrB", .minArgs = 1, .maxArgs = 1, .fn = fnChrB,
           .catalog = {CatalogGroup::Global, 51, "charcode"}});
}

} // namespace vbscript::lib
