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

namespace {

/// Where the upright picture's pixel (x, y) lies in the buffer:
/// (xx * x + xy * y + x0, yx * x + yy * y + y0).
struct BufferMap
{
    int xx, xy, x0;
    int yx, yy, y0;
};

/// The map for an upright picture of @p width x @p height pixels that the
/// compositor turned by @p transform into its buffer.
BufferMap MapInto(pickers::OutputTransform transform, int width, int height)
{
    using T = pickers::OutputTransform;
    const int w = width - 1;
    const int h = height - 1;
    switch (transform) {
    case T::Normal:
        break;
    case T::Rotated90: // the picture's left edge is the buffer's bottom row
        return {0, 1, 0, -1, 0, w};
    case T::Rotated180:
        return {-1, 0, w, 0, -1, h};
    case T::Rotated270:
        return {0, -1, h, 1, 0, 0};
    case T::Flipped:
        return {-1, 0, w, 0, 1, 0};
    case T::Flipped90:
        return {0, 1, 0, 1, 0, 0};
    case T::Flipped180:
        return {1, 0, 0, 0, -1, h};
    case T::Flipped270:
        return {0, -1, h, -1, 0, w};
    }
    return {1, 0, 0, 0, 1, 0};
}

bool SwapsSides(pickers::OutputTransform transform)
{
    return (static_cast<int>(transform) & 1) != 0;
}

/// For each of @p target pixels laid over @p source pixels, the source pixel
/// under its middle.
std::vector<int> NearestPixels(int target, int source)
{
    std::vector<int> nearest(static_cast<size_t>(std::max(target, 0)));
    for (int i = 0; i < target; ++i)
        nearest[static_cast<size_t>(i)] =
            static_cast<int>((2 * qint64(i) + 1) * source / (2 * qint64(target)));
    return nearest;
}

/// @p value of @p from's extent laid over @p to pixels, rounded.
int Scaled(int value, int from, int to)
{
    return static_cast<int>((qint64(value) * to * 2 + from) / (2 * qint64(from)));
}

} // namespace

namespace pickers {

QImage ComposeOutputPictures(std::vector<OutputPicture> outputs, QSize size)
{
    QRect layout;
    for (OutputPicture &output : outputs) {
        if (output.buffer.isNull() || output.logical.isEmpty()) {
            output.buffer = QImage();
            continue;
        }
        if (output.buffer.format() != QImage::Format_RGB32)
            output.buffer = output.buffer.convertToFormat(QImage::Format_RGB32);
        layout |= output.logical;
    }
    if (layout.isEmpty())
        return {};
    if (size.isEmpty())
        size = layout.size();
    std::erase_if(outputs, [](const OutputPicture &output) { return output.buffer.isNull(); });

    constexpr QRgb kOpaque = 0xFF000000U;
    if (outputs.size() == 1 && outputs.front().transform == OutputTransform::Normal &&
        !outputs.front().yInverted && outputs.front().buffer.size() == size) {
        QImage only = std::move(outputs.front().buffer);
        only.setDevicePixelRatio(1.0);
        for (int y = 0; y < only.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(only.scanLine(y));
            for (int x = 0; x < only.width(); ++x)
                line[x] |= kOpaque;
        }
        return only;
    }

    QImage desktop(size, QImage::Format_RGB32);
    desktop.fill(Qt::black);
    const QRect whole(QPoint(0, 0), size);
    for (const OutputPicture &output : outputs) {
        const QImage &buffer = output.buffer;
        const bool swapped = SwapsSides(output.transform);
        const int width = swapped ? buffer.height() : buffer.width();
        const int height = swapped ? buffer.width() : buffer.height();
        const QPoint from = output.logical.topLeft() - layout.topLeft();
        const QRect place(
            QPoint(Scaled(from.x(), layout.width(), size.width()),
                   Scaled(from.y(), layout.height(), size.height())),
            QPoint(Scaled(from.x() + output.logical.width(), layout.width(), size.width()) - 1,
                   Scaled(from.y() + output.logical.height(), layout.height(), size.height()) - 1));
        const QRect shown = place & whole;
        if (shown.isEmpty())
            continue;
        const std::vector<int> columns = NearestPixels(place.width(), width);
        const std::vector<int> rows = NearestPixels(place.height(), height);
        const BufferMap map = MapInto(output.transform, width, height);
        for (int ty = shown.top(); ty <= shown.bottom(); ++ty) {
            const int y = rows[static_cast<size_t>(ty - place.top())];
            auto *line = reinterpret_cast<QRgb *>(desktop.scanLine(ty));
            for (int tx = shown.left(); tx <= shown.right(); ++tx) {
                const int x = columns[static_cast<size_t>(tx - place.left())];
                const int bx = map.xx * x + map.xy * y + map.x0;
                int by = map.yx * x + map.yy * y + map.y0;
                if (output.yInverted)
                    by = buffer.height() - 1 - by;
                line[tx] = reinterpret_cast<const QRgb *>(buffer.constScanLine(by))[bx] | kOpaque;
            }
        }
    }
    return desktop;
}

} // namespace pickers
