// SPDX-License-Identifier: MIT
// The capture in a Wayland session. There the display server shows no
// program what the others show (an X11 program on Xwayland reads black or
// nothing), and only the desktop portal hands out a picture of the screen.
#include "pickers/capturebackends.h"
#include "pickers/portalscreenshot.h"
#include "pickers/screencapture.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {

/// @brief While the portal is waited for: the busy cursor over the program's
/// windows, no input reaches them (a click now must not start the eyedropper
/// a second time), and Esc gives up.
class PortalWait final : public QObject
{
public:
    explicit PortalWait(pickers::PortalScreenshot &portal) : m_portal(portal)
    {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        QCoreApplication::instance()->installEventFilter(this);
    }

    ~PortalWait() override
    {
        QCoreApplication::instance()->removeEventFilter(this);
        QGuiApplication::restoreOverrideCursor();
    }

    PortalWait(const PortalWait &) = delete;
    PortalWait &operator=(const PortalWait &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                m_portal.giveUp();
            return true;
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    pickers::PortalScreenshot &m_portal;
};

class PortalScreenCapture final : public ScreenCapture
{
public:
    explicit PortalScreenCapture(pickers::PortalScreenshot portal) : m_portal(std::move(portal)) {}

    HiddenWindowWait hiddenWindowWait() const override
    {
        // NOTE: on Xwayland a grab of the screen comes back black whatever
        // lies there; the portal's picture is taken after the compositor
        // has removed the window.
        return HiddenWindowWait::UnmapOnly;
    }

    Result grab() override
    {
        pickers::PortalPicture picture;
        {
            const PortalWait wait(m_portal);
            picture = m_portal.take();
        }
        if (picture.failure == pickers::PortalFailure::GivenUp)
            return {nullptr, false, true};
        // NOTE: a failure here is never shown as a black picture: the screen
        // is not black, only unseen, and a pick there would be a wrong colour.
        if (picture.failure != pickers::PortalFailure::None)
            return {nullptr, true};
        return {std::make_unique<FrozenImage>(
            pickers::FitPortalPicture(picture.image, pickers::DeviceDesktop().size()))};
    }

private:
    pickers::PortalScreenshot m_portal;
};

} // namespace

std::unique_ptr<ScreenCapture> CreatePortalScreenCapture(QDBusConnection bus,
                                                         std::chrono::milliseconds bound)
{
    return std::make_unique<PortalScreenCapture>(pickers::PortalScreenshot(std::move(bus), bound));
}
