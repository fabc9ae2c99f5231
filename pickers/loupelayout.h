// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

/// @brief Where the eyedropper's loupe stands, what it shows and how the keys
/// move it: pure functions, no display.
///
/// The loupe shows kCells x kCells captured pixels around its centre pixel,
/// each as a kBlock x kBlock block with a one-pixel grid line between blocks
/// and around them, and under them a strip with the centre pixel's code.
/// Sizes are in the window's device-independent pixels.
namespace pickers::loupe {

inline constexpr int kCells = 11;
inline constexpr int kRadius = kCells / 2;
inline constexpr int kBlock = 8;
inline constexpr int kPitch = kBlock + 1;
/// The grid, square, with the line round its outside.
inline constexpr int kGridSize = kCells * kPitch + 1;
inline constexpr int kCodeHeight = 18;
inline constexpr QSize kSize{kGridSize, kGridSize + kCodeHeight};
/// Room between the hotspot and the loupe.
inline constexpr int kGap = 16;

/// The captured pixels the loupe shows around @p centre (device pixels).
QRect SourceArea(QPoint centre);

/// The block that shows the captured pixel at @p column, @p row of the
/// source area, in the loupe's own coordinates.
QRect BlockRect(int column, int row);

/// The strip under the grid that shows the centre pixel's code.
QRect CodeRect();

/// @brief The loupe's top-left corner for a hotspot at @p hotspot: below and
/// to the right of it, kGap away, and on the other side of it on each axis
/// where that would leave @p bounds (the screen under the hotspot), so that
/// the whole loupe stays on the screen and off the hotspot.
QPoint Placement(QPoint hotspot, QRect bounds);

/// How far an arrow key (a Qt::Key) moves the pointer: one pixel, ten with
/// Shift; nothing for other keys.
QPoint ArrowStep(int key, bool shift);

/// @p point moved onto the nearest point of @p bounds.
QPoint ClampInto(QPoint point, QRect bounds);

} // namespace pickers::loupe
