#include "editor/ScriptBoxPalette.h"

#include "editor/Contrast.h"

namespace nvtarnix::editor {

namespace {

// Gives role in group a colour that stands out from the group's background
// by minimum, starting from the colour it would have had.
void keepReadable(QPalette &palette, QPalette::ColorGroup group, QPalette::ColorRole role,
                  QPalette::ColorRole background, double minimum)
{
    const QRgb base = palette.color(group, background).rgb();
    palette.setColor(group, role, QColor::fromRgb(readableOn(palette.color(group, role).rgb(), base, minimum)));
}

} // namespace

QPalette scriptBoxPalette(QPalette palette)
{
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::PlaceholderText, Qt::darkGray);
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0xF0, 0xF0, 0xF0));
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::darkGray);
    // The theme's selection stays, but its text must still be read on it;
    // grey placeholder and disabled texts are darkened until they can be.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        keepReadable(palette, group, QPalette::Text, QPalette::Base, kTextContrast);
        keepReadable(palette, group, QPalette::PlaceholderText, QPalette::Base, kTextContrast);
        keepReadable(palette, group, QPalette::HighlightedText, QPalette::Highlight, kTextContrast);
    }
    return palette;
}

} // namespace nvtarnix::editor
