// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

/// @brief Window and control positions are kept in twips, 1/1440 inch: 15 to
/// a logical pixel. Screen density is left to Qt's scaling.
inline constexpr int kTwipsPerPixel = 15;

/// Twips to logical pixels, rounded to the nearest (half away from zero).
constexpr int TwipsToPixels(int twips)
{
    constexpr int half = kTwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((-twips + half) / kTwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

/// A rectangle given as left, top, width and height in twips.
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}
