#pragma once

#include "vbscript/ScriptError.h"

#include <new>
#include <stdexcept>

namespace vbscript {

// Runs `step` and hands whatever stops it to `onError` as the script error it
// is. A rule can ask for more memory than the system gives (a huge text or
// array past the budget's checks), and the allocator's refusal is then the
// engine's "Out of memory" (7), reported like any other error of the rule.
// Returns what `step`, or else `onError`, returns.
template<typename Step, typename OnError>
auto catchScriptErrors(Step &&step, OnError &&onError) -> decltype(step())
{
    try {
        return step();
    } catch (const ScriptError &e) {
        return onError(e);
    } catch (const std::bad_alloc &) {
        return onError(ScriptError::runtime(err::OutOfMemory));
    } catch (const std::length_error &) {
        return onError(ScriptError::runtime(err::OutOfMemory));
    }
}

} // namespace vbscript
