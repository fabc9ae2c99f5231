// SPDX-License-Identifier: MIT
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRgb>

/// @brief The program's own pictures, compiled in as resources: the toolbar images, the window
/// icon and the pipette cursor.
namespace assets {

/// Toolbar image numbers run from 1 to this.
inline constexpr int kToolbarImageCount = 7;

/// Silver: the colour that the toolbar images draw where they are see-through.
inline constexpr QRgb kToolbarSeeThrough = 0xFFC0C0C0u;

/// Width and height of the pipette cursor in pixels.
inline constexpr int kPipetteSize = 32;

/// The pipette's tip, its bottom-left pixel, is where the cursor points.
inline constexpr QPoint kPipetteHotSpot{0, kPipetteSize - 1};

/// @brief One toolbar image with its silver pixels made transparent.
/// @param imageNumber 1 question mark, 2 blank sheet, 3 dropper, 4 palette, 5 page with
/// coloured marks, 6 hammer, 7 window with colour swatches.
/// @return a 16 x 16 pixmap, or a null pixmap for a number outside 1 to 7.
QPixmap ToolbarImage(int imageNumber);

/// @brief The window icon, offered at 16 x 16 and 32 x 32.
QIcon WindowIcon();

/// @brief The 32 x 32 black-and-white pipette picture, transparent around it (ARGB32).
QImage PipetteCursorImage();

/// @brief The pipette cursor, hotspot at its tip (column 0, row 31).
QCursor PipetteCursor();

} // namespace assets
