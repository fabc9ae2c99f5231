// SPDX-License-Identifier: MIT
// The text forms, the split of a picked colour into its hex texts and the
// keys the decimal boxes take are seen through the channel views' tests;
// here are the parsers' corners, the contrast ratios the tooltips tell and
// the quote of a refused paste.
#include "colour/channeltext.h"
#include "colour/contrast.h"
#include "colour/csscolour.h"

#include <gtest/gtest.h>

using namespace colour;
using namespace Qt::StringLiterals;

namespace {

constexpr std::nullopt_t no = std::nullopt;

TEST(ChannelText, ParseChannelDecAndHex)
{
    // Full-width digits are not ASCII digits; over 255 before rounding is
    // refused even where rounding would bring it back; halves go to even.
    const std::pair<const char16_t *, std::optional<int>> decimals[] = {
        {u"255", 255},   {u"256", no},    {u"999", no},   {u"007", 7},     {u"abc", no},
        {u"   ", no},    {u"2.5", 2},     {u"3.5", 4},    {u"-12", no},    {u"-0", 0},
        {u"-.4", 0},     {u"-.5", 0},     {u"+12", 12},   {u" 12", 12},    {u"12 ", 12},
        {u"1e2", 100},   {u"1E2", 100},   {u"9e9", no},   {u"2.0", 2},     {u".5e", no},
        {u"1e", no},     {u"nan", no},    {u"inf", no},   {u"0x1", no},    {u"1,2", no},
        {u"１２３", no}, {u"255.4", no},  {u"255.5", no}, {u"254.5", 254}, {u"1e-999", 0},
        {u"1e999", no},  {u"-1e999", no}, {u"", no},      {u".", no},      {u"-", no}};
    for (const auto &[text, expected] : decimals)
        EXPECT_EQ(ParseChannelDec(QStringView(text)), expected)
            << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(ParseChannelDec(QString(38, u'9')), no);
    const std::pair<const char16_t *, std::optional<int>> hexes[] = {
        {u"00", 0},  {u"fF", 255}, {u"aB", 171}, {u"0g", no},  {u"g0", no},   {u"1.", no},
        {u"-1", no}, {u"  ", no},  {u"F", no},   {u"FFF", no}, {u"ＦＦ", no}, {u"", no}};
    for (const auto &[text, expected] : hexes)
        EXPECT_EQ(ParseChannelHex(QStringView(text)), expected)
            << QString::fromUtf16(text).toStdString();
}

TEST(CssColour, RefusedTextIsQuotedOnOneLineUpToFortyCharacters)
{
    // A character outside the BMP counts as one and is never split.
    const QString x39(39, u'x');
    const std::pair<QString, QString> cases[] = {{u"a\nb\tc\u2028d"_s, u"a b c d"_s},
                                                 {x39 + u"yz"_s, x39 + u"y…"_s},
                                                 {x39 + u"😀z"_s, x39 + u"😀…"_s},
                                                 {x39 + u"😀"_s, x39 + u"😀"_s},
                                                 {{}, {}}};
    for (const auto &[text, quoted] : cases)
        EXPECT_EQ(ColourTextRefusedMessage(text).section(u'」', 0, 0), u"「"_s + quoted)
            << text.toStdString();
}

TEST(Contrast, PublishedPairsAndTheirTooltips)
{
    // Published ratios of greys on white (4.478, 4.542 and 7.005), and what
    // the tooltip makes of them: rounded down to a tenth, AA from 4.5, AAA
    // from 7. The channels' weights and the rounding down elsewhere are seen
    // in the BODY editor's tips and the preview's tooltip.
    const std::pair<ColourValue, const char16_t *> cases[] = {
        {0x777777, u"4.4:1（AA 不適合、AAA 不適合）"},
        {0x767676, u"4.5:1（AA 適合、AAA 不適合）"},
        {0x595959, u"7.0:1（AA 適合、AAA 適合）"}};
    for (const auto &[foreground, shown] : cases)
        EXPECT_EQ(BackgroundContrastTip(foreground, 0xFFFFFF).toStdString(),
                  (u"背景とのコントラスト比 "_s + QString::fromUtf16(shown)).toStdString())
            << std::hex << foreground;
    EXPECT_EQ(WhiteBlackContrastTip(0x0080FF).toStdString(), // orange
              u"白とのコントラスト比 2.5:1（AA 不適合、AAA 不適合）\n"
              u"黒とのコントラスト比 8.3:1（AA 適合、AAA 適合）"_s.toStdString());
}

TEST(Contrast, RoundsDownAtTheThresholds)
{
    // Luminance pairs whose ratio is exactly a threshold, where a plain
    // floating-point division falls a hair short of it, and pairs just under.
    const std::tuple<double, double, int> cases[] = {
        {0.175, 0.0, 45}, {0.3, 0.0, 70},    {0.4, 0.05, 45},    {0.13, 0.01, 30},
        {0.0, 0.175, 45}, {0.1749, 0.0, 44}, {0.6499, 0.05, 69}, {1.0, 0.0, 210}};
    for (const auto &[lighter, darker, tenths] : cases)
        EXPECT_EQ(ContrastTenths(ContrastRatio(lighter, darker)), tenths)
            << lighter << " against " << darker;
}

} // namespace
