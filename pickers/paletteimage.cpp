// SPDX-License-Identifier: MIT
#include "pickers/paletteimage.h"

#include <algorithm>
#include <cmath>

namespace pickers {

namespace {

int toChannel(double unit)
{
    return static_cast<int>(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0));
}

} // namespace

colour::ColourValue HslColour(double hue, double saturation, double lightness)
{
    const double h = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
    const double chroma = (1.0 - std::abs(2.0 * lightness - 1.0)) * saturation;
    const double second = chroma * (1.0 - std::abs(std::fmod(h, 2.0) - 1.0));
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    switch (static_cast<int>(h)) {
    case 0:
        r = chroma;
        g = second;
        break;
    case 1:
        r = second;
        g = chroma;
        break;
    case 2:
        g = chroma;
        b = second;
        break;
    case 3:
        g = second;
        b = chroma;
        break;
    case 4:
        r = second;
        b = chroma;
        break;
    default:
        r = chroma;
        b = second;
        break;
    }
    const double m = lightness - chroma / 2.0;
    return colour::MakeColourValue(toChannel(r + m), toChannel(g + m), toChannel(b + m));
}

colour::ColourValue PaletteRuleColour(int x, int y)
{
    return HslColour(3.2 * (y + 1), 1.0, (x + 0.5) / kPaletteColumns);
}

QImage MakePaletteImage()
{
    QImage image(kPaletteColumns, kPaletteRows, QImage::Format_RGB32);
    for (int y = 0; y < kPaletteRows; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < kPaletteColumns; ++x) {
            const colour::Rgb rgb = colour::SplitRgb(PaletteRuleColour(x, y));
            line[x] = qRgb(rgb.red, rgb.green, rgb.blue);
        }
    }
    for (const PalettePixel &known : kKnownPalettePixels)
        image.setPixel(known.x, known.y,
                       qRgb(qRed(known.rgb), qGreen(known.rgb), qBlue(known.rgb)));
    return image;
}

colour::ColourValue ColourFromRgb(QRgb rgb)
{
    return colour::MakeColourValue(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

colour::ColourValue PixelColourAt(const QImage &image, QPoint point)
{
    if (!image.valid(point))
        return colour::kInvalidColour;
    return ColourFromRgb(image.pixel(point));
}

QPoint ClampToImage(const QImage &image, QPoint point)
{
    return {std::clamp(point.x(), 0, std::max(0, image.width() - 1)),
            std::clamp(point.y(), 0, std::max(0, image.height() - 1))};
}

colour::ColourValue PaletteColourAt(const QImage &image, QPoint point)
{
    return PixelColourAt(image, ClampToImage(image, point));
}

QPoint DevicePixelAt(QPointF logical, double devicePixelRatio)
{
    constexpr double kTolerance = 1e-6;
    return {static_cast<int>(std::floor(logical.x() * devicePixelRatio + kTolerance)),
            static_cast<int>(std::floor(logical.y() * devicePixelRatio + kTolerance))};
}

} // namespace pickers
