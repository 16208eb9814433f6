#pragma once

namespace vbscript {

class BuiltinRegistry;

// Adds the runtime library to a registry: every built-in function beyond the
// language's own conversions, the vb* constants and the creatable classes
// (Scripting.Dictionary).
void registerLibrary(BuiltinRegistry &registry);

} // namespace vbscript
