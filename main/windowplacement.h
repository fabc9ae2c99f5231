// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

/// @brief Where a window restored from the settings file goes.
///
/// A stored position is applied unchanged as long as the user can reach the
/// window: a grip of its top edge (where the title bar is) lies on some
/// screen. Otherwise the window is brought wholly inside the first screen.
/// @param window the window's outer frame at the stored position
/// @param screens the available areas of the current screens, primary first
QPoint ReachablePosition(const QRect &window, const QList<QRect> &screens);

/// @brief The position that puts @p frame wholly inside @p screen, moved as
/// little as it can be; a frame larger than the screen keeps its top-left
/// corner there.
QPoint InsideScreen(const QRect &frame, const QRect &screen);
