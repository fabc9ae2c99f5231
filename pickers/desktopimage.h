// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
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

/// @brief How a compositor turned an output's picture before it handed it
/// over: the values of wl_output.transform. The rotations turn the picture
/// counter-clockwise; the flipped ones first mirror it left to right.
enum class OutputTransform {
    Normal = 0,
    Rotated90,
    Rotated180,
    Rotated270,
    Flipped,
    Flipped90,
    Flipped180,
    Flipped270,
};

/// One output's picture as the compositor wrote it into the program's buffer.
struct OutputPicture
{
    /// RGB32; the top byte of each pixel may hold anything.
    QImage buffer;
    /// What the compositor did to the output's picture in the buffer.
    OutputTransform transform = OutputTransform::Normal;
    /// The buffer's rows run from the bottom up.
    bool yInverted = false;
    /// Where the output lies in the compositor's layout, in its logical
    /// coordinates, whatever the output's scale.
    QRect logical;
};

/// @brief The desktop picture, @p size pixels large, of every output's
/// picture brought upright at its place in the layout: the smallest
/// rectangle around all outputs' logical places is stretched over the
/// picture, and each output's pixels scaled into their part of it by taking
/// the nearest pixel, never a blend. Black where no output lies. A null image
/// when no output has a picture.
///
/// NOTE: a single output whose buffer already has the picture's size, upright,
/// is handed back as it is, sharing the pixels, only with its top bytes set.
QImage ComposeOutputPictures(std::vector<OutputPicture> outputs, QSize size);

} // namespace pickers
