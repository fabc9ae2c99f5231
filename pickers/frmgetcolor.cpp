// SPDX-License-Identifier: MIT
#include "pickers/frmgetcolor.h"

#include "assets/assetimages.h"
#include "colour/channelcontrols.h"
#include "colour/colorbox.h"
#include "common/appoptions.h"
#include "common/platform.h"
#include "pickers/hiddenwindowwatch.h"
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

FrmGetColor *FrmGetColor::start(QWidget *mainWindow, const AppOptions &options,
                                ChannelControls &channels, ScreenCapture &capture)
{
    platform::setAlwaysInFront(mainWindow, false);
    if (mainWindow) {
        if (options.hideDokodemo == 1) {
            // NOTE: a capture taken right after hide() can still show the
            // main window: the server unmaps it a moment later and the
            // windows below repaint later still. Wait, briefly and bounded,
            // until its place on the screen has really changed.
            HiddenWindowWatch watch(mainWindow);
            mainWindow->hide();
            watch.wait(std::chrono::milliseconds(kHideWaitMs));
        } else {
            mainWindow->show();
            // A menu that has just closed over the window leaves its pixels
            // on the screen until the window repaints there. Repaint it all
            // now: the display server takes this picture and the capture in
            // the order they were sent, so the capture shows the window
            // without the menu.
            // NOTE: a repaint of the window alone skips the opaque controls
            // (the etched rule) unless they are marked for repainting too.
            for (QWidget *child : mainWindow->findChildren<QWidget *>())
                child->update();
            mainWindow->repaint();
        }
    }
    auto *window = new FrmGetColor(mainWindow, channels, capture.grab());
    window->showOverDesktop();
    return window;
}

FrmGetColor::FrmGetColor(QWidget *mainWindow, ChannelControls &channels, QImage picture)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      m_mainWindow(mainWindow), m_channels(&channels), m_picture(std::move(picture))
{
    setObjectName(QStringLiteral("FrmGetColor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(assets::PipetteCursor());
    setFocusPolicy(Qt::StrongFocus);
    if (!m_picture.isNull() && m_picture.format() != QImage::Format_RGB32 &&
        m_picture.format() != QImage::Format_ARGB32)
        m_picture = m_picture.convertToFormat(QImage::Format_RGB32);
}

void FrmGetColor::showOverDesktop()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    QRect desktop = screen ? screen->virtualGeometry() : QRect(0, 0, 640, 480);
    if (screen && !m_picture.isNull()) {
        // NOTE: at a fractional scale the logical desktop is rounded down;
        // the window must still reach the last device pixel of the picture.
        const double ratio = screen->devicePixelRatio();
        desktop |= QRect(desktop.topLeft(),
                         QSize(static_cast<int>(std::ceil(m_picture.width() / ratio)),
                               static_cast<int>(std::ceil(m_picture.height() / ratio))));
    }
    setGeometry(desktop);
    // NOTE: a full-screen request keeps panels and docks below the window;
    // it covers one monitor only, so with several the window is simply laid
    // over the whole desktop.
    if (QGuiApplication::screens().size() == 1)
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
    const colour::ColourValue value =
        pickers::PixelColourAt(m_picture, pickers::DevicePixelAt(position, devicePixelRatio()));
    return value == colour::kInvalidColour ? kBackground : value;
}

void FrmGetColor::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const double ratio = devicePixelRatio();
    // The picture is shown pixel for pixel: one captured pixel on one device
    // pixel, whatever the scale of the screen.
    const QRectF shown(QPointF(0, 0), QSizeF(m_picture.size()) / ratio);
    const QRegion outside = QRegion(event->rect()).subtracted(shown.toAlignedRect());
    for (const QRect &rect : outside)
        painter.fillRect(rect, QColor::fromRgb(static_cast<QRgb>(kBackground)));
    if (!m_picture.isNull()) {
        // NOTE: set on the one copy the window holds, so the pixels are never
        // copied; the painter then draws the picture without scaling.
        if (m_picture.devicePixelRatio() != ratio)
            m_picture.setDevicePixelRatio(ratio);
        painter.drawImage(QPointF(0, 0), m_picture);
    }
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
    const colour::ColourValue value = colourAt(position);
    if (ChannelControls *channels = m_channels.data()) {
        channels->colorBox()->setBackColor(value);
        channels->storeHexTexts(colour::SplitColorValue(value));
    }
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
    // Form_Unload: the main window comes back however the eyedropper ends.
    releaseKeyboard();
    if (QWidget *mainWindow = m_mainWindow.data())
        mainWindow->show();
    event->accept();
}
