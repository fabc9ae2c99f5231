// SPDX-License-Identifier: MIT
// The capture through Qt, for platforms where the picture cannot stay on the
// display server: every screen grabbed and put together at its place on the
// desktop, in the program's memory.
#include "pickers/capturebackends.h"
#include "pickers/desktopimage.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

class QtScreenCapture final : public ScreenCapture
{
public:
    Result grab() override
    {
        std::vector<pickers::ScreenPicture> parts;
        const QList<QScreen *> screens = QGuiApplication::screens();
        for (QScreen *screen : screens) {
            // NOTE: Qt keeps a screen's top-left corner in device pixels in
            // its logical geometry and scales only the size, so the corner is
            // the part's place on the device desktop as it stands.
            parts.push_back({screen->geometry().topLeft(), screen->grabWindow(0).toImage()});
        }
        QImage desktop = pickers::ComposeDesktopImage(parts);
        if (desktop.isNull())
            return {};
        return {std::make_unique<FrozenImage>(std::move(desktop))};
    }
};

} // namespace

std::unique_ptr<ScreenCapture> pickers::CreateQtScreenCapture()
{
    return std::make_unique<QtScreenCapture>();
}
