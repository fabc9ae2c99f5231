// SPDX-License-Identifier: MIT
#include "colour/channeltext.h"

#include <gtest/gtest.h>

#include <limits>

using namespace colour;

namespace {

struct IntToText
{
    int value;
    const char *text;
};

TEST(ChannelText, FormatChannelDecPadsToThreeDigits)
{
    const IntToText cases[] = {{0, "000"},  {7, "007"},   {9, "009"},   {10, "010"}, {42, "042"},
                               {99, "099"}, {100, "100"}, {171, "171"}, {255, "255"}};
    for (const auto &c : cases)
        EXPECT_EQ(FormatChannelDec(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(ChannelText, FormatChannelHexIsTwoUpperCaseDigits)
{
    const IntToText cases[] = {{0, "00"},  {10, "0A"},  {15, "0F"},
                               {16, "10"}, {171, "AB"}, {255, "FF"}};
    for (const auto &c : cases)
        EXPECT_EQ(FormatChannelHex(c.value), QString::fromLatin1(c.text)) << c.value;
    // Every channel value round-trips through its hex form.
    for (int v = 0; v <= 255; ++v)
        EXPECT_EQ(ParseChannelHex(FormatChannelHex(v)), v);
}

TEST(ChannelText, BuildColorCodeKeepsTextsAsTheyStand)
{
    EXPECT_EQ(BuildColorCode(QStringLiteral("FF"), QStringLiteral("80"), QStringLiteral("00")),
              QStringLiteral("#FF8000"));
    EXPECT_EQ(BuildColorCode(QStringLiteral("ff"), QStringLiteral("8"), QStringLiteral("00")),
              QStringLiteral("#ff800"));
    EXPECT_EQ(BuildColorCode(QStringLiteral("AB"), QStringLiteral("cd"), QStringLiteral("EF")),
              QStringLiteral("#ABcdEF"));
    EXPECT_EQ(BuildColorCode(QString(), QString(), QString()), QStringLiteral("#"));
}

TEST(ChannelText, SplitColorValueReadsBlueGreenRed)
{
    struct Case
    {
        ColourValue value;
        const char *red, *green, *blue;
    };
    const Case cases[] = {
        {0, "00", "00", "00"},
        {255, "FF", "00", "00"},
        {65536u * 255u, "00", "00", "FF"},
        {0x80FF, "FF", "80", "00"},   // red 255, green 128, blue 0
        {0x000312, "12", "03", "00"}, // red 0x12, green 0x03
        {MakeColourValue(1, 2, 3), "01", "02", "03"},
        {kInvalidColour, "FF", "FF", "FF"}, // a failed pixel read: eight F digits
        {0x01000000, "00", "00", "10"},     // seven digits: read at the same positions
    };
    for (const auto &c : cases) {
        const HexTriple t = SplitColorValue(c.value);
        EXPECT_EQ(t.red, QString::fromLatin1(c.red)) << std::hex << c.value;
        EXPECT_EQ(t.green, QString::fromLatin1(c.green)) << std::hex << c.value;
        EXPECT_EQ(t.blue, QString::fromLatin1(c.blue)) << std::hex << c.value;
    }
}

TEST(ChannelText, ParseChannelDec)
{
    struct Case
    {
        const char16_t *text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {u"255", 255},
        {u"256", std::nullopt},
        {u"999", std::nullopt},
        {u"000", 0},
        {u"007", 7},
        {u"abc", std::nullopt},
        {u"   ", std::nullopt},
        {u"2.5", 2},
        {u"3.5", 4},
        {u"0.5", 0},
        {u"1.5", 2},
        {u"-12", std::nullopt},
        {u"-0", 0},
        {u"-.4", 0},
        {u"+12", 12},
        {u" 12", 12},
        {u"12 ", 12},
        {u"1e2", 100},
        {u"1E2", 100},
        {u"9e9", std::nullopt},
        {u"2.0", 2},
        {u".5e", std::nullopt},
        {u"1e", std::nullopt},
        {u"nan", std::nullopt},
        {u"inf", std::nullopt},
        {u"0x1", std::nullopt},
        {u"1,2", std::nullopt},
        {u"１２３", std::nullopt}, // full-width digits are not ASCII digits
        {u"255.4",
         std::nullopt}, // over 255 before rounding      {u"255.5", std::nullopt}, {u"254.5", 254},
        {u"1e-999", 0},
        {u"1e999", std::nullopt},
        {u"-1e999", std::nullopt},
        {u"99999999999999999999999999999999999999", std::nullopt},
        {u"-99999999999999999999999999999999999999", std::nullopt},
        {u"", std::nullopt},
        {u".", std::nullopt},
        {u"-", std::nullopt},
        {u"+", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseChannelDec(QStringView(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(ChannelText, ParseChannelHex)
{
    struct Case
    {
        const char16_t *text;
        std::optional<int> expected;
    };
    const Case cases[] = {{u"00", 0},
                          {u"ff", 255},
                          {u"FF", 255},
                          {u"fF", 255},
                          {u"aB", 171},
                          {u"0g", std::nullopt},
                          {u"g0", std::nullopt},
                          {u"G1", std::nullopt},
                          {u"1.", std::nullopt},
                          {u"-1", std::nullopt},
                          {u"  ", std::nullopt},
                          {u"F", std::nullopt},
                          {u"FFF", std::nullopt},
                          {u"ＦＦ", std::nullopt},
                          {u"", std::nullopt}};
    for (const auto &c : cases)
        EXPECT_EQ(ParseChannelHex(QStringView(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(ChannelText, ApplyLetterCase)
{
    const QString mixed = QStringLiteral("#aB09cD");
    EXPECT_EQ(ApplyLetterCase(mixed, 0), QStringLiteral("#AB09CD"));
    EXPECT_EQ(ApplyLetterCase(mixed, 1), QStringLiteral("#ab09cd"));
    for (const int other : {2, -1, 3, std::numeric_limits<int>::max()})
        EXPECT_EQ(ApplyLetterCase(mixed, other), mixed) << other;
}

TEST(ChannelText, IsDecimalKeyTakesBackspaceAndDigitsOnly)
{
    for (int code = -1; code <= 0x10000; ++code) {
        const bool expected = code == 8 || (code >= 48 && code <= 57);
        EXPECT_EQ(IsDecimalKey(code), expected) << code;
    }
}

TEST(ChannelText, RoundHalfEvenAndHexPlain)
{
    const std::pair<double, std::int64_t> rounding[] = {
        {2.5, 2},  {3.5, 4},  {-2.5, -2}, {-3.5, -4},
        {0.49, 0}, {2.51, 3}, {-0.5, 0},  {1e15 + 0.5, 1000000000000000}};
    for (const auto &[number, expected] : rounding)
        EXPECT_EQ(RoundHalfEven(number), expected) << number;
    EXPECT_EQ(RoundHalfEven(1e300), std::nullopt);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), std::nullopt);

    const std::pair<std::int64_t, const char *> hex[] = {
        {0, "0"}, {7, "7"}, {25, "19"}, {171, "AB"}, {-1, "FFFFFFFF"}, {-9, "FFFFFFF7"}};
    for (const auto &[number, expected] : hex)
        EXPECT_EQ(FormatHexPlain(number), QString::fromLatin1(expected)) << number;
}

TEST(ChannelText, MessagesUseTheFullWidthTilde)
{
    EXPECT_EQ(kDecimalMessage, QString::fromUtf8("000～255までの整数の数値を入力して下さい。"));
    EXPECT_EQ(kHexMessage, QString::fromUtf8("00～FFまでの数値を16進数で入力して下さい。"));
    EXPECT_TRUE(kDecimalMessage.contains(QChar(0xFF5E)));
    EXPECT_TRUE(kHexMessage.contains(QChar(0xFF5E)));
}

} // namespace
