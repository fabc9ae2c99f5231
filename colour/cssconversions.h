// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

/// @brief The colour space conversions behind the CSS forms, shared by the
/// copy's writing and the paste's reading.
namespace colour::css {

/// Red, green and blue on the 8-bit scale, neither rounded nor clipped.
struct Channels
{
    double red;
    double green;
    double blue;
};

/// hsl() to sRGB: hue in degrees (any), saturation and lightness 0 to 1.
Channels RgbFromHsl(double hue, double saturation, double lightness);

/// oklch() to sRGB as Chromium paints it, which differs from CSS Color 4's
/// conversion by up to 0.63 of a step; what a pasted oklch() is read as.
/// Lightness 0 to 1, chroma 0 or more, hue in degrees; the result may lie
/// outside the sRGB gamut.
Channels RgbFromOklchAsPainted(double lightness, double chroma, double hue);

/// A CSS hue in degrees brought into [0, 360).
double NormalHue(double degrees);

/// What a browser paints for channels computed from a CSS colour: each one
/// clipped to 0..255, then rounded half up.
Rgb PaintedRgb(const Channels &channels);

} // namespace colour::css
