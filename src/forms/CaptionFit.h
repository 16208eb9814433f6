#pragma once

#include <QStyleOptionButton>

class QPushButton;

namespace nvtarnix {

// The style option a push button is drawn with: its state, caption and
// default-button features, as the button fills them in itself.
QStyleOptionButton pushButtonOption(const QPushButton *button);

// The narrowest width, in pixels, at which a push button shows its caption
// whole in its current font and style: the caption's width plus the room the
// style keeps around a button's contents. The windows give a button this
// width when its designed width is less, so that no caption is clipped in
// any language, font or scale.
int captionFitWidth(const QPushButton *button);

} // namespace nvtarnix
