// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPoint>
#include <vector>

/// @brief Putting the pictures of several screens together into one picture
/// of the whole desktop: pure functions, no display.
namespace pickers {

/// One screen's picture and where its top-left pixel lies on the desktop,
/// both in device pixels.
struct ScreenPicture
{
    QPoint origin;
    QImage picture;
};

/// @brief One RGB32 picture holding every part at its place, its top-left
/// pixel at the top-left corner of the smallest rectangle around all parts.
/// Where no screen lies the picture is black. Parts with a null picture are
/// left out; a null image when nothing is left.
QImage ComposeDesktopImage(const std::vector<ScreenPicture> &parts);

} // namespace pickers
