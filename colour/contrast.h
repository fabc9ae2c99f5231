// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QString>

/// @brief Contrast between two colours as the web's accessibility guidelines
/// (WCAG 2.x) measure it, and the tooltip texts that show it.
///
/// Pure functions: colour values in, numbers and texts out, no display.
namespace colour {

/// Relative luminance of a colour value: 0 for black, 1 for white.
double RelativeLuminance(ColourValue value);

/// (lighter + 0.05) / (darker + 0.05): 1 for equal luminances, 21 for black
/// and white. The order of the two does not matter.
double ContrastRatio(double luminanceA, double luminanceB);
double ContrastRatio(ColourValue a, ColourValue b);

/// Level AA asks normal text for at least 4.5:1, level AAA for 7:1.
inline constexpr int kAaTenths = 45;
inline constexpr int kAaaTenths = 70;

/// A ratio in tenths, rounded down: 4.478 gives 44, so a ratio just under a
/// threshold never shows as reaching it. A ratio that is a whole number of
/// tenths counts as that number even where the floating-point result falls a
/// hair short of it (4.5 gives 45, not 44).
int ContrastTenths(double ratio);

/// "4.6:1", "21.0:1": a ratio in tenths, one decimal.
QString ContrastRatioText(int tenths);

/// "背景とのコントラスト比 4.6:1（AA 適合、AAA 不適合）": @p foreground against
/// @p background.
QString BackgroundContrastTip(ColourValue foreground, ColourValue background);

/// @p value against white on the first line and against black on the
/// second, worded as BackgroundContrastTip.
QString WhiteBlackContrastTip(ColourValue value);

} // namespace colour
