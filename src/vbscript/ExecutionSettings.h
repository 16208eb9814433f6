#pragma once

// The settings a run converts and allocates under. Each engine has its own,
// and hands them to every operator and built-in it runs (ExecContext): no
// conversion inside a run reads global or thread state, so engines on
// different threads run under different settings at once without touching
// each other's data.

#include "vbscript/MemoryMeter.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/Variant.h"

#include <limits>
#include <memory>
#include <span>

namespace vbscript {

// How far a run may grow. Far beyond what an expression or a small script
// needs, and small enough that a runaway script cannot take the host's
// memory with it: 64 MB of text in one string, 128 MB of elements in one
// array, 256 MB built by one run in all.
struct Limits
{
    qsizetype maxStringLength = 32 * 1024 * 1024;
    size_t maxArrayElements = 4 * 1024 * 1024;
    // What one run may hold of what it builds (see MemoryMeter), in bytes;
    // past it, 7 "Out of memory".
    qint64 memoryBudget = 256 * 1024 * 1024;

    // Raises 14 "Out of string space" for a string of `length` past the limit.
    void checkString(qsizetype length) const;
    // The number of elements of an array with upper bounds `ubounds`: 9 for
    // a bound below -1, 7 "Out of memory" past the element limit.
    qint64 elementCount(std::span<const qint32> ubounds) const;
};

struct ExecutionSettings
{
    // Text, numbers and dates convert through it; SetLocale changes it for
    // the rest of the run and after.
    ScriptLocale locale;
    Limits limits;
    // What the current run has built; operators and built-ins charge it
    // through const settings, as they read the rest.
    mutable MemoryMeter memory{};
    // The instant Now, Date and Time read, as a date serial of whole
    // seconds, where the host fixes one for a run (every row of a run then
    // sees the same day, and SQL given that instant agrees with the engine);
    // NaN: the clock, read at each call.
    double fixedNow = std::numeric_limits<double>::quiet_NaN();

    // Raises 14 past the string limit, then charges the text to the run.
    // Inline: every concatenation passes through it.
    void chargeText(qint64 length) const
    {
        if (length > limits.maxStringLength || length < 0) [[unlikely]]
            refuseText();
        memory.charge(MemoryMeter::textBytes(length));
    }
    // A new dynamic array with upper bounds `ubounds`, its size charged to
    // the run (`charge`) or, for a built-in whose result is counted when it
    // returns, only checked against what is left.
    std::shared_ptr<SafeArray> newArray(std::span<const qint32> ubounds, bool charge) const;

private:
    [[noreturn]] static void refuseText();
};

} // namespace vbscript
