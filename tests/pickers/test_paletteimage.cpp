// SPDX-License-Identifier: MIT
// The palette picture, the pixel reads of the two pickers and the putting
// together of several screens' pictures: pure functions, no display.
#include "pickers/desktopimage.h"
#include "pickers/paletteimage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

struct StoredPixel
{
    int x;
    int y;
    QRgb rgb;
};

// Pixels of the palette picture as the program has always shown them: the
// picture keeps them exactly, and each lies within 18 per channel of the
// rule that makes all the others.
constexpr StoredPixel kStored[] = {
    {0, 0, 0x000000},    {36, 0, 0xFF0F00},  {71, 0, 0xF0EAEA},   {36, 18, 0xFFFF00},
    {35, 37, 0x00FF00},  {36, 56, 0x00F7FF}, {36, 74, 0x0000FF},  {36, 93, 0xFF00FF},
    {36, 104, 0xFF006F}, {0, 104, 0x000000}, {71, 104, 0xFFFFFF},
};

constexpr int kTolerance = 18;

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

QRgb toRgb(colour::ColourValue value)
{
    return qRgb(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

QImage solid(int width, int height, QRgb rgb)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(rgb);
    return image;
}

} // namespace

TEST(PaletteImage, SizeAndFormat)
{
    const QImage image = pickers::MakePaletteImage();
    EXPECT_EQ(image.width(), 72);
    EXPECT_EQ(image.height(), 105);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
}

class StoredPixelTest : public testing::TestWithParam<StoredPixel>
{
};

TEST_P(StoredPixelTest, KeptExactly)
{
    const StoredPixel p = GetParam();
    const QImage image = pickers::MakePaletteImage();
    EXPECT_EQ(image.pixel(p.x, p.y) & 0xFFFFFFu, p.rgb) << "pixel " << p.x << "," << p.y;
}

TEST_P(StoredPixelTest, RuleWithinTolerance)
{
    const StoredPixel p = GetParam();
    const QRgb rule = toRgb(pickers::PaletteRuleColour(p.x, p.y));
    EXPECT_LE(channelDistance(rule, p.rgb), kTolerance)
        << "pixel " << p.x << "," << p.y << " rule " << std::hex << (rule & 0xFFFFFF) << " stored "
        << p.rgb;
}

INSTANTIATE_TEST_SUITE_P(Table, StoredPixelTest, testing::ValuesIn(kStored));

// Hue and lightness worked out independently of the program's conversion:
// the pure hues at the six corners of the colour wheel, black, white, grey.
struct HslCase
{
    double hue;
    double lightness;
    QRgb rgb;
};

class HslTest : public testing::TestWithParam<HslCase>
{
};

TEST_P(HslTest, KnownColours)
{
    const HslCase c = GetParam();
    EXPECT_EQ(toRgb(pickers::HslColour(c.hue, 1.0, c.lightness)),
              qRgb(qRed(c.rgb), qGreen(c.rgb), qBlue(c.rgb)))
        << "hue " << c.hue << " lightness " << c.lightness;
}

INSTANTIATE_TEST_SUITE_P(Wheel, HslTest,
                         testing::Values(HslCase{0, 0.5, 0xFF0000}, HslCase{60, 0.5, 0xFFFF00},
                                         HslCase{120, 0.5, 0x00FF00}, HslCase{180, 0.5, 0x00FFFF},
                                         HslCase{240, 0.5, 0x0000FF}, HslCase{300, 0.5, 0xFF00FF},
                                         HslCase{360, 0.5, 0xFF0000}, HslCase{-60, 0.5, 0xFF00FF},
                                         HslCase{30, 0.5, 0xFF8000}, HslCase{200, 0.0, 0x000000},
                                         HslCase{200, 1.0, 0xFFFFFF}, HslCase{90, 0.25, 0x408000},
                                         HslCase{270, 0.75, 0xBF80FF}));

TEST(PaletteImage, EveryPixelFollowsTheRule)
{
    // Rows are hues from 3.2 degrees down to 336, columns lightnesses
    // (x + 0.5) / 72: checked against Qt's own HSL conversion, which has
    // nothing in common with the program's.
    const QImage image = pickers::MakePaletteImage();
    int worst = 0;
    int worstKept = 0;
    for (int y = 0; y < 105; ++y) {
        for (int x = 0; x < 72; ++x) {
            const QColor expected = QColor::fromHslF(static_cast<float>(3.2 * (y + 1) / 360.0),
                                                     1.0f, static_cast<float>((x + 0.5) / 72.0));
            const int distance = channelDistance(image.pixel(x, y), expected.rgb());
            const bool kept =
                std::any_of(std::begin(kStored), std::end(kStored),
                            [&](const StoredPixel &p) { return p.x == x && p.y == y; });
            (kept ? worstKept : worst) = std::max(kept ? worstKept : worst, distance);
        }
    }
    EXPECT_LE(worst, 1);
    EXPECT_LE(worstKept, kTolerance);
}

TEST(PaletteImage, RowsRunThroughTheHues)
{
    // The pure hue sits in the middle columns; the named rows show it.
    const QImage image = pickers::MakePaletteImage();
    const struct
    {
        int row;
        QRgb hue;
    } rows[] = {{18, 0xFFFF00}, {37, 0x00FF00}, {56, 0x00FFFF}, {74, 0x0000FF}, {93, 0xFF00FF}};
    for (const auto &r : rows)
        EXPECT_LE(channelDistance(image.pixel(36, r.row), r.hue), kTolerance) << "row " << r.row;
    // Black or nearly so on the left, white or nearly so on the right (the
    // kept top-right pixel F0EAEA is the farthest from white).
    for (int y = 0; y < 105; ++y) {
        EXPECT_LE(channelDistance(image.pixel(0, y), 0x000000), 6) << "row " << y;
        EXPECT_LE(channelDistance(image.pixel(71, y), 0xFFFFFF), 21) << "row " << y;
    }
}

TEST(PixelRead, ColourValueLayout)
{
    QImage image = solid(3, 2, qRgb(0x12, 0x03, 0x00));
    image.setPixel(2, 1, qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(pickers::PixelColourAt(image, {0, 0}), 0x000312u);
    EXPECT_EQ(pickers::PixelColourAt(image, {2, 1}), 0x332211u);
}

TEST(PixelRead, OutsideIsInvalid)
{
    const QImage image = solid(4, 3, qRgb(1, 2, 3));
    for (const QPoint p :
         {QPoint(-1, 0), QPoint(0, -1), QPoint(4, 0), QPoint(0, 3), QPoint(99, 99)})
        EXPECT_EQ(pickers::PixelColourAt(image, p), colour::kInvalidColour)
            << p.x() << "," << p.y();
    EXPECT_EQ(pickers::PixelColourAt(QImage(), {0, 0}), colour::kInvalidColour);
}

struct ClampCase
{
    QPoint pointer;
    QPoint nearest;
};

class PaletteClampTest : public testing::TestWithParam<ClampCase>
{
};

TEST_P(PaletteClampTest, OutsideTakesTheNearestEdgePixel)
{
    const ClampCase c = GetParam();
    const QImage image = pickers::MakePaletteImage();
    EXPECT_EQ(pickers::ClampToImage(image, c.pointer), c.nearest);
    EXPECT_EQ(pickers::PaletteColourAt(image, c.pointer), pickers::PixelColourAt(image, c.nearest));
}

INSTANTIATE_TEST_SUITE_P(Edges, PaletteClampTest,
                         testing::Values(ClampCase{{36, 18}, {36, 18}}, // inside: unchanged
                                         ClampCase{{0, 0}, {0, 0}}, ClampCase{{71, 104}, {71, 104}},
                                         ClampCase{{-5, 18}, {0, 18}},    // left of the picture
                                         ClampCase{{80, 18}, {71, 18}},   // right
                                         ClampCase{{36, -1}, {36, 0}},    // above
                                         ClampCase{{36, 300}, {36, 104}}, // below
                                         ClampCase{{-9, -9}, {0, 0}},     // corners
                                         ClampCase{{500, -3}, {71, 0}},
                                         ClampCase{{-1, 105}, {0, 104}},
                                         ClampCase{{72, 105}, {71, 104}}));

TEST(PaletteClamp, NeverInvalidOnThePalette)
{
    const QImage image = pickers::MakePaletteImage();
    for (int y = -20; y < 130; y += 7) {
        for (int x = -20; x < 100; x += 7)
            EXPECT_NE(pickers::PaletteColourAt(image, {x, y}), colour::kInvalidColour);
    }
    EXPECT_EQ(pickers::PaletteColourAt(QImage(), {0, 0}), colour::kInvalidColour);
}

class DevicePixelTest : public testing::TestWithParam<double>
{
};

TEST_P(DevicePixelTest, PointerOnEveryDevicePixelReadsThatPixel)
{
    // Qt reports the pointer over device pixel d as d / ratio; anywhere
    // inside that pixel (up to its right and lower edge) it is the same one.
    const double ratio = GetParam();
    for (int d = 0; d < 4000; ++d) {
        for (const double inside : {0.0, 0.25, 0.5, 0.999}) {
            const QPointF logical((d + inside) / ratio, (d + inside) / ratio);
            const QPoint device = pickers::DevicePixelAt(logical, ratio);
            ASSERT_EQ(device, QPoint(d, d)) << "ratio " << ratio << " pixel " << d << "+" << inside;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, DevicePixelTest, testing::Values(1.0, 1.25, 1.5, 2.0));

TEST(DevicePixel, ExamplesAtOneAndAHalf)
{
    EXPECT_EQ(pickers::DevicePixelAt({2.0, 0.0}, 1.5), QPoint(3, 0));
    EXPECT_EQ(pickers::DevicePixelAt({4.0 / 1.5, 2.0 / 1.5}, 1.5), QPoint(4, 2));
    EXPECT_EQ(pickers::DevicePixelAt({2559.9, 1439.9}, 1.5), QPoint(3839, 2159));
    EXPECT_EQ(pickers::DevicePixelAt({10.0, 20.0}, 2.0), QPoint(20, 40));
    EXPECT_EQ(pickers::DevicePixelAt({10.7, 20.2}, 1.0), QPoint(10, 20));
}

TEST(DesktopImage, NothingGivesNull)
{
    EXPECT_TRUE(pickers::ComposeDesktopImage({}).isNull());
    EXPECT_TRUE(pickers::ComposeDesktopImage({{{0, 0}, QImage()}}).isNull());
}

TEST(DesktopImage, OneScreenAsItIs)
{
    QImage shot = solid(40, 30, qRgb(9, 8, 7));
    shot.setPixel(39, 29, qRgb(200, 100, 50));
    shot.setDevicePixelRatio(1.5);
    const QImage desktop = pickers::ComposeDesktopImage({{{0, 0}, shot}});
    EXPECT_EQ(desktop.size(), QSize(40, 30));
    EXPECT_EQ(desktop.devicePixelRatio(), 1.0);
    EXPECT_EQ(desktop.pixel(39, 29), qRgb(200, 100, 50));
}

TEST(DesktopImage, EveryMonitorAtItsPlace)
{
    // A wide monitor on the left, a smaller one to its right and lower, a
    // third left of the origin: the picture spans them all, black between.
    const QImage left = solid(3840, 2160, qRgb(255, 0, 0));
    const QImage right = solid(1280, 1024, qRgb(0, 255, 0));
    QImage third = solid(800, 600, qRgb(0, 0, 255));
    third.setDevicePixelRatio(2.0);
    const QImage desktop = pickers::ComposeDesktopImage(
        {{{0, 0}, left}, {{3840, 200}, right}, {{-800, 0}, third}, {{0, 5000}, QImage()}});
    ASSERT_EQ(desktop.size(), QSize(800 + 3840 + 1280, 2160));
    EXPECT_EQ(desktop.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(desktop.pixel(799, 599), qRgb(0, 0, 255));
    EXPECT_EQ(desktop.pixel(800, 0), qRgb(255, 0, 0));
    EXPECT_EQ(desktop.pixel(800 + 3839, 2159), qRgb(255, 0, 0));
    EXPECT_EQ(desktop.pixel(800 + 3840, 200), qRgb(0, 255, 0));
    EXPECT_EQ(desktop.pixel(800 + 3840 + 1279, 1223), qRgb(0, 255, 0));
    EXPECT_EQ(desktop.pixel(800 + 3840, 199), qRgb(0, 0, 0));
    EXPECT_EQ(desktop.pixel(0, 600), qRgb(0, 0, 0));
}
