#pragma once

#include <nvtarnix/Error.h>

#include "support/ComponentErrors.h"

namespace nvtarnix {

// Loading, unloading and filling the windows must never stop half-way: a step
// that fails is skipped and the next one runs. Each such step goes through
// here, so the rule is written once.
template <typename Step>
void skipOnError(Step &&step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

// The platform's error for a reference that holds no object (a missing view,
// catalog or document), with the runtime's own number and text.
inline Error objectNotSetError()
{
    return componentError(ComponentError::ObjectNotSet);
}

} // namespace nvtarnix
