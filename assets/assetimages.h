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

/// The toolbar images by their number, 1 to 7, which also names a toolbar
/// button's object ("Toolbar1_3" shows the dropper).
enum class ToolbarPicture {
    QuestionMark = 1,
    BlankSheet,
    Dropper,
    Palette,
    PageWithMarks, ///< a page with coloured marks
    Hammer,
    Swatches, ///< a window with colour swatches
};

/// Silver: the colour that the toolbar images draw where they are see-through.
inline constexpr QRgb kToolbarSeeThrough = 0xFFC0C0C0u;

/// Width and height of the pipette cursor in pixels.
inline constexpr int kPipetteSize = 32;

/// The pipette's tip, its bottom-left pixel, is where the cursor points.
inline constexpr QPoint kPipetteHotSpot{0, kPipetteSize - 1};

/// @brief One toolbar image with its silver pixels made transparent.
/// @return a 16 x 16 pixmap, or a null pixmap for a number outside 1 to 7.
QPixmap ToolbarImage(ToolbarPicture picture);

/// @brief The window icon, offered at 16 x 16 and 32 x 32.
QIcon WindowIcon();

/// @brief The 32 x 32 black-and-white pipette picture, transparent around it (ARGB32).
QImage PipetteCursorImage();

/// @brief The pipette cursor, hotspot at its tip (column 0, row 31).
QCursor PipetteCursor();

} // namespace assets
