#pragma once

#include <nvtarnix/Error.h>

#include "support/ComponentErrors.h"
#include "support/FailurePlace.h"

#include <QLoggingCategory>

namespace nvtarnix {

// Failures the component passes over on purpose (a step of filling a window,
// a tooltip, a courtesy setting) are written here, at debug level, so that a
// blank tree or a missing text leaves a trace:
//   QT_LOGGING_RULES="nvtarnix.skipped.debug=true" ./host
Q_DECLARE_LOGGING_CATEGORY(lcSkippedFailure)

// Writes the exception being handled (its number and text when it has them)
// and where it was passed over. Only inside a catch block.
void logSkippedFailure(FailurePlace where = FailurePlace::current()) noexcept;

// Loading, unloading and filling the windows must never stop half-way: a step
// that fails is skipped, with a trace, and the next one runs. Each such step
// goes through here, so the rule is written once.
template <typename Step>
void skipOnError(Step &&step, FailurePlace where = FailurePlace::current()) noexcept
{
    try {
        step();
    } catch (...) {
        logSkippedFailure(where);
    }
}

// The platform's error for a reference that holds no object (a missing view,
// catalog or document), with the runtime's own number and text.
inline Error objectNotSetError()
{
    return componentError(ComponentError::ObjectNotSet);
}

} // namespace nvtarnix
