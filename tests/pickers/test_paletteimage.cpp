// SPDX-License-Identifier: MIT
// The palette picture, the device pixel under the pointer and the putting
// together of several screens' pictures: pure functions, no display.
#include "pickers/desktopimage.h"
#include "pickers/paletteimage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace {

// Pixels of the palette picture as the program has always shown them: the
// picture keeps them exactly, and each lies within 18 per channel of the
// rule that makes all the others.
constexpr pickers::PalettePixel kStored[] = {
    {0, 0, 0x000000},    {36, 0, 0xFF0F00},  {71, 0, 0xF0EAEA},   {36, 18, 0xFFFF00},
    {35, 37, 0x00FF00},  {36, 56, 0x00F7FF}, {36, 74, 0x0000FF},  {36, 93, 0xFF00FF},
    {36, 104, 0xFF006F}, {0, 104, 0x000000}, {71, 104, 0xFFFFFF},
};

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

QImage solid(int width, int height, QRgb rgb, double ratio = 1.0)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(rgb);
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

TEST(PaletteImage, StoredPixelsKeptEveryOtherByTheRule)
{
    // The rule, hue 3.2 * (y + 1) degrees and lightness (x + 0.5) / 72, is
    // checked against Qt's own HSL conversion, which shares nothing with the
    // program's.
    const QImage image = pickers::MakePaletteImage();
    ASSERT_EQ(image.size(), QSize(72, 105));
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    for (int y = 0; y < 105; ++y) {
        for (int x = 0; x < 72; ++x) {
            const QRgb rule = QColor::fromHslF(static_cast<float>(3.2 * (y + 1) / 360.0), 1.0f,
                                               static_cast<float>((x + 0.5) / 72.0))
                                  .rgb();
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFFu;
            const auto *stored = std::find_if(std::begin(kStored), std::end(kStored),
                                              [&](const auto &p) { return p.x == x && p.y == y; });
            if (stored == std::end(kStored)) {
                EXPECT_LE(channelDistance(pixel, rule), 1) << "pixel " << x << "," << y;
                continue;
            }
            EXPECT_EQ(pixel, stored->rgb) << "pixel " << x << "," << y;
            EXPECT_LE(channelDistance(stored->rgb, rule), 18) << "pixel " << x << "," << y;
        }
    }
}

TEST(DevicePixel, PointerAnywhereOnADevicePixelReadsThatPixel)
{
    // Qt reports the pointer over device pixel d as d / ratio, at times a
    // hair below; anywhere inside that pixel (up to its right and lower edge)
    // it is the same one.
    for (const double ratio : {1.0, 1.25, 1.5, 2.0}) {
        for (int d = 0; d < 4000; ++d) {
            const double corner = d / ratio;
            for (const double x : {corner, std::nextafter(corner, 0.0), (d + 0.25) / ratio,
                                   (d + 0.5) / ratio, (d + 0.999) / ratio})
                ASSERT_EQ(pickers::DevicePixelAt({x, x}, ratio), QPoint(d, d))
                    << "ratio " << ratio << " pixel " << d << " at " << x;
        }
    }
}

TEST(DesktopImage, EveryMonitorAtItsPlace)
{
    EXPECT_TRUE(pickers::ComposeDesktopImage({}).isNull());
    EXPECT_TRUE(pickers::ComposeDesktopImage({{{0, 0}, QImage()}}).isNull());
    // A wide monitor, a smaller one to its right and lower, a scaled third
    // left of the origin: the picture spans them all, black between.
    const QImage desktop = pickers::ComposeDesktopImage({{{0, 0}, solid(3840, 2160, 0xFF0000)},
                                                         {{3840, 200}, solid(1280, 1024, 0x00FF00)},
                                                         {{-800, 0}, solid(800, 600, 0x0000FF, 2)},
                                                         {{0, 5000}, QImage()}});
    ASSERT_EQ(desktop.size(), QSize(800 + 3840 + 1280, 2160));
    const std::pair<QPoint, QRgb> pixels[] = {{{0, 0}, 0x0000FF},      {{799, 599}, 0x0000FF},
                                              {{800, 0}, 0xFF0000},    {{4639, 2159}, 0xFF0000},
                                              {{4640, 200}, 0x00FF00}, {{5919, 1223}, 0x00FF00},
                                              {{4640, 199}, 0x000000}, {{0, 600}, 0x000000}};
    for (const auto &[at, rgb] : pixels)
        EXPECT_EQ(desktop.pixel(at) & 0xFFFFFFu, rgb) << at.x() << "," << at.y();
}
