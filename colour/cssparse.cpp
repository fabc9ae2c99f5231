// SPDX-License-Identifier: MIT
// Reading pasted text as a colour.
#include "colour/csscolour.h"

#include "colour/cssconversions.h"

#include <QList>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace colour {

namespace {

bool IsCssSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsNameStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c.unicode() >= 0x80;
}

bool IsNameChar(QChar c)
{
    return IsNameStart(c) || IsDigit(c) || c == u'-';
}

QStringView TrimCss(QStringView text)
{
    while (!text.isEmpty() && IsCssSpace(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && IsCssSpace(text.back()))
        text.chop(1);
    return text;
}

/// Whether @p text is @p lower in ASCII letters of any case; other letters
/// never match, as in CSS.
bool EqualsAscii(QStringView text, QStringView lower)
{
    if (text.size() != lower.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c) != lower[i].unicode())
            return false;
    }
    return true;
}

/// The text with each comment replaced by a space; an unclosed one runs to
/// the end.
QString WithoutComments(QStringView text)
{
    QString kept;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            kept += u' ';
            const qsizetype end = text.indexOf(u"*/", i + 2);
            if (end < 0)
                break;
            i = end + 1;
        } else {
            kept += text[i];
        }
    }
    return kept;
}

/// Hexadecimal digits after '#' (or bare): 3 or 6 of them, and with
/// @p alphaAllowed also 4 or 8 whose alpha is opaque.
std::optional<Rgb> HexColour(QStringView digits, bool alphaAllowed)
{
    const qsizetype n = digits.size();
    const bool shortForm = n == 3 || (alphaAllowed && n == 4);
    if (!shortForm && n != 6 && !(alphaAllowed && n == 8))
        return std::nullopt;
    std::array<int, 4> values = {0, 0, 0, 255};
    const qsizetype count = shortForm ? n : n / 2;
    for (qsizetype i = 0; i < count; ++i) {
        const QChar doubled[] = {digits[i], digits[i]};
        const std::optional<int> value =
            ParseChannelHex(shortForm ? QStringView(doubled, 2) : digits.sliced(2 * i, 2));
        if (!value)
            return std::nullopt;
        values[static_cast<std::size_t>(i)] = *value;
    }
    if (values[3] != 255)
        return std::nullopt;
    return Rgb{values[0], values[1], values[2]};
}

/// One component of a colour function, as CSS tokenizes it.
struct Token
{
    enum class Kind { Number, Percentage, Dimension, None, Comma, Slash };
    Kind kind = Kind::Number;
    double value = 0;
    QStringView unit; ///< of a dimension: "deg", "turn", ...

    bool isValue() const { return kind != Kind::Comma && kind != Kind::Slash; }
};

/// Where a CSS number begins: an optional sign, then a digit or a point and
/// a digit ("5." is not one).
bool StartsNumber(QStringView s, qsizetype i)
{
    if (s[i] == u'+' || s[i] == u'-')
        ++i;
    return (i < s.size() && IsDigit(s[i])) ||
           (i + 1 < s.size() && s[i] == u'.' && IsDigit(s[i + 1]));
}

/// Where the run of characters from @p i that @p takes accepts ends.
template <typename Takes> qsizetype RunEnd(QStringView s, qsizetype i, Takes takes)
{
    while (i < s.size() && takes(s[i]))
        ++i;
    return i;
}

/// Where the CSS number that starts at @p i ends: after its sign, digits,
/// fraction and exponent.
qsizetype NumberEnd(QStringView s, qsizetype i)
{
    if (s[i] == u'+' || s[i] == u'-')
        ++i;
    i = RunEnd(s, i, IsDigit);
    if (i + 1 < s.size() && s[i] == u'.' && IsDigit(s[i + 1]))
        i = RunEnd(s, i + 1, IsDigit);
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype exponent = i + 1;
        if (exponent < s.size() && (s[exponent] == u'+' || s[exponent] == u'-'))
            ++exponent;
        if (exponent < s.size() && IsDigit(s[exponent]))
            i = RunEnd(s, exponent, IsDigit);
    }
    return i;
}

std::optional<QList<Token>> Tokens(QStringView s)
{
    QList<Token> tokens;
    qsizetype i = 0;
    for (;;) {
        i = RunEnd(s, i, IsCssSpace);
        if (i == s.size())
            return tokens;
        if (s[i] == u',' || s[i] == u'/') {
            tokens.append({s[i] == u',' ? Token::Kind::Comma : Token::Kind::Slash, 0, {}});
            ++i;
        } else if (StartsNumber(s, i)) {
            const qsizetype begin = i;
            i = NumberEnd(s, i);
            const std::optional<double> value = ReadDecimalNumber(s.sliced(begin, i - begin));
            if (!value || !std::isfinite(*value))
                return std::nullopt;
            Token token{Token::Kind::Number, *value, {}};
            if (i < s.size() && s[i] == u'%') {
                token.kind = Token::Kind::Percentage;
                ++i;
            } else if (i < s.size() && IsNameStart(s[i])) {
                const qsizetype unit = i;
                i = RunEnd(s, i, IsNameChar);
                token.kind = Token::Kind::Dimension;
                token.unit = s.sliced(unit, i - unit);
            }
            tokens.append(token);
        } else if (IsNameStart(s[i])) {
            const qsizetype begin = i;
            i = RunEnd(s, i, IsNameChar);
            if (!EqualsAscii(s.sliced(begin, i - begin), u"none"))
                return std::nullopt;
            tokens.append({Token::Kind::None, 0, {}});
        } else {
            return std::nullopt;
        }
    }
}

/// The three components of a colour function and which syntax they came in.
struct Arguments
{
    std::array<Token, 3> values;
    bool legacy = false; ///< the comma syntax
};

/// Splits `a b c [/ alpha]` or `a, b, c[, alpha]`; nothing when the syntax is
/// neither or the colour is not opaque. CSS clamps alpha to 1, so more counts
/// as opaque; `none` is 0.
std::optional<Arguments> SplitArguments(const QList<Token> &tokens)
{
    Arguments arguments;
    arguments.legacy =
        std::ranges::any_of(tokens, [](const Token &t) { return t.kind == Token::Kind::Comma; });
    const qsizetype n = tokens.size();
    if (arguments.legacy) {
        // Values and commas alternate; `none` has no place in this syntax.
        if (n != 5 && n != 7)
            return std::nullopt;
        for (qsizetype i = 0; i < n; ++i) {
            const bool comma = tokens[i].kind == Token::Kind::Comma;
            if (i % 2 == 1 ? !comma : (!tokens[i].isValue() || tokens[i].kind == Token::Kind::None))
                return std::nullopt;
        }
    } else {
        if (n != 3 && n != 5)
            return std::nullopt;
        if (n == 5 && tokens[3].kind != Token::Kind::Slash)
            return std::nullopt;
        if (!tokens[0].isValue() || !tokens[1].isValue() || !tokens[2].isValue() ||
            (n == 5 && !tokens[4].isValue()))
            return std::nullopt;
    }
    if (n == (arguments.legacy ? 7 : 5)) {
        const Token &alpha = tokens[n - 1];
        const double value = alpha.kind == Token::Kind::Number       ? alpha.value
                             : alpha.kind == Token::Kind::Percentage ? alpha.value / 100
                                                                     : 0;
        if (alpha.kind == Token::Kind::Dimension || value < 1)
            return std::nullopt;
    }
    arguments.values = {tokens[0], arguments.legacy ? tokens[2] : tokens[1],
                        arguments.legacy ? tokens[4] : tokens[2]};
    return arguments;
}

/// A number, or a percentage of which 100% is @p full; `none` is 0.
std::optional<double> NumberOrPercentage(const Token &token, double full)
{
    switch (token.kind) {
    case Token::Kind::Number:
        return token.value;
    case Token::Kind::Percentage:
        return token.value * full / 100;
    case Token::Kind::None:
        return 0.0;
    default:
        return std::nullopt;
    }
}

/// A hue in degrees: a number, an angle, or `none` (0); nothing for an
/// angle too large to hold in degrees.
std::optional<double> Hue(const Token &token)
{
    if (token.kind == Token::Kind::Number || token.kind == Token::Kind::None)
        return token.kind == Token::Kind::None ? 0 : token.value;
    if (token.kind != Token::Kind::Dimension)
        return std::nullopt;
    const std::pair<QStringView, double> units[] = {
        {u"deg", 1}, {u"grad", 0.9}, {u"rad", 180 / std::numbers::pi}, {u"turn", 360}};
    for (const auto &[unit, degrees] : units)
        if (EqualsAscii(token.unit, unit) && std::isfinite(token.value * degrees))
            return token.value * degrees;
    return std::nullopt;
}

/// The colour painted for channels computed from a colour function; nothing
/// when absurd values (a chroma of 1e300) overflowed on the way.
std::optional<Rgb> Painted(const css::Channels &channels)
{
    if (!std::isfinite(channels.red) || !std::isfinite(channels.green) ||
        !std::isfinite(channels.blue))
        return std::nullopt;
    return css::PaintedRgb(channels);
}

std::optional<Rgb> FunctionColour(QStringView name, QStringView inside)
{
    const std::optional<QList<Token>> tokens = Tokens(inside);
    if (!tokens)
        return std::nullopt;
    const std::optional<Arguments> arguments = SplitArguments(*tokens);
    if (!arguments)
        return std::nullopt;
    const auto &[first, second, third] = arguments->values;
    if (EqualsAscii(name, u"rgb") || EqualsAscii(name, u"rgba")) {
        // The comma syntax takes three numbers or three percentages, not a mix.
        if (arguments->legacy && (first.kind != second.kind || second.kind != third.kind))
            return std::nullopt;
        const auto red = NumberOrPercentage(first, 255);
        const auto green = NumberOrPercentage(second, 255);
        const auto blue = NumberOrPercentage(third, 255);
        if (!red || !green || !blue)
            return std::nullopt;
        return Painted({*red, *green, *blue});
    }
    if (EqualsAscii(name, u"hsl") || EqualsAscii(name, u"hsla")) {
        // The comma syntax takes saturation and lightness as percentages only.
        if (arguments->legacy &&
            (second.kind != Token::Kind::Percentage || third.kind != Token::Kind::Percentage))
            return std::nullopt;
        const auto hue = Hue(first);
        const auto saturation = NumberOrPercentage(second, 100);
        const auto lightness = NumberOrPercentage(third, 100);
        if (!hue || !saturation || !lightness)
            return std::nullopt;
        return Painted(css::RgbFromHsl(*hue, std::clamp(*saturation, 0.0, 100.0) / 100,
                                       std::clamp(*lightness, 0.0, 100.0) / 100));
    }
    if (EqualsAscii(name, u"oklch") && !arguments->legacy) {
        // 100% is a lightness of 1 and a chroma of 0.4. Lightness is clamped
        // to 0..1 and chroma to 0 or more; converted as Chromium converts, the
        // colour is then clipped channel by channel, which is how Chromium
        // paints one outside sRGB (no gamut mapping).
        const auto lightness = NumberOrPercentage(first, 1);
        const auto chroma = NumberOrPercentage(second, 0.4);
        const auto hue = Hue(third);
        if (!lightness || !chroma || !hue)
            return std::nullopt;
        return Painted(css::RgbFromOklchAsPainted(std::clamp(*lightness, 0.0, 1.0),
                                                  std::max(*chroma, 0.0), *hue));
    }
    return std::nullopt;
}

/// A CSS colour value: a hex colour, a colour function or a colour name.
std::optional<Rgb> CssValue(QStringView text)
{
    if (text.startsWith(u'#'))
        return HexColour(text.sliced(1), true);
    const qsizetype open = text.indexOf(u'(');
    if (open < 0)
        return NamedColour(text);
    // The function's name runs up to the bracket: "rgb (" is no function.
    const QStringView inside = text.sliced(open + 1);
    if (!inside.endsWith(u')') || inside.chopped(1).contains(u'(') ||
        inside.chopped(1).contains(u')'))
        return std::nullopt;
    return FunctionColour(text.first(open), inside.chopped(1));
}

/// `prop: VALUE;`, the semicolon and `!important` optional.
std::optional<Rgb> Declaration(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QStringView property = TrimCss(text.first(colon));
    if (property.isEmpty() || IsDigit(property.front()) ||
        !std::ranges::all_of(property, IsNameChar))
        return std::nullopt;
    QStringView value = TrimCss(text.sliced(colon + 1));
    if (value.endsWith(u';'))
        value = TrimCss(value.chopped(1));
    constexpr QStringView kImportant = u"important";
    if (value.size() > kImportant.size() &&
        EqualsAscii(value.last(kImportant.size()), kImportant)) {
        const QStringView before = TrimCss(value.chopped(kImportant.size()));
        if (before.endsWith(u'!'))
            value = TrimCss(before.chopped(1));
    }
    return CssValue(value);
}

/// `NAME="VALUE"`, `NAME='VALUE'` or `NAME=VALUE`, read as HTML reads a
/// colour attribute: a hex colour with or without '#', or a colour name.
std::optional<Rgb> Attribute(QStringView text)
{
    const auto quoteOrSpace = [](QChar c) {
        return c.isSpace() || QStringView(u"\"'`<>=/").contains(c);
    };
    const qsizetype equals = text.indexOf(u'=');
    const QStringView name = text.first(equals).trimmed();
    if (name.isEmpty() || std::ranges::any_of(name, quoteOrSpace))
        return std::nullopt;
    QStringView value = text.sliced(equals + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2).trimmed();
    else if (std::ranges::any_of(value, quoteOrSpace))
        return std::nullopt;
    if (value.startsWith(u'#'))
        return HexColour(value.sliced(1), false);
    // NOTE: HTML reads three bare digits otherwise than CSS would; only six
    // mean the same to both.
    if (value.size() == 6)
        if (const std::optional<Rgb> rgb = HexColour(value, false))
            return rgb;
    return NamedColour(value);
}

} // namespace

std::optional<Rgb> ParseColourText(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.size() == 6)
        if (const std::optional<Rgb> rgb = HexColour(trimmed, false))
            return rgb;
    if (trimmed.contains(u'='))
        return Attribute(trimmed);
    const QString css = WithoutComments(trimmed);
    const QStringView value = TrimCss(css);
    if (const std::optional<Rgb> rgb = CssValue(value))
        return rgb;
    return Declaration(value);
}

} // namespace colour
