#pragma once

#include <QPalette>
#include <QRgb>

class QWidget;

namespace nvtarnix::editor {

// The ring's colour: the palette's highlight, darkened or lightened as little
// as needed to stand out 3:1 from the window's background it is drawn on, so
// a host's theme keeps its hue and the ring stays visible under any of them.
QRgb focusRingColour(const QPalette &palette);

// Draws a ring just outside whichever control of `window` has the keyboard
// focus. The styles draw the focus themselves, but not always so a user sees
// it: a text box shows only its caret, and a list whose current row is
// selected looks the same with the focus as without. The ring belongs to the
// window and goes with it; it takes no clicks.
void showFocusRing(QWidget *window);

} // namespace nvtarnix::editor
