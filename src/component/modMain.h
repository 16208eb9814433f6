#pragma once

#include "support/SavedError.h"

#include <exception>

// The component's error helpers. The kept error itself lives with the support
// module (SaveError / RaiseSavedError, once per thread); this adds keeping an
// exception that is not one of our numbered errors, so that nothing escapes to
// the host unnumbered.

namespace nvtarnix {

// A numbered error is kept as it is; anything else under the runtime's number
// and text for it (7 "Out of memory", 51 "Internal error").
void SaveError(const std::exception &error);

} // namespace nvtarnix
