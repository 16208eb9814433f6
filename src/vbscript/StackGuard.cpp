#include "vbscript/StackGuard.h"

#include "vbscript/ScriptError.h"

#include <pthread.h>

#include <algorithm>
#include <cstdint>

namespace vbscript::stack {

namespace {

struct ThreadStack
{
    uintptr_t top = 0;  // highest address: stacks grow down
    size_t budget = 0;
};

ThreadStack measure()
{
    ThreadStack s;
    pthread_attr_t attr;
    void *addr = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        pthread_attr_getstack(&attr, &addr, &size);
        pthread_attr_destroy(&attr);
    }
    if (!addr || size < 64 * 1024) {
        // Unknown: assume a modest stack from here on.
        char here;
        s.top = reinterpret_cast<uintptr_t>(&here) + 4096;
        s.budget = 512 * 1024;
        return s;
    }
    s.top = reinterpret_cast<uintptr_t>(addr) + size;
    // Keep a quarter (at least 128 KB) for the host and for unwinding.
    const size_t reserve = std::max<size_t>(size / 4, 128 * 1024);
    s.budget = size > reserve ? size - reserve : size / 2;
    return s;
}

} // namespace

void check()
{
    thread_local const ThreadStack s = measure();
    char here;
    const size_t used = size_t(s.top - reinterpret_cast<uintptr_t>(&here));
    if (used > s.budget)
        raise(err::OutOfStackSpace);
}

} // namespace vbscript::stack
