// SPDX-License-Identifier: MIT
#include "pickers/loupelayout.h"

#include <QtGlobal>

#include <algorithm>

namespace pickers::loupe {

QRect SourceArea(QPoint centre)
{
    return {centre - QPoint(kRadius, kRadius), QSize(kCells, kCells)};
}

QRect BlockRect(int column, int row)
{
    return {1 + column * kPitch, 1 + row * kPitch, kBlock, kBlock};
}

QRect CodeRect()
{
    return {0, kGridSize, kSize.width(), kCodeHeight};
}

namespace {

/// One axis of the placement: after the hotspot where it fits, before it
/// otherwise; pushed back inside only on a screen too small for either.
int PlaceOnAxis(int hotspot, int length, int first, int last)
{
    int start = hotspot + kGap;
    if (start + length - 1 > last)
        start = hotspot - kGap - length;
    return std::clamp(start, first, std::max(first, last - length + 1));
}

} // namespace

QPoint Placement(QPoint hotspot, QRect bounds)
{
    return {PlaceOnAxis(hotspot.x(), kSize.width(), bounds.left(), bounds.right()),
            PlaceOnAxis(hotspot.y(), kSize.height(), bounds.top(), bounds.bottom())};
}

QPoint ArrowStep(int key, bool shift)
{
    const int step = shift ? 10 : 1;
    switch (key) {
    case Qt::Key_Left:
        return {-step, 0};
    case Qt::Key_Right:
        return {step, 0};
    case Qt::Key_Up:
        return {0, -step};
    case Qt::Key_Down:
        return {0, step};
    default:
        return {};
    }
}

QPoint ClampInto(QPoint point, QRect bounds)
{
    return {std::clamp(point.x(), bounds.left(), std::max(bounds.left(), bounds.right())),
            std::clamp(point.y(), bounds.top(), std::max(bounds.top(), bounds.bottom()))};
}

} // namespace pickers::loupe
