// SPDX-License-Identifier: MIT
// The capture in a Wayland session. There the display server shows no
// program what the others show (an X11 program on Xwayland reads black or
// nothing), and only the desktop portal hands out a picture of the screen.
#include "pickers/portalscreenshot.h"
#include "pickers/screencapture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

/// The desktop as the program's windows see it, in device pixels.
QSize deviceDesktopSize()
{
    QRect desktop;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        const QSizeF size = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
        desktop |= QRect(screen->geometry().topLeft(), size.toSize());
    }
    return desktop.size();
}

class PortalScreenCapture final : public ScreenCapture
{
public:
    Result grab() override
    {
        const pickers::PortalPicture picture = m_portal.take();
        switch (picture.failure) {
        case pickers::PortalFailure::None:
            return {std::make_unique<FrozenImage>(
                pickers::FitPortalPicture(picture.image, deviceDesktopSize()))};
        case pickers::PortalFailure::Cancelled:
        case pickers::PortalFailure::Refused:
            // The user or the desktop said no: no eyedropper.
            return {nullptr, true};
        case pickers::PortalFailure::NoPortal:
        case pickers::PortalFailure::NoAnswer:
        case pickers::PortalFailure::Unreadable:
            break;
        }
        // The screen could not be read: the black picture.
        return {};
    }

private:
    pickers::PortalScreenshot m_portal;
};

} // namespace

std::unique_ptr<ScreenCapture> CreatePortalScreenCapture()
{
    return std::make_unique<PortalScreenCapture>();
}
