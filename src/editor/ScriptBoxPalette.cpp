#include "editor/ScriptBoxPalette.h"

namespace nvtarnix::editor {

QPalette scriptBoxPalette(QPalette palette)
{
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::PlaceholderText, Qt::darkGray);
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0xF0, 0xF0, 0xF0));
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::darkGray);
    return palette;
}

} // namespace nvtarnix::editor
