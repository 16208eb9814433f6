#pragma once

#include <cstdint>

namespace vbscript::stack {

// The lowest address the calling thread's stack may reach while a script
// runs: below it, 28 "Out of stack space". Measured once per thread, leaving
// a quarter of the stack (at least 128 KB) for the host, unwinding and the
// work one step of a script does without recursing.
uintptr_t floor();

// Throws ScriptError 28 "Out of stack space".
[[noreturn]] void overflow();

// Whether the caller's frame lies below `floorAddress`. Cheap enough for
// every recursive step: an address compared with one the caller keeps.
inline bool exhausted(uintptr_t floorAddress)
{
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < floorAddress;
}

// Throws 28 when the calling thread has used most of its stack, so that deep
// recursion in a script or deeply nested source ends in an error the script
// can see, never in a crash of the host.
inline void check()
{
    if (exhausted(floor()))
        overflow();
}

} // namespace vbscript::stack
