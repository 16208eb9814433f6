#pragma once

namespace nvtarnix {

// Start-up of the component in the calling thread: settles the user-interface
// language once, before the thread's first TarnixObject. Later calls in the
// same thread do nothing; nothing it meets is passed on.
void MainModule();

} // namespace nvtarnix
