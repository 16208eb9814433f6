#pragma once

// Argument handling shared by the runtime library's functions, so that every
// function treats optional arguments, Null and comparison modes the same way.

#include "vbscript/Builtins.h"
#include "vbscript/Rounding.h"
#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

#include <span>

namespace vbscript::lib {

// Whether the caller wrote argument i (not left off and not skipped with a comma).
inline bool given(std::span<Variant> args, size_t i)
{
    return i < args.size() && !args[i].isMissing();
}

// Argument i as a value: objects give their default value.
inline Variant valueAt(std::span<Variant> args, size_t i) { return args[i].valueOf(); }

// A Long argument, or `fallback` when it was not given; Null raises 94.
inline qint32 longAt(const ExecContext &ctx, std::span<Variant> args, size_t i, qint32 fallback)
{
    return given(args, i) ? args[i].valueOf().toLong(ctx.locale()) : fallback;
}

// The string form of argument i; Null raises 94.
inline QString textAt(const ExecContext &ctx, std::span<Variant> args, size_t i)
{
    return args[i].isString() ? args[i].rawString() : args[i].valueOf().toString(ctx.locale());
}

// vbBinaryCompare (0) or vbTextCompare (1); anything else raises 5.
Qt::CaseSensitivity compareAt(ExecContext &ctx, std::span<Variant> args, size_t i);

// A first-day-of-week argument, 1 (Sunday) to 7, vbUseSystemDayOfWeek (0)
// resolved through the locale; out of range raises 5.
int firstDayOfWeekAt(ExecContext &ctx, std::span<Variant> args, size_t i, int fallback = 1);
// A first-week-of-year argument, 1 to 3, vbUseSystem (0) resolved through the
// locale; out of range raises 5.
int firstWeekOfYearAt(ExecContext &ctx, std::span<Variant> args, size_t i);

// Strings made in a built-in go through the engine's length limit.
inline Variant stringResult(const ExecContext &ctx, QString &&s)
{
    ctx.limits().checkString(s.size());
    return Variant(std::move(s));
}

// Before a built-in makes a text of `length` characters: 14 past the string
// limit, 7 past what is left of the run's memory. The engine counts the
// result when the built-in returns it.
inline void requireText(const ExecContext &ctx, qint64 length)
{
    if (length > ctx.limits().maxStringLength || length < 0)
        raise(err::OutOfStringSpace);
    ctx.settings().memory.require(MemoryMeter::textBytes(length));
}

// One registration function per group of built-ins.
void registerStringFunctions(BuiltinRegistry &r);
void registerMathFunctions(BuiltinRegistry &r);
void registerRandomFunctions(BuiltinRegistry &r);
void registerDateFunctions(BuiltinRegistry &r);
void registerFormatFunctions(BuiltinRegistry &r);
void registerConversionFunctions(BuiltinRegistry &r);
void registerArrayFunctions(BuiltinRegistry &r);
void registerInteractionFunctions(BuiltinRegistry &r);
void registerObjectFunctions(BuiltinRegistry &r);
void registerEngineFunctions(BuiltinRegistry &r);
void registerConstants(BuiltinRegistry &r);

} // namespace vbscript::lib
