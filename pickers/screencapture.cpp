// SPDX-License-Identifier: MIT
#include "pickers/screencapture.h"

#include "pickers/capturebackends.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

/// Paints a FrozenImage over the whole of its parent window, pixel for pixel
/// at device pixels, and black where the picture has no pixel.
class FrozenImageView final : public QWidget
{
public:
    FrozenImageView(const QImage &image, QWidget *window) : QWidget(window), m_image(image)
    {
        setObjectName(QStringLiteral("FrozenImageView"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        // The window's own mouse and key handlers see every event.
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(window->rect());
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        const double ratio = devicePixelRatio();
        // One captured pixel on one device pixel, whatever the scale.
        const QRectF shown(QPointF(0, 0), QSizeF(m_image.size()) / ratio);
        const QRegion outside = QRegion(event->rect()).subtracted(shown.toAlignedRect());
        for (const QRect &rect : outside)
            painter.fillRect(rect, Qt::black);
        if (!m_image.isNull()) {
            // NOTE: set on the one copy the view holds, so the pixels are
            // never copied; the painter then draws without scaling.
            if (m_image.devicePixelRatio() != ratio)
                m_image.setDevicePixelRatio(ratio);
            painter.drawImage(QPointF(0, 0), m_image);
        }
    }

private:
    QImage m_image;
};

} // namespace

FrozenImage::FrozenImage(QImage image) : m_image(std::move(image))
{
    if (!m_image.isNull() && m_image.format() != QImage::Format_RGB32)
        m_image = m_image.convertToFormat(QImage::Format_RGB32);
    m_image.setDevicePixelRatio(1.0);
}

QImage FrozenImage::pixels(const QRect &area) const
{
    if (m_image.isNull()) {
        QImage black(area.size(), QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }
    // Parts outside the picture come out as 0, black in RGB32.
    return m_image.copy(area);
}

void FrozenImage::showIn(QWidget *window)
{
    // Shares the pixels, no copy.
    new FrozenImageView(m_image, window);
}

QRect pickers::DeviceDesktop()
{
    QRect desktop;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        // NOTE: Qt keeps a screen's top-left corner in device pixels in its
        // logical geometry and scales only the size.
        const QSizeF size = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
        desktop |= QRect(screen->geometry().topLeft(), size.toSize());
    }
    return desktop;
}

#ifndef VANDREL_HAVE_XCB
std::unique_ptr<ScreenCapture> pickers::CreateXcbScreenCapture(std::chrono::milliseconds)
{
    return nullptr;
}
#endif

#ifndef VANDREL_HAVE_XCB_SHM
std::unique_ptr<pickers::SharedMemoryPictures>
pickers::CreateXcbSharedMemoryPictures(std::chrono::milliseconds)
{
    return nullptr;
}
#endif

#ifndef VANDREL_HAVE_WAYLAND
std::unique_ptr<ScreenCapture>
pickers::CreateWaylandScreenCapture(std::unique_ptr<SharedMemoryPictures>)
{
    return nullptr;
}
#endif

namespace {

/// The compositor's copy, and the portal where the compositor gives nothing.
class WaylandWithPortal final : public ScreenCapture
{
public:
    WaylandWithPortal(std::unique_ptr<ScreenCapture> compositor,
                      std::unique_ptr<ScreenCapture> portal)
        : m_compositor(std::move(compositor)), m_portal(std::move(portal))
    {
    }

    Result grab() override
    {
        Result shot = m_compositor->grab();
        if (shot.picture)
            return shot;
        return m_portal->grab();
    }

    HiddenWindowWait hiddenWindowWait() const override { return m_compositor->hiddenWindowWait(); }
    void prepare() override { m_compositor->prepare(); }

private:
    std::unique_ptr<ScreenCapture> m_compositor;
    std::unique_ptr<ScreenCapture> m_portal;
};

/// Whether the user has turned the compositor's copy off, for a compositor
/// that misbehaves.
bool ScreencopyTurnedOff()
{
    const QByteArray value = qgetenv("VANDREL_NO_SCREENCOPY");
    return !value.isEmpty() && value != "0";
}

} // namespace

std::unique_ptr<ScreenCapture> CreateScreenCapture(const DesktopEnvironment &desktop)
{
    if (desktop.isWayland()) {
        std::unique_ptr<ScreenCapture> portal = CreatePortalScreenCapture();
        if (!ScreencopyTurnedOff()) {
            if (std::unique_ptr<ScreenCapture> compositor =
                    pickers::CreateWaylandScreenCapture(pickers::CreateXcbSharedMemoryPictures()))
                return std::make_unique<WaylandWithPortal>(std::move(compositor),
                                                           std::move(portal));
        }
        // NOTE: the portal starts on its first call, and now and then takes
        // half a minute to answer it; ask it something now, so that the wait
        // is over by the first pick. Once the main window shows, so its start
        // is not slowed.
        QTimer::singleShot(0, qApp, [] { pickers::WakePortal(QDBusConnection::sessionBus()); });
        return portal;
    }
    if (std::unique_ptr<ScreenCapture> xcb = pickers::CreateXcbScreenCapture())
        return xcb;
    return pickers::CreateQtScreenCapture();
}
