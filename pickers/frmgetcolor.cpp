// SPDX-License-Identifier: MIT
#include "pickers/frmgetcolor.h"

#include "assets/assetimages.h"
#include "pickers/loupelayout.h"
#include "pickers/loupeview.h"
#include "pickers/paletteimage.h"
#include "pickers/screencapture.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

/// What the window shows, and a pick returns, where the capture has no pixel.
constexpr colour::ColourValue kBackground = 0;

namespace loupe = pickers::loupe;

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
    setMouseTracking(true);
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
        // NOTE: the window covers the picture, each captured pixel on one
        // device pixel. At a fractional scale the logical desktop is rounded
        // down; the window must still reach the last device pixel. And Qt
        // keeps each screen's top-left corner in device pixels, scaling only
        // its size, so at a scale above 1 the screens' logical rectangles
        // leave gaps and their union reaches beyond the desktop: a window
        // that large is placed by its centre onto the wrong screen, and off
        // the desktop.
        const double ratio = screen->devicePixelRatio();
        desktop.setSize(QSize(static_cast<int>(std::ceil(picture.width() / ratio)),
                              static_cast<int>(std::ceil(picture.height() / ratio))));
    }
    setGeometry(desktop);
    m_screen->showIn(this);
    // NOTE: where the display server shows the picture, the window never
    // paints: Qt then never makes the window's backing store, a picture of
    // the whole desktop that the server would allocate and touch anew at
    // every start, which took most of the time before the picture showed.
    // The loupe is then a window of its own, above this one.
    const bool painted = !m_screen->showsWithoutPainting();
    if (!painted)
        setUpdatesEnabled(false);
    // Above the picture, which may live in a native window of its own.
    m_loupe = new LoupeView(this, !painted);
    m_loupe->raise();
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
    if (m_loupe->isWindow())
        m_loupe->show();
}

void FrmGetColor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    centreLoupe(loupe::ClampInto(
        pickers::DevicePixelAt(mapFromGlobal(QCursor::pos()), devicePixelRatio()), deviceBounds()));
    // Esc must reach the window even where the window manager gives no focus
    // to a window without a frame.
    QTimer::singleShot(0, this, [this] {
        activateWindow();
        grabKeyboard();
    });
}

colour::ColourValue FrmGetColor::colourAt(QPointF position) const
{
    return colourAtDevice(pickers::DevicePixelAt(position, devicePixelRatio()));
}

colour::ColourValue FrmGetColor::colourAtDevice(QPoint device) const
{
    const QImage pixel = m_screen->pixels(QRect(device, QSize(1, 1)));
    return pixel.isNull() ? kBackground : pickers::ColourFromRgb(pixel.pixel(0, 0));
}

QRect FrmGetColor::deviceBounds() const
{
    return {QPoint(0, 0), (QSizeF(size()) * devicePixelRatio()).toSize()};
}

QRect FrmGetColor::screenBounds(QPoint hotspot) const
{
    const QScreen *screen = QGuiApplication::screenAt(mapToGlobal(hotspot));
    if (!screen)
        return rect();
    const QRect geometry = screen->geometry();
    return QRect(mapFromGlobal(geometry.topLeft()), geometry.size()) & rect();
}

void FrmGetColor::centreLoupe(QPoint device)
{
    m_centre = device;
    const QImage pixels = m_screen->pixels(loupe::SourceArea(device));
    const colour::HexTriple hex = colour::SplitColorValue(
        pickers::ColourFromRgb(pixels.pixel(loupe::kRadius, loupe::kRadius)));
    const QString code =
        colour::ApplyLetterCase(colour::BuildColorCode(hex.red, hex.green, hex.blue), m_letterCase);
    const QPoint hotspot = (QPointF(device) / devicePixelRatio()).toPoint();
    const QPoint place = loupe::Placement(hotspot, screenBounds(hotspot));
    m_loupe->move(m_loupe->isWindow() ? mapToGlobal(place) : place);
    m_loupe->showPixels(pixels, code);
}

void FrmGetColor::stepPointer(QPoint step)
{
    const QPoint target = loupe::ClampInto(m_centre + step, deviceBounds());
    if (target == m_centre)
        return;
    centreLoupe(target);
    // The pointer follows as near as the screen's scale lets it. Where the
    // system refuses to move it, only the loupe's centre has moved, and that
    // is what Enter picks.
    const QPoint logical = (QPointF(target) / devicePixelRatio()).toPoint();
    m_warps.append(logical);
    if (m_warps.size() > 64)
        m_warps.removeFirst();
    QCursor::setPos(QWidget::screen(), mapToGlobal(logical));
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

void FrmGetColor::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    // A move the keys asked for has already moved the loupe.
    const qsizetype warp = m_warps.indexOf(event->position().toPoint());
    if (warp >= 0) {
        m_warps.remove(0, warp + 1);
        return;
    }
    m_warps.clear();
    centreLoupe(pickers::DevicePixelAt(event->position(), devicePixelRatio()));
}

void FrmGetColor::Form_MouseUp(QPointF position)
{
    pick(colourAt(position));
}

void FrmGetColor::pick(colour::ColourValue value)
{
    if (m_picked)
        return;
    m_picked = true;
    Q_EMIT picked(value);
    close();
}

void FrmGetColor::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        event->accept();
        close();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        event->accept();
        pick(colourAtDevice(m_centre));
        return;
    }
    const QPoint step = loupe::ArrowStep(key, event->modifiers().testFlag(Qt::ShiftModifier));
    if (!step.isNull()) {
        event->accept();
        stepPointer(step);
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmGetColor::closeEvent(QCloseEvent *event)
{
    // Form_Unload: however the eyedropper ends, the main window hears of it.
    releaseKeyboard();
    if (m_loupe)
        m_loupe->hide();
    Q_EMIT closed();
    event->accept();
}
