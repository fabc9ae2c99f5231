// SPDX-License-Identifier: MIT
#include "pickers/frmgetcolor.h"

#include "assets/assetimages.h"
#include "pickers/paletteimage.h"
#include "pickers/screencapture.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

/// What the window shows, and a pick returns, where the capture has no pixel.
constexpr colour::ColourValue kBackground = 0;

} // namespace

FrmGetColor::FrmGetColor(std::unique_ptr<FrozenScreen> screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      m_screen(std::move(screen))
{
    setObjectName(QStringLiteral("FrmGetColor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(assets::PipetteCursor());
    setFocusPolicy(Qt::StrongFocus);
    // A capture that could not read the screen shows the black picture.
    if (!m_screen)
        m_screen = std::make_unique<FrozenImage>(QImage());
}

// The picture is destroyed before the native window it may live in.
FrmGetColor::~FrmGetColor() = default;

void FrmGetColor::showOverDesktop()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    QRect desktop = screen ? screen->virtualGeometry() : QRect(0, 0, 640, 480);
    const QSize picture = m_screen->size();
    if (screen && !picture.isEmpty()) {
        // NOTE: at a fractional scale the logical desktop is rounded down;
        // the window must still reach the last device pixel of the picture.
        const double ratio = screen->devicePixelRatio();
        desktop |=
            QRect(desktop.topLeft(), QSize(static_cast<int>(std::ceil(picture.width() / ratio)),
                                           static_cast<int>(std::ceil(picture.height() / ratio))));
    }
    setGeometry(desktop);
    m_screen->showIn(this);
    // NOTE: a full-screen request keeps panels and docks below the window;
    // it covers one monitor only, so with several the window is simply laid
    // over the whole desktop. A picture that may bypass the window manager
    // (see FrozenScreen::showIn) is shown at once over everything.
    if (QGuiApplication::screens().size() == 1 &&
        !windowFlags().testFlag(Qt::BypassWindowManagerHint))
        showFullScreen();
    else
        show();
    raise();
    activateWindow();
}

void FrmGetColor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Esc must reach the window even where the window manager gives no focus
    // to a window without a frame.
    QTimer::singleShot(0, this, [this] {
        activateWindow();
        grabKeyboard();
    });
}

colour::ColourValue FrmGetColor::colourAt(QPointF position) const
{
    const QPoint device = pickers::DevicePixelAt(position, devicePixelRatio());
    const QImage pixel = m_screen->pixels(QRect(device, QSize(1, 1)));
    return pixel.isNull() ? kBackground : pickers::ColourFromRgb(pixel.pixel(0, 0));
}

void FrmGetColor::paintEvent(QPaintEvent *event)
{
    // The picture shows itself over the part of the window it reaches (see
    // FrozenScreen::showIn); the window paints only the rest.
    QPainter painter(this);
    const QRectF shown(QPointF(0, 0), QSizeF(m_screen->size()) / devicePixelRatio());
    const QRegion outside = QRegion(event->rect()).subtracted(shown.toAlignedRect());
    for (const QRect &rect : outside)
        painter.fillRect(rect, QColor::fromRgb(static_cast<QRgb>(kBackground)));
}

void FrmGetColor::mousePressEvent(QMouseEvent *event)
{
    // Pressing does nothing; the release picks.
    event->accept();
}

void FrmGetColor::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    Form_MouseUp(event->position());
}

void FrmGetColor::Form_MouseUp(QPointF position)
{
    if (m_picked)
        return;
    m_picked = true;
    Q_EMIT picked(colourAt(position));
    close();
}

void FrmGetColor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmGetColor::closeEvent(QCloseEvent *event)
{
    // Form_Unload: however the eyedropper ends, the main window hears of it.
    releaseKeyboard();
    Q_EMIT closed();
    event->accept();
}
