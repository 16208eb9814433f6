#pragma once

#include "editor/RoundTripCheck.h"

#include <QVector>

class QWidget;

namespace nvtarnix::editor {

// Asks whether to keep a rule whose variables would be stored as other
// variables (Keep) or to go back to the text (Go back, also Esc and the
// close box). True to keep. The box is "msgNameChanges", its buttons
// "cmdKeep" and "cmdGoBack".
bool askKeepNameChanges(QWidget *parent, const QVector<NameChange> &changes);

} // namespace nvtarnix::editor
