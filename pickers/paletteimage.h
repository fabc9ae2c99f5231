// SPDX-License-Identifier: MIT
#pragma once

#include "colour/channeltext.h"

#include <QImage>
#include <QPoint>
#include <QPointF>

/// @brief The palette window's picture and the pixel reads of both colour
/// pickers: pure functions, no display.
namespace pickers {

/// Size of the palette picture: one column per lightness, one row per hue.
inline constexpr int kPaletteColumns = 72;
inline constexpr int kPaletteRows = 105;

/// @brief The colour of palette column @p x, row @p y by the palette rule:
/// hue 3.2 * (y + 1) degrees, lightness (x + 0.5) / 72, full saturation (HSL).
colour::ColourValue PaletteRuleColour(int x, int y);

/// @brief Colour of an HSL triple: @p hue in degrees (any value, taken modulo
/// 360), @p saturation and @p lightness from 0 to 1.
colour::ColourValue HslColour(double hue, double saturation, double lightness);

/// A pixel of the palette picture that keeps the value it has always had.
struct PalettePixel
{
    int x;
    int y;
    QRgb rgb;
};

/// @brief The pixels of the palette picture whose values users know (the
/// pure yellow of column 36, row 18, for one); each lies within 18 per
/// channel of the rule.
inline constexpr PalettePixel kKnownPalettePixels[] = {
    {0, 0, 0x000000},    {36, 0, 0xFF0F00},  {71, 0, 0xF0EAEA},   {36, 18, 0xFFFF00},
    {35, 37, 0x00FF00},  {36, 56, 0x00F7FF}, {36, 74, 0x0000FF},  {36, 93, 0xFF00FF},
    {36, 104, 0xFF006F}, {0, 104, 0x000000}, {71, 104, 0xFFFFFF},
};

/// @brief The palette picture, 72 x 105 pixels in QImage::Format_RGB32:
/// every pixel by PaletteRuleColour(), except kKnownPalettePixels, which
/// keep their values.
QImage MakePaletteImage();

/// @brief Colour value (red + 256 * green + 65536 * blue) of a QRgb.
colour::ColourValue ColourFromRgb(QRgb rgb);

/// @brief The colour value of the pixel at @p point, or
/// colour::kInvalidColour when @p point lies outside @p image.
colour::ColourValue PixelColourAt(const QImage &image, QPoint point);

/// @brief @p point moved onto the nearest pixel of @p image (unchanged when it
/// already lies inside). @p image must not be empty.
QPoint ClampToImage(const QImage &image, QPoint point);

/// @brief The palette's pixel read: the colour at @p point, or for a point
/// outside the picture the colour of the nearest edge pixel, so that a drag
/// that leaves the picture keeps a colour of the palette.
/// colour::kInvalidColour only for an empty image.
colour::ColourValue PaletteColourAt(const QImage &image, QPoint point);

/// @brief The device pixel under a pointer at @p logical (window coordinates
/// in Qt's device-independent pixels) on a window whose device pixel ratio is
/// @p devicePixelRatio.
///
/// NOTE: Qt hands the pointer position over as the device position divided
/// by the ratio; multiplying back can land a hair below the whole number
/// (4 / 1.5 * 1.5 = 3.9999...), so a tiny tolerance is added before rounding
/// down, otherwise the pixel to the left or above would be read.
QPoint DevicePixelAt(QPointF logical, double devicePixelRatio);

} // namespace pickers
