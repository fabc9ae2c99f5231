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
    ScreenCapture::Result shot = capture.grab();
    if (shot.refused) {
        if (mainWindow)
            mainWindow->show();
        return nullptr;
    }
    auto *window = new FrmGetColor(mainWindow, channels, std::move(shot.picture));
    window->showOverDesktop();
    return window;
}

FrmGetColor::FrmGetColor(QWidget *mainWindow, ChannelControls &channels,
                         std::unique_ptr<FrozenScreen> screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      m_mainWindow(mainWindow), m_channels(&channels), m_screen(std::move(screen))
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
