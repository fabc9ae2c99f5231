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
    const QRect &home = screens.front();
    const int x = std::clamp(window.left(), home.left(),
                             std::max(home.left(), home.right() + 1 - window.width()));
    const int y = std::clamp(window.top(), home.top(),
                             std::max(home.top(), home.bottom() + 1 - window.height()));
    return {x, y};
}
