#pragma once

#include <QPoint>
#include <Qt>

// The keys and the wheel that make the script text larger or smaller: one
// point per step. Ctrl+] and Ctrl+[ have always done it; Ctrl with plus or
// minus (on the main keys, with or without Shift, or on the keypad) and
// Ctrl with the wheel do it too, as in other editors.

namespace nvtarnix::editor {

// +1, -1, or 0 when the key is no zoom key.
int zoomStepForKey(int key, Qt::KeyboardModifiers modifiers);

// +1 (away from the user), -1, or 0 without Ctrl or without a vertical turn.
int zoomStepForWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);

} // namespace nvtarnix::editor
