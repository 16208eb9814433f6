#pragma once

#include <nvtarnix/Error.h>

#include <QString>

#include <exception>

namespace nvtarnix {

// Keeps the error being handled (number, source, description) for this
// thread, so that it can be raised again after clean-up that might itself
// have replaced it.
void SaveError(const Error &error);
// The same for any exception, so that nothing reaches the host unnumbered: a
// numbered error is kept as it is, anything else under the runtime's number
// and text for it (7 "Out of memory", 51 "Internal error").
void SaveError(const std::exception &error);

// Raises the kept error again: with its own description when replacement is
// empty or only blanks, otherwise with replacement as description. Before any
// SaveError the kept error is number 0 with empty texts.
[[noreturn]] void RaiseSavedError(const QString &replacement = {});

} // namespace nvtarnix
