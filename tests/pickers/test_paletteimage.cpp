// SPDX-License-Identifier: MIT
// The device pixel under the pointer and the putting together of several
// screens' pictures: pure functions, no display. The palette picture itself
// is held pixel for pixel by the palette window's stored picture.
#include "pickers/desktopimage.h"
#include "pickers/paletteimage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

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
    const auto solid = [](int width, int height, QRgb rgb, double ratio = 1.0) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(rgb);
        image.setDevicePixelRatio(ratio);
        return image;
    };
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
