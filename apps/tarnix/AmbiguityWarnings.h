#pragma once

#include <nvtarnix/TarnixObject.h>

#include <QString>

namespace tarnixcli {

// Prints "tarnix COMMAND: warning: ..." on standard error for every name of
// the builder's view that a rule cannot name safely, so that no conversion
// or check over such a view goes by without a word.
void warnAmbiguities(const QString &command, const nvtarnix::TarnixObject &builder);

// The text with every line ended by a line feed alone, as a Unix tool's
// output is: the check's message is written for a message box (CR LF, and
// a TAB after the description).
QString withUnixLineEnds(QString text);

} // namespace tarnixcli
