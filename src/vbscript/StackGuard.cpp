#include "vbscript/StackGuard.h"

#include "vbscript/ScriptError.h"

#include <pthread.h>

#include <algorithm>
#include <cstddef>

namespace vbscript::stack {

namespace {

uintptr_t measure()
{
    pthread_attr_t attr;
    void *addr = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        pthread_attr_getstack(&attr, &addr, &size);
        pthread_attr_destroy(&attr);
    }
    if (!addr || size < 64 * 1024) {
        // Unknown: assume 256 KB from here on, the least a thread that
        // runs scripts is meant to have.
        const uintptr_t here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        return here - 128 * 1024;
    }
    const size_t reserve = std::max<size_t>(size / 4, 128 * 1024);
    const size_t budget = size > reserve ? size - reserve : size / 2;
    return reinterpret_cast<uintptr_t>(addr) + size - budget;
}

} // namespace

uintptr_t floor()
{
    thread_local const uintptr_t measured = measure();
    return measured;
}

void overflow()
{
    raise(err::OutOfStackSpace);
}

} // namespace vbscript::stack
