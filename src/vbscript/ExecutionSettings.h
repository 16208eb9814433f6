#pragma once

// The settings a run converts and allocates under. Each engine has its own,
// and hands them to every operator and built-in it runs (ExecContext): no
// conversion inside a run reads global or thread state, so engines on
// different threads run under different settings at once without touching
// each other's data.

#include "vbscript/ScriptLocale.h"
#include "vbscript/Variant.h"

#include <memory>
#include <span>

namespace vbscript {

// How far a run may grow. Far beyond what an expression or a small script
// needs, and small enough that a runaway script cannot take the host's
// memory with it: 64 MB of text in one string, 128 MB of elements in one
// array.
struct Limits
{
    qsizetype maxStringLength = 32 * 1024 * 1024;
    size_t maxArrayElements = 4 * 1024 * 1024;

    // Raises 14 "Out of string space" for a string of `length` past the limit.
    void checkString(qsizetype length) const;
    // A new dynamic array with upper bounds `ubounds`: 9 for a bound below
    // -1, 7 "Out of memory" past the element limit.
    std::shared_ptr<SafeArray> newArray(std::span<const qint32> ubounds) const;
};

struct ExecutionSettings
{
    // Text, numbers and dates convert through it; SetLocale changes it for
    // the rest of the run and after.
    ScriptLocale locale;
    Limits limits;
};

} // namespace vbscript
