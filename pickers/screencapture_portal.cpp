// SPDX-License-Identifier: MIT
// The capture in a Wayland session. There the display server shows no
// program what the others show (an X11 program on Xwayland reads black or
// nothing), and only the desktop portal hands out a picture of the screen.
#include "pickers/capturebackends.h"
#include "pickers/portalscreenshot.h"
#include "pickers/screencapture.h"

namespace {

class PortalScreenCapture final : public ScreenCapture
{
public:
    explicit PortalScreenCapture(pickers::PortalScreenshot portal) : m_portal(std::move(portal)) {}

    Result grab() override
    {
        const pickers::PortalPicture picture = m_portal.take();
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
