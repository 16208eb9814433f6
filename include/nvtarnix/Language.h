#pragma once

// The language the wizard speaks: its captions, buttons, messages and help
// lines. Languages are Windows language ids; the component carries texts for
// Greek and English, and shows the English texts for any other id.
//
//     nvtarnix::setUserInterfaceLanguage(nvtarnix::EnglishLanguage);
//     nvtarnix::TarnixObject wizard;      // captions in English from here on
//
// The choice belongs to the calling thread, as the wizard does (its windows
// live on the host's user-interface thread). Until a host chooses, a thread
// speaks the language named by the environment variable NVTARNIX_LANGUAGE,
// and Greek when that names none.

#include <nvtarnix/Export.h>

namespace nvtarnix {

inline constexpr int GreekLanguage = 1032;
inline constexpr int EnglishLanguage = 1033;

// The language of the next text the wizard shows in this thread.
NVTARNIX_EXPORT int userInterfaceLanguage();

// Every window the wizard opens from now on, and every message it shows,
// speaks `language`. A TarnixObject takes its five captions (EditorTitle,
// VariableCaption, FunctionCaption, VariableRoot, FunctionRoot) from the
// language when it is created: create a new one, or set them, for those to
// follow too. An id outside 1 to 32767 raises 5 "Invalid procedure call or
// argument" and changes nothing.
NVTARNIX_EXPORT void setUserInterfaceLanguage(int language);

} // namespace nvtarnix
