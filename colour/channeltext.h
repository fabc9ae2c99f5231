// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

/// @brief Text forms of channel values and colour codes, and their parsing.
///
/// Everything here is a pure function: values in, values out, no display.
namespace colour {

/// The platform's 32-bit colour number: red + 256 * green + 65536 * blue.
using ColourValue = std::uint32_t;

/// What a pixel read outside a picture returns (all bits set).
inline constexpr ColourValue kInvalidColour = 0xFFFFFFFFu;

/// The channels, always handled red, green, blue.
enum class Channel { Red = 0, Green = 1, Blue = 2 };
inline constexpr Channel kChannels[] = {Channel::Red, Channel::Green, Channel::Blue};

/// The message shown for a rejected decimal channel text.
inline const QString kDecimalMessage =
    QStringLiteral(u"000\uFF5E255までの整数の数値を入力して下さい。");
/// The message shown for a rejected hexadecimal channel text.
inline const QString kHexMessage =
    QStringLiteral(u"00\uFF5EFFまでの数値を16進数で入力して下さい。");

/// Three-digit decimal form: 7 -> "007", 255 -> "255".
QString FormatChannelDec(int value);

/// Two-digit upper-case hexadecimal form: 10 -> "0A", 171 -> "AB".
QString FormatChannelHex(int value);

/// "#" followed by the three hex box texts exactly as they stand.
QString BuildColorCode(const QString &red, const QString &green, const QString &blue);

struct HexTriple
{
    QString red;
    QString green;
    QString blue;
    friend bool operator==(const HexTriple &, const HexTriple &) = default;
};

/// Splits a colour value into upper-case red, green and blue hex texts.
/// Values wider than six hex digits are read at the same positions.
HexTriple SplitColorValue(ColourValue value);

/// Reads a pasted or typed decimal text: blanks around, a sign, digits with an
/// optional point and an optional exponent. Nothing else is a number.
std::optional<double> ReadDecimalNumber(QStringView text);

/// Rounds to the nearest integer, halves to the even neighbour.
/// Gives nothing when the result does not fit in 64 bits.
std::optional<std::int64_t> RoundHalfEven(double number);

/// Channel value of a decimal box text, or nothing when it is rejected.
std::optional<int> ParseChannelDec(QStringView text);

/// Channel value of a two-character hexadecimal text, or nothing.
std::optional<int> ParseChannelHex(QStringView text);

/// The letter-case option of a window: upper case, lower case, or greyed
/// (a stored state the user cannot click back to). The numbers are the ones
/// stored in the settings file.
enum class LetterCase { Upper = 0, Lower = 1, Greyed = 2 };

/// A stored option: 1 and 2 as they are, anything else upper case.
LetterCase LetterCaseFromStored(int stored);

/// @p text in upper case for Upper, lower case for Lower, unchanged for Greyed.
QString ApplyLetterCase(const QString &text, LetterCase option);

/// Backspace and the digits pass the decimal boxes' key filter.
bool IsDecimalKey(int characterCode);

/// Upper-case hexadecimal without leading zeros ("7", "19", "AB");
/// a negative number is written as its 32-bit two's complement.
QString FormatHexPlain(std::int64_t number);

/// The red, green and blue of a colour value, each 0 to 255.
struct Rgb
{
    int red;
    int green;
    int blue;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

/// Reads the low three bytes of @p value as red, green and blue.
constexpr Rgb SplitRgb(ColourValue value)
{
    return {static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
            static_cast<int>((value >> 16) & 0xFF)};
}

/// red + 256 * green + 65536 * blue.
constexpr ColourValue MakeColourValue(int red, int green, int blue)
{
    return static_cast<ColourValue>(red) | (static_cast<ColourValue>(green) << 8) |
           (static_cast<ColourValue>(blue) << 16);
}

} // namespace colour
