#include "widgets/ReadableColour.h"

#include <cmath>

namespace ReadableColour {

namespace {

double channel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

double contrast(const QColor &first, const QColor &second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor against(const QColor &wanted, const QColor &background, double ratio)
{
    if (contrast(wanted, background) >= ratio)
        return wanted;
    // Walk the lightness away from the background's until the colour reads; the hue stays.
    const QColor hsl = wanted.toHsl();
    const bool lighter = luminance(background) < 0.18;
    QColor candidate = wanted;
    for (int step = 1; step <= 100; ++step) {
        const double lightness = lighter ? hsl.lightnessF() + (1.0 - hsl.lightnessF()) * step / 100.0
                                         : hsl.lightnessF() * (1.0 - step / 100.0);
        candidate = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), float(lightness));
        if (contrast(candidate, background) >= ratio)
            break;
    }
    return candidate.toRgb();
}

} // namespace ReadableColour
