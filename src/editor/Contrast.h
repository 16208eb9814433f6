#pragma once

#include <QRgb>

// Contrast between two colours as the accessibility guidelines measure it:
// the ratio of their relative luminances, each plus 0.05, from 1:1 (equal)
// to 21:1 (black on white).

namespace nvtarnix::editor {

// Text must stand out 4.5:1 from its background, a line (an underline) 3:1.
inline constexpr double kTextContrast = 4.5;
inline constexpr double kLineContrast = 3.0;

double relativeLuminance(QRgb colour);
double contrastRatio(QRgb first, QRgb second);

// The colour itself when it already stands out minimum:1 from background;
// otherwise the least mix of it towards black or white (whichever stands out
// more from the background) that does. The hue is kept as far as the
// contrast allows, so a host's colours stay recognisable.
QRgb readableOn(QRgb colour, QRgb background, double minimum);

} // namespace nvtarnix::editor
