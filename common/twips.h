// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

#include <algorithm>
#include <climits>

/// @brief Window and control positions are kept in twips, 1/1440 inch: 15 to
/// a logical pixel. Screen density is left to Qt's scaling.
inline constexpr int kTwipsPerPixel = 15;

/// Twips to logical pixels, rounded to the nearest (half away from zero).
/// Any int is fine, the limits included: the sums are taken in 64 bits.
constexpr int TwipsToPixels(int twips)
{
    constexpr long long half = kTwipsPerPixel / 2;
    const long long t = twips;
    return static_cast<int>(t >= 0 ? (t + half) / kTwipsPerPixel : -((-t + half) / kTwipsPerPixel));
}

/// Logical pixels to twips; a result beyond int stops at the limit.
constexpr int PixelsToTwips(int pixels)
{
    const long long twips = static_cast<long long>(pixels) * kTwipsPerPixel;
    return static_cast<int>(std::clamp<long long>(twips, INT_MIN, INT_MAX));
}

/// A rectangle given as left, top, width and height in twips.
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}
