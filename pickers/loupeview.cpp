// SPDX-License-Identifier: MIT
#include "pickers/loupeview.h"

#include "pickers/loupelayout.h"

#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

using namespace pickers;

namespace {

const QColor kGridColour(0x80, 0x80, 0x80);

} // namespace

LoupeView::LoupeView(QWidget *window, bool ownWindow)
    : QWidget(window, ownWindow ? Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                      Qt::BypassWindowManagerHint | Qt::WindowTransparentForInput
                                : Qt::Widget)
{
    setObjectName(QStringLiteral("Loupe"));
    if (ownWindow) {
        // Unmanaged like the eyedropper window, and mapped after it: above it.
        // NOTE: on Xwayland the eyedropper window may be laid into a window
        // mapped long before (see FrozenScreen::showsWithoutPainting()), and
        // a wlroots compositor gives the keyboard only to an unmanaged window
        // that maps, and only when it is no tool window: the loupe maps for
        // each pick and takes the keyboard there, for the eyedropper window's
        // grab. The program never activates it.
        setAttribute(Qt::WA_ShowWithoutActivating);
    } else {
        setAttribute(Qt::WA_NativeWindow);
    }
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(loupe::kSize);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    setFont(font);
}

void LoupeView::showPixels(const QImage &pixels, const QString &code)
{
    const bool all = m_pixels.size() != pixels.size();
    for (int row = 0; row < loupe::kCells; ++row) {
        for (int column = 0; column < loupe::kCells; ++column) {
            if (all || m_pixels.pixel(column, row) != pixels.pixel(column, row))
                update(loupe::BlockRect(column, row));
        }
    }
    if (code != m_code)
        update(loupe::CodeRect());
    m_pixels = pixels;
    m_code = code;
}

void LoupeView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // NOTE: the widget attribute alone leaves the native window taking the
    // pointer: a quick move that lands on the loupe would then never reach
    // the eyedropper window, and the loupe would stop following. The window
    // flag makes the display server pass the pointer through. Qt 6.4 hands it
    // to the server only when the native window exists, as it does now; a
    // loupe of its own got it with its other flags already.
    if (QWindow *native = windowHandle())
        native->setFlag(Qt::WindowTransparentForInput);
}

void LoupeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());

    const QRect grid(0, 0, loupe::kGridSize, loupe::kGridSize);
    painter.fillRect(grid, kGridColour);
    if (m_pixels.width() >= loupe::kCells && m_pixels.height() >= loupe::kCells) {
        for (int row = 0; row < loupe::kCells; ++row) {
            for (int column = 0; column < loupe::kCells; ++column)
                painter.fillRect(loupe::BlockRect(column, row),
                                 QColor::fromRgb(m_pixels.pixel(column, row)));
        }
    }
    // The centre pixel: black on the grid lines round it, white just outside,
    // so that the outline shows on any colour.
    const QRect centre = loupe::BlockRect(loupe::kRadius, loupe::kRadius);
    painter.setPen(Qt::black);
    painter.drawRect(centre.adjusted(-1, -1, 0, 0));
    painter.setPen(Qt::white);
    painter.drawRect(centre.adjusted(-2, -2, 1, 1));

    const QRect strip = loupe::CodeRect();
    painter.fillRect(strip, Qt::white);
    painter.setPen(kGridColour);
    painter.drawRect(strip.adjusted(0, -1, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(strip, Qt::AlignCenter, m_code);
}
