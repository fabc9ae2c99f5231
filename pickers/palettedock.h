// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace pickers {

/// @brief Where the palette window docks to the main window: its outer
/// top-left corner, for an outer size of @p palette.
///
/// Against the main window's right edge, tops level, wherever it is wholly
/// visible on one screen; where it is not, against the main window's left
/// edge; where neither is, as near to the right edge as keeps it wholly
/// inside the screen that holds most of the main window.
/// @param main the main window's outer frame
/// @param screens the available areas of the screens, primary first; none
///   docks on the right
QPoint DockPosition(const QRect &main, const QSize &palette, const QList<QRect> &screens);

} // namespace pickers
