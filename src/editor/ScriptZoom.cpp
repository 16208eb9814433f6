#include "editor/ScriptZoom.h"

namespace nvtarnix::editor {

int zoomStepForKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers == Qt::ControlModifier) {
        if (key == Qt::Key_BracketRight)
            return 1;
        if (key == Qt::Key_BracketLeft)
            return -1;
    }
    // Plus needs Shift on many layouts, and the keypad adds its own flag.
    const Qt::KeyboardModifiers rest = modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (rest != Qt::ControlModifier)
        return 0;
    if (key == Qt::Key_Plus || key == Qt::Key_Equal)
        return 1;
    if (key == Qt::Key_Minus)
        return -1;
    return 0;
}

int zoomStepForWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ControlModifier) || angleDelta.y() == 0)
        return 0;
    return angleDelta.y() > 0 ? 1 : -1;
}

} // namespace nvtarnix::editor
