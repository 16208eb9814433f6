#include "editor/Contrast.h"

#include <algorithm>
#include <cmath>

namespace nvtarnix::editor {

namespace {

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

QRgb mix(QRgb from, QRgb to, double amount)
{
    const auto channel = [amount](int a, int b) { return int(std::lround(a + (b - a) * amount)); };
    return qRgb(channel(qRed(from), qRed(to)), channel(qGreen(from), qGreen(to)), channel(qBlue(from), qBlue(to)));
}

} // namespace

double relativeLuminance(QRgb colour)
{
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

double contrastRatio(QRgb first, QRgb second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QRgb readableOn(QRgb colour, QRgb background, double minimum)
{
    colour = qRgb(qRed(colour), qGreen(colour), qBlue(colour));
    if (contrastRatio(colour, background) >= minimum)
        return colour;
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb extreme = contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
    // Contrast grows steadily along the mix towards the extreme, so the least
    // mix that reaches the minimum is found by halving; the last step rounds
    // up so the answer always reaches it (or is the extreme itself).
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 16; ++step) {
        const double middle = (low + high) / 2;
        if (contrastRatio(mix(colour, extreme, middle), background) >= minimum)
            high = middle;
        else
            low = middle;
    }
    return mix(colour, extreme, high);
}

} // namespace nvtarnix::editor
