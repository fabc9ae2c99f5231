// SPDX-License-Identifier: MIT
#include "pickers/palettedock.h"

#include <algorithm>

namespace pickers {

QPoint DockPosition(const QRect &main, const QSize &palette, const QList<QRect> &screens)
{
    const QRect right(QPoint(main.right() + 1, main.top()), palette);
    if (screens.isEmpty())
        return right.topLeft();
    const QRect left(QPoint(main.left() - palette.width(), main.top()), palette);
    for (const QRect &side : {right, left}) {
        if (std::any_of(screens.begin(), screens.end(),
                        [&side](const QRect &screen) { return screen.contains(side); }))
            return side.topLeft();
    }
    const auto overlap = [&main](const QRect &screen) {
        const QRect common = screen.intersected(main);
        return qint64{common.width()} * common.height();
    };
    const QRect &home = *std::max_element(
        screens.begin(), screens.end(),
        [&overlap](const QRect &a, const QRect &b) { return overlap(a) < overlap(b); });
    const int x = std::clamp(right.left(), home.left(),
                             std::max(home.left(), home.right() + 1 - palette.width()));
    const int y = std::clamp(right.top(), home.top(),
                             std::max(home.top(), home.bottom() + 1 - palette.height()));
    return {x, y};
}

} // namespace pickers
