#pragma once

#include <QString>

class QWidget;

namespace nvtarnix {

// Gives a window and every widget inside it the font face at size points.
// A face the system lacks (Tahoma on most Linux machines) is matched by
// fontconfig to the closest installed one. charset names the script the
// texts are in (161 is Greek); Qt fonts cover every script, so it only
// documents the caller's intent.
void ApplyFormFont(QWidget *window, const QString &face, double size, int charset);

} // namespace nvtarnix
