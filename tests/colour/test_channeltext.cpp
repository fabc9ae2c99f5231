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
    // Full-width digits are not ASCII digits; over 255 before rounding is
    // refused even where rounding would bring it back.
    constexpr std::nullopt_t no = std::nullopt;
    const Case cases[] = {{u"255", 255},   {u"256", no},    {u"999", no},   {u"000", 0},
                          {u"007", 7},     {u"abc", no},    {u"   ", no},   {u"2.5", 2},
                          {u"3.5", 4},     {u"-12", no},    {u"-0", 0},     {u"-.4", 0},
                          {u"+12", 12},    {u" 12", 12},    {u"12 ", 12},   {u"1e2", 100},
                          {u"1E2", 100},   {u"9e9", no},    {u"2.0", 2},    {u".5e", no},
                          {u"1e", no},     {u"nan", no},    {u"inf", no},   {u"0x1", no},
                          {u"1,2", no},    {u"１２３", no}, {u"255.4", no}, {u"255.5", no},
                          {u"254.5", 254}, {u"1e-999", 0},  {u"1e999", no}, {u"-1e999", no},
                          {u"", no},       {u".", no},      {u"-", no},     {u"+", no}};
    for (const auto &c : cases)
        EXPECT_EQ(ParseChannelDec(QStringView(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
    const QString many(38, u'9');
    EXPECT_EQ(ParseChannelDec(many), no);
    EXPECT_EQ(ParseChannelDec(u'-' + many), no);
}

TEST(ChannelText, ParseChannelHex)
{
    struct Case
    {
        const char16_t *text;
        std::optional<int> expected;
    };
    constexpr std::nullopt_t no = std::nullopt;
    const Case cases[] = {{u"00", 0},  {u"ff", 255}, {u"FF", 255}, {u"fF", 255},  {u"aB", 171},
                          {u"0g", no}, {u"g0", no},  {u"G1", no},  {u"1.", no},   {u"-1", no},
                          {u"  ", no}, {u"F", no},   {u"FFF", no}, {u"ＦＦ", no}, {u"", no}};
    for (const auto &c : cases)
        EXPECT_EQ(ParseChannelHex(QStringView(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(ChannelText, ApplyLetterCase)
{
    // Stored options: 1 and 2 as they are, anything else counts as upper case.
    const QString mixed = QStringLiteral("#aB09cD");
    const QString upper = QStringLiteral("#AB09CD");
    const std::pair<int, QString> cases[] = {{0, upper}, {1, QStringLiteral("#ab09cd")},
                                             {2, mixed}, {-1, upper},
                                             {3, upper}, {std::numeric_limits<int>::max(), upper}};
    for (const auto &[stored, expected] : cases)
        EXPECT_EQ(ApplyLetterCase(mixed, LetterCaseFromStored(stored)), expected) << stored;
}

TEST(ChannelText, IsDecimalKeyTakesBackspaceAndDigitsOnly)
{
    // The edges of the digit range, the control characters a paste or copy
    // types, and digits from other scripts.
    const std::pair<int, bool> keys[] = {
        {8, true},       {48, true},      {57, true},           {-1, false}, {0, false},
        {3, false},      {7, false},      {9, false},           {13, false}, {22, false},
        {45, false},     {46, false},     {47, false},          {58, false}, {127, false},
        {0x0660, false}, {0xFF10, false}, {0x10000 + 48, false}};
    for (const auto &[code, accepted] : keys)
        EXPECT_EQ(IsDecimalKey(code), accepted) << code;
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
}

} // namespace
