// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QString>
#include <QStringView>
#include <optional>

/// @brief Colours as style sheets write them: the CSS forms the copy writes,
/// and the texts a paste reads as a colour.
///
/// Pure functions, no display. What a browser paints is the measure: the
/// texts read follow the grammar of CSS Color 4 as Chromium applies it, and
/// the texts written bring a browser back to exactly the colour they came from.
namespace colour {

/// The CSS functions the copy can write.
enum class CssFunction { Rgb, Hsl, Oklch };

/// The function a name in the attribute list stands for: "rgb()", "hsl()" or
/// "oklch()", blanks around and letter case aside. Nothing for any other text.
std::optional<CssFunction> CssFunctionNamed(QStringView name);

/// Whether a name in the attribute list is a CSS property ("color:",
/// "--brand:"): it ends in ':' once trailing blanks are left off.
bool IsCssPropertyName(QStringView name);

/// The colour written as `rgb(R G B)`, `hsl(H S% L%)` or `oklch(L% C H)`,
/// CSS Color 4's space-separated syntax. Every number has the fewest decimals
/// (counted over the three together) with which the text converts back to
/// within kCssTolerance of each 8-bit channel; an achromatic colour's hue is 0.
QString FormatCssFunction(CssFunction function, Rgb rgb);

/// How far, in 8-bit channel steps, a written text may convert back from its
/// colour: well inside the rounding step, so a browser that computes in single
/// precision still rounds to the same three channels.
inline constexpr double kCssTolerance = 0.25;

/// "#RRGGBB" in either letter case read as a colour; nothing for any other text.
std::optional<Rgb> ParseColourCode(QStringView code);

/// Reads pasted or dropped text as a colour. Blanks around are allowed. Taken:
/// - `#RGB`, `#RRGGBB` (and `#RGBA`, `#RRGGBBAA` when opaque), `RRGGBB`;
/// - an attribute `NAME="#RRGGBB"` with double, single or no quotes, whose
///   value is `#RGB`, `#RRGGBB`, `RRGGBB` or a colour name, as HTML reads it;
/// - a declaration `prop: VALUE;` (the semicolon, `!important` and comments
///   allowed) whose value is a CSS colour;
/// - `rgb()`, `rgba()`, `hsl()`, `hsla()` in the comma and the space syntax,
///   `oklch()`, opaque only; out-of-range values are clipped to sRGB channel
///   by channel, as Chromium paints them;
/// - the 148 named colours of CSS Color 4 in any letter case.
/// Anything else, `transparent` and translucent colours included, gives nothing.
std::optional<Rgb> ParseColourText(QStringView text);

/// The colour of a CSS named colour (ASCII letters, any case), or nothing.
std::optional<Rgb> NamedColour(QStringView name);

/// The message for a text that names no colour: it quotes the first 40
/// characters of the text on one line and lists the forms that are read.
QString ColourTextRefusedMessage(const QString &text);

} // namespace colour
