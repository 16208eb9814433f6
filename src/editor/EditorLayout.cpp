#include "editor/EditorLayout.h"

#include <cmath>
#include <limits>
#include <optional>

namespace nvtarnix::editor {

namespace {

// The window's coordinates are 32-bit integers and rounding goes to the even
// neighbour on halves, as the window system's own conversions do. A value that
// does not fit is an overflow: the step that computes it is skipped.
std::optional<int> toTwips(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

// A move with a negative width or height is refused and changes nothing.
void moveControl(TwipRect &control, std::optional<int> left, std::optional<int> top,
                 std::optional<int> width, std::optional<int> height)
{
    if (!left || !top || !width || !height || *width < 0 || *height < 0)
        return;
    control = TwipRect{*left, *top, *width, *height};
}

void setValue(int &target, std::optional<int> value)
{
    if (value)
        target = *value;
}

} // namespace

EditorGeometry Form_Resize(const EditorGeometry &current, double clientWidth, double clientHeight,
                           double twipsPerPixel)
{
    EditorGeometry g = current;
    const double SW = clientWidth;
    const double SH = clientHeight;
    const double P = twipsPerPixel;

    const std::optional<int> marginValue = toTwips(12 * P);
    if (!marginValue)
        return g;
    const int margin = *marginValue;

    std::optional<int> checkTop;
    if (const auto sh = toTwips(SH))
        checkTop = toTwips(static_cast<double>(*sh / 2) - g.cmdOK.height);

    setValue(g.cmdCheck.left, toTwips(SW - margin - g.cmdCheck.width));
    setValue(g.cmdCheck.top, checkTop);

    const auto treeWidth = [&]() -> std::optional<int> {
        const auto inner = toTwips(SW - 3.0 * margin);
        if (!inner)
            return std::nullopt;
        return *inner / 2;
    };

    moveControl(g.tvVariables, margin, g.tvVariables.top, treeWidth(),
                toTwips(double(g.cmdCheck.top) - margin - g.tvVariables.top));
    g.lbVariables.left = g.tvVariables.left;

    moveControl(g.tvFunctions, toTwips(double(g.tvVariables.left) + g.tvVariables.width + margin),
                g.tvVariables.top, treeWidth(), g.tvVariables.height);
    g.lbMethods.left = g.tvFunctions.left;

    const auto buttonsTop = toTwips(SH - margin - g.cmdOK.height);
    moveControl(g.cmdOK, toTwips(SW - 2.0 * g.cmdOK.width - 16 * P), buttonsTop, g.cmdOK.width,
                g.cmdOK.height);
    moveControl(g.cmdCancel, toTwips(SW - g.cmdOK.width - margin), buttonsTop, g.cmdOK.width,
                g.cmdOK.height);

    g.cmdValueList.left = margin;
    g.cmdValueList.top = g.cmdCheck.top;

    if (const auto lowerTop = toTwips(double(g.cmdCheck.top) + g.cmdCheck.height)) {
        moveControl(g.picbottom, margin, *lowerTop, toTwips(SW - 2.0 * margin),
                    toTwips(SH - *lowerTop - g.cmdOK.height - margin));
    }
    return g;
}

EditorGeometry picbottom_Resize(const EditorGeometry &current, double innerWidth, double innerHeight,
                                double twipsPerPixel, bool showHelpLine)
{
    EditorGeometry g = current;
    const auto gap = toTwips(4 * twipsPerPixel);
    const auto PW = toTwips(innerWidth);
    const auto PH = toTwips(innerHeight);
    if (!gap || !PW || !PH)
        return g;

    moveControl(g.frInfo, 0, 0, *PW, g.frInfo.height);
    // The help line keeps equal space on both sides inside its frame; a negative
    // width is refused like any other.
    if (const int width = g.frInfo.width - 2 * g.lbInfo.left; width >= 0)
        g.lbInfo.width = width;

    if (showHelpLine) {
        moveControl(g.txtScript, 0, g.frInfo.height + *gap, *PW, *PH - g.frInfo.height - 2 * *gap);
    } else {
        moveControl(g.txtScript, 0, *gap, *PW, *PH - 2 * *gap);
    }
    return g;
}

} // namespace nvtarnix::editor
