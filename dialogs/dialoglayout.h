// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

class QWidget;

/// @brief Placing the small fixed windows: positions given in twips, and
/// centring over the window that opened them.
namespace dialoglayout {

/// Twips per logical pixel (1440 twips an inch, 96 pixels an inch).
inline constexpr int kTwipsPerPixel = 15;

/// @brief Logical pixels for @p twips, rounded to the nearest.
constexpr int Twips(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

/// @brief A rectangle given as left, top, width, height in twips.
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

/// @brief Moves the top-level @p window so that its centre lies on the
/// centre of @p anchor (the screen when @p anchor is null), kept inside the
/// available area of that screen.
void CentreOver(QWidget *window, const QWidget *anchor);

} // namespace dialoglayout
