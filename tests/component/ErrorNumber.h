#pragma once

#include <nvtarnix/Error.h>

#include <functional>

// The number of the error an action raises, 0 when it raises none.
inline int errorNumber(const std::function<void()> &action)
{
    try {
        action();
    } catch (const nvtarnix::Error &e) {
        return e.number();
    }
    return 0;
}
