#pragma once

#include <nvtarnix/Error.h>

#include <QString>

namespace vbscript {
class ScriptError;
}

namespace nvtarnix {

// The engine's error as a host sees it: the engine's number, source and
// description, and for an error about a text where it lies (line 1-based,
// column 0-based; 0 and 0 for one that is not about a text). Every place that
// lets an engine error out of the component converts it here.
Error hostError(const vbscript::ScriptError &error);

// The same under another source: the component's, when the engine did a
// conversion on the component's behalf (a number read from a host's text).
Error hostError(const vbscript::ScriptError &error, const QString &source);

} // namespace nvtarnix
