#pragma once

namespace vbscript {
class ScriptLocale;
}

namespace nvtarnix {

// The locale in which the component reads and shows numbers that belong to
// the host's data rather than to the user: a variable's numeric texts handed
// to AddVariable and the codes and texts of a value list. These mean the same
// number whatever locale the user runs ("2.5" is two and a half, not 25 as a
// Greek locale would read it), so they go through the C locale, which is
// also what a program running in C.UTF-8 gets as its own.
const vbscript::ScriptLocale &hostNumberLocale();

} // namespace nvtarnix
