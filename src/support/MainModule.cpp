#include "support/MainModule.h"

#include "support/FailureHandling.h"
#include "support/MlStringModule.h"

namespace nvtarnix {

void MainModule()
{
    thread_local bool started = false;
    if (started)
        return;
    started = true;
    try {
        InitLanguage(0);
    } catch (...) {
        logSkippedFailure();
        // Start-up must never stop the host; the first lookup tries again.
    }
}

} // namespace nvtarnix
