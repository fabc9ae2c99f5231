// SPDX-License-Identifier: MIT
#include "colour/contrast.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using colour::ColourValue;

namespace {

// Colour values hold red in the low byte; the greys and black and white read
// the same either way.
constexpr ColourValue kWhite = 0xFFFFFF;
constexpr ColourValue kBlack = 0x000000;

TEST(Contrast, PublishedPairsAndTheirTooltips)
{
    // Published ratios, and what the tooltip makes of them: rounded down to a
    // tenth, AA from 4.5, AAA from 7.
    const std::tuple<ColourValue, ColourValue, double, const char16_t *> cases[] = {
        {kBlack, kWhite, 21.0, u"21.0:1（AA 適合、AAA 適合）"},
        {0x777777, kWhite, 4.478, u"4.4:1（AA 不適合、AAA 不適合）"},
        {0x767676, kWhite, 4.542, u"4.5:1（AA 適合、AAA 不適合）"},
        {0x595959, kWhite, 7.005, u"7.0:1（AA 適合、AAA 適合）"},
        {0x5A5A5A, kWhite, 6.897, u"6.8:1（AA 適合、AAA 不適合）"},
        {0xFF0000, kWhite, 8.592, u"8.5:1（AA 適合、AAA 適合）"},     // pure blue
        {0x0000FF, kWhite, 3.998, u"3.9:1（AA 不適合、AAA 不適合）"}, // pure red
        {0x808080, 0x808080, 1.0, u"1.0:1（AA 不適合、AAA 不適合）"},
    };
    for (const auto &[foreground, background, ratio, shown] : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << foreground << " on " << background);
        EXPECT_NEAR(colour::ContrastRatio(foreground, background), ratio, 0.0005);
        EXPECT_EQ(colour::ContrastRatio(background, foreground),
                  colour::ContrastRatio(foreground, background));
        EXPECT_EQ(colour::BackgroundContrastTip(foreground, background).toStdString(),
                  (u"背景とのコントラスト比 "_s + QString::fromUtf16(shown)).toStdString());
    }
}

TEST(Contrast, RoundsDownAtTheThresholds)
{
    // Luminance pairs whose ratio is exactly a threshold, where a plain
    // floating-point division falls a hair short of it, and pairs just under.
    const std::tuple<double, double, int> cases[] = {
        {0.175, 0.0, 45}, {0.3, 0.0, 70},    {0.4, 0.05, 45},    {0.13, 0.01, 30},
        {0.0, 0.175, 45}, {0.1749, 0.0, 44}, {0.6499, 0.05, 69}, {1.0, 0.0, 210}};
    for (const auto &[lighter, darker, tenths] : cases)
        EXPECT_EQ(colour::ContrastTenths(colour::ContrastRatio(lighter, darker)), tenths)
            << lighter << " against " << darker;
}

} // namespace
