// SPDX-License-Identifier: MIT
#include "colour/channeltext.h"

#include <gtest/gtest.h>

#include <limits>

using namespace colour;

namespace {

TEST(ChannelText, FormatAndSplit)
{
    // Decimal padded to three digits, hex two upper-case digits.
    const std::tuple<int, const char *, const char *> formats[] = {{0, "000", "00"},
                                                                   {7, "007", "07"},
                                                                   {42, "042", "2A"},
                                                                   {171, "171", "AB"},
                                                                   {255, "255", "FF"}};
    for (const auto &[value, dec, hex] : formats) {
        EXPECT_EQ(FormatChannelDec(value), QString::fromLatin1(dec)) << value;
        EXPECT_EQ(FormatChannelHex(value), QString::fromLatin1(hex)) << value;
    }
    // Colour values hold red in the low byte; a failed pixel read (eight F
    // digits) and a seven-digit value are read at the same positions.
    const std::pair<ColourValue, const char *> splits[] = {{0x0080FF, "FF8000"},
                                                           {0x000312, "120300"},
                                                           {kInvalidColour, "FFFFFF"},
                                                           {0x01000000, "000010"}};
    for (const auto &[value, rgb] : splits) {
        const HexTriple t = SplitColorValue(value);
        EXPECT_EQ(t.red + t.green + t.blue, QString::fromLatin1(rgb)) << std::hex << value;
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
        {2.51, 3}, {-2.5, -2}, {-3.5, -4}, {-0.5, 0}, {1e15 + 0.5, 1000000000000000}};
    for (const auto &[number, expected] : rounding)
        EXPECT_EQ(RoundHalfEven(number), expected) << number;
    EXPECT_EQ(RoundHalfEven(1e300), std::nullopt);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    const std::pair<std::int64_t, const char *> hex[] = {{7, "7"}, {171, "AB"}, {-9, "FFFFFFF7"}};
    for (const auto &[number, expected] : hex)
        EXPECT_EQ(FormatHexPlain(number), QString::fromLatin1(expected)) << number;
}

TEST(ChannelText, MessagesUseTheFullWidthTilde)
{
    EXPECT_EQ(kDecimalMessage, QString::fromUtf8("000～255までの整数の数値を入力して下さい。"));
    EXPECT_EQ(kHexMessage, QString::fromUtf8("00～FFまでの数値を16進数で入力して下さい。"));
}

} // namespace
