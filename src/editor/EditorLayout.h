#pragma once

// The editor window keeps its controls in twips, its own scale, and places them
// with two routines: Form_Resize for the whole window and picbottom_Resize for
// the lower area (help line and script text). Both are pure functions of the
// sizes, the twips-per-pixel factor and the current geometry, so every number
// can be checked exactly; the window converts the result to pixels.

namespace nvtarnix::editor {

struct TwipRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const TwipRect &, const TwipRect &) = default;
};

// Geometry of every control that the layout reads or moves, in twips, relative
// to its parent's inner area. The defaults are the window's creation geometry;
// controls that sit side by side, or one inside the other, share a line.
struct EditorGeometry
{
    TwipRect picbottom{180, 3420, 8025, 2715};
    TwipRect frInfo{0, 0, 7980, 825}, lbInfo{135, 180, 7620, 555};
    TwipRect txtScript{0, 900, 8025, 1725};
    TwipRect tvFunctions{4140, 360, 4155, 2445}, tvVariables{90, 360, 3885, 2445};
    TwipRect cmdValueList{180, 2970, 2085, 375}, cmdCheck{7155, 2970, 1140, 375};
    TwipRect cmdCancel{7290, 6210, 1140, 375}, cmdOK{6075, 6210, 1140, 375};
    TwipRect StatusBar1{0, 6465, 8430, 285};
    TwipRect lbVariables{90, 90, 4155, 285}, lbMethods{4140, 90, 4155, 285};

    friend bool operator==(const EditorGeometry &, const EditorGeometry &) = default;
};

// Inner size of the window when it is created, in twips.
inline constexpr int kCreationClientWidth = 8430;
inline constexpr int kCreationClientHeight = 6750;

// Lays out the window for an inner area of clientWidth x clientHeight twips.
// A move that would give a control a negative width or height is refused and
// leaves that control where it was; later steps read the unchanged values.
EditorGeometry Form_Resize(const EditorGeometry &current, double clientWidth, double clientHeight,
                           double twipsPerPixel);

// Lays out the lower area for its inner size; showHelpLine is the editor's
// copy of the owner's ShowHelpString.
EditorGeometry picbottom_Resize(const EditorGeometry &current, double innerWidth, double innerHeight,
                                double twipsPerPixel, bool showHelpLine);

} // namespace nvtarnix::editor
