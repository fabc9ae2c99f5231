// SPDX-License-Identifier: MIT
#include "pickers/desktopimage.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

namespace pickers {

QImage ComposeDesktopImage(const std::vector<ScreenPicture> &parts)
{
    QRect bounds;
    for (const ScreenPicture &part : parts) {
        if (!part.picture.isNull())
            bounds |= QRect(part.origin, part.picture.size());
    }
    if (bounds.isEmpty())
        return {};

    // NOTE: the parts are device pixels; a device pixel ratio left on a part
    // would make the painter scale it down, so it is reset everywhere.
    const auto filled = std::count_if(parts.begin(), parts.end(), [](const ScreenPicture &part) {
        return !part.picture.isNull();
    });
    if (filled == 1) {
        // The common single screen: no second copy of a picture that may
        // have 8 million pixels.
        for (const ScreenPicture &part : parts) {
            if (!part.picture.isNull()) {
                QImage only = part.picture.convertToFormat(QImage::Format_RGB32);
                only.setDevicePixelRatio(1.0);
                return only;
            }
        }
    }

    QImage desktop(bounds.size(), QImage::Format_RGB32);
    desktop.fill(Qt::black);
    QPainter painter(&desktop);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const ScreenPicture &part : parts) {
        if (part.picture.isNull())
            continue;
        QImage unscaled = part.picture;
        unscaled.setDevicePixelRatio(1.0);
        painter.drawImage(part.origin - bounds.topLeft(), unscaled);
    }
    return desktop;
}

} // namespace pickers
