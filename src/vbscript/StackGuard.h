#pragma once

namespace vbscript::stack {

// Throws ScriptError 28 "Out of stack space" when the calling thread has used
// most of its stack, so that deep recursion in a script or deeply nested
// source ends in an error the script can see, never in a crash of the host.
void check();

} // namespace vbscript::stack
