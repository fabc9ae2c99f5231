// SPDX-License-Identifier: MIT
// The device pixel under the pointer, the putting together of several
// screens' pictures, where the loupe stands and where the palette docks: pure
// functions, no display.
// The palette picture itself is held pixel for pixel by the palette window's
// stored picture.
#include "pickers/desktopimage.h"
#include "pickers/loupelayout.h"
#include "pickers/palettedock.h"
#include "pickers/paletteimage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
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

namespace {

/// A small picture drawn in letters, rows joined by '/'; each letter its own
/// colour, '.' black. The top byte of each pixel is left 0, as a compositor's
/// buffer may have it.
QImage Letters(const std::string &rows)
{
    const auto lines = QString::fromStdString(rows).split(u'/');
    QImage image(static_cast<int>(lines.front().size()), static_cast<int>(lines.size()),
                 QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const char letter = lines[y][x].toLatin1();
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] =
                letter == '.' ? 0u : qRgb(letter, 0x40, 0x80) & 0xFFFFFFu;
        }
    return image;
}

/// The picture read back in letters; '?' where a pixel is not opaque.
std::string Read(const QImage &image)
{
    std::string rows;
    for (int y = 0; y < image.height(); ++y) {
        if (y > 0)
            rows += '/';
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            rows += qAlpha(pixel) != 0xFF ? '?' : qBlue(pixel) == 0 ? '.' : char(qRed(pixel));
        }
    }
    return rows;
}

} // namespace

TEST(OutputPictures, EachTurnOfTheCompositorBroughtUpright)
{
    // What a compositor hands over for the upright picture ABC/DEF: turned
    // counter-clockwise, mirrored left to right before turning, rows
    // bottom-up.
    using T = pickers::OutputTransform;
    const std::tuple<T, bool, const char *> rows[] = {
        {T::Normal, false, "ABC/DEF"},     {T::Rotated90, false, "CF/BE/AD"},
        {T::Rotated180, false, "FED/CBA"}, {T::Rotated270, false, "DA/EB/FC"},
        {T::Flipped, false, "CBA/FED"},    {T::Flipped90, false, "AD/BE/CF"},
        {T::Flipped180, false, "DEF/ABC"}, {T::Flipped270, false, "FC/EB/DA"},
        {T::Normal, true, "DEF/ABC"},      {T::Rotated90, true, "AD/BE/CF"},
    };
    for (const auto &[transform, yInverted, buffer] : rows) {
        const QImage upright = pickers::ComposeOutputPictures(
            {{Letters(buffer), transform, yInverted, QRect(10, 20, 3, 2)}}, QSize(3, 2));
        EXPECT_EQ(Read(upright), "ABC/DEF") << buffer << " y-inverted " << yInverted;
    }
}

TEST(OutputPictures, EveryOutputAtItsPlaceAtTheDesktopsSize)
{
    // An output at a scale of 2 (4 x 4 buffer pixels on 2 x 2 logical ones),
    // one of scale 1 lower right, a gap between them; each desktop pixel
    // shows the buffer pixel under its middle.
    const auto compose = [](QSize size) {
        return Read(pickers::ComposeOutputPictures(
            {{Letters("abcd/efgh/ijkl/mnop"), {}, false, QRect(0, 0, 2, 2)},
             {Letters("Z"), {}, false, QRect(3, 1, 1, 1)},
             {QImage(), {}, false, QRect(0, 5, 1, 1)}},
            size));
    };
    EXPECT_EQ(compose(QSize(4, 2)), "fh../np.Z");
    EXPECT_EQ(compose(QSize()), "fh../np.Z") << "the layout's own size";
    EXPECT_EQ(compose(QSize(8, 4)), "abcd..../efgh..../ijkl..ZZ/mnop..ZZ")
        << "a desktop of twice the layout's pixels";
    EXPECT_TRUE(pickers::ComposeOutputPictures({}, QSize(4, 2)).isNull());
}

TEST(PaletteDock, WhollyVisibleBesideTheMainWindow)
{
    // The main window's frame is 339 x 242 at the point given; the palette's
    // 86 x 242. The left side at the screen's right edge is the end-to-end
    // test's.
    const QList<QRect> one = {QRect(0, 0, 1280, 800)};
    const QList<QRect> two = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};
    const std::tuple<QPoint, QList<QRect>, QPoint> cases[] = {
        {{941, 100}, two, {1280, 100}},                 // on the next screen
        {{30, 20}, {QRect(0, 0, 400, 300)}, {314, 20}}, // no room either side: inside
        {{30, 700}, one, {369, 558}},                   // the main window partly below the bottom
    };
    for (const auto &[main, screens, expected] : cases)
        EXPECT_EQ(pickers::DockPosition(QRect(main, QSize(339, 242)), {86, 242}, screens), expected)
            << main.x() << "," << main.y();
}

TEST(LoupePlacement, WholeOnTheScreenAndOffTheHotspot)
{
    // The loupe is 100 x 118, 16 away from the hotspot: below and to the
    // right, on the other side at an edge, at the screen's start where the
    // screen is too small for either side.
    const QRect screen(0, 0, 1280, 800);
    const std::tuple<QPoint, QRect, QPoint> cases[] = {
        {{600, 400}, screen, {616, 416}},
        {{1164, 0}, screen, {1180, 16}},                  // just fits on the right
        {{1165, 400}, screen, {1049, 416}},               // one more: on the left
        {{1279, 799}, screen, {1163, 665}},               // the bottom-right corner
        {{600, 799}, screen, {616, 665}},                 // the bottom edge
        {{2303, 767}, {1280, 0, 1024, 768}, {2187, 633}}, // a second screen's corner
        {{100, 100}, {0, 0, 200, 800}, {0, 116}},         // no room either side, but whole
        {{40, 30}, {0, 0, 80, 60}, {0, 0}},               // a screen smaller than the loupe
        {{1300, 330}, {1280, 300, 90, 60}, {1280, 300}},
    };
    for (const auto &[hotspot, bounds, expected] : cases)
        EXPECT_EQ(pickers::loupe::Placement(hotspot, bounds), expected)
            << hotspot.x() << "," << hotspot.y();
}
