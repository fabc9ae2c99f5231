// SPDX-License-Identifier: MIT
#include "main/windowplacement.h"

#include <algorithm>

namespace {
// How much of the top edge must show on one screen for the user to grab it.
constexpr int kGripWidth = 48;
constexpr int kGripHeight = 8;
} // namespace

QPoint ReachablePosition(const QRect &window, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return window.topLeft();
    const QRect topEdge(window.left(), window.top(), window.width(), kGripHeight * 2);
    const int needWidth = std::min(kGripWidth, window.width());
    for (const QRect &screen : screens) {
        const QRect grip = topEdge.intersected(screen);
        if (grip.width() >= needWidth && grip.height() >= kGripHeight)
            return window.topLeft();
    }
    return InsideScreen(window, screens.front());
}

QPoint InsideScreen(const QRect &frame, const QRect &screen)
{
    const int x = std::clamp(frame.left(), screen.left(),
                             std::max(screen.left(), screen.right() + 1 - frame.width()));
    const int y = std::clamp(frame.top(), screen.top(),
                             std::max(screen.top(), screen.bottom() + 1 - frame.height()));
    return {x, y};
}
