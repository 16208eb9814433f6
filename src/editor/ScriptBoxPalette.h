#pragma once

#include <QPalette>

namespace nvtarnix::editor {

// The script box's palette under any desktop theme: the given palette with a
// white background and black text.
//
// The script's colours (dark blue variables, red error words, black
// functions and plain text) were chosen against a white page, and so were
// the colour literals a host passes in the word list. Keeping the box light
// under a dark theme keeps the designed look exactly, every colour at its
// designed contrast (dark blue &HBB0000& is 12.2:1, red &H0000DD& 5.2:1 on
// white), with no per-colour adjustment that could fail for a host's own
// colours. The rest of the window follows the theme; the selection keeps
// the theme's highlight, with its text made readable on it. Every text of
// the box stands out at least 4.5:1 from what it is drawn on; the
// highlighter does the same for the word colours it is given.
QPalette scriptBoxPalette(QPalette palette);

} // namespace nvtarnix::editor
