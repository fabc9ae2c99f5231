// SPDX-License-Identifier: MIT
#include "pickers/desktopimage.h"
#include "pickers/screencapturebackends.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace pickers {

namespace {

class QtScreenCapture final : public ScreenCapture
{
public:
    QImage grab() override
    {
        std::vector<ScreenPicture> parts;
        const QList<QScreen *> screens = QGuiApplication::screens();
        for (QScreen *screen : screens) {
            // NOTE: Qt keeps a screen's top-left corner in device pixels in
            // its logical geometry and scales only the size, so the corner is
            // the part's place on the device desktop as it stands.
            parts.push_back({screen->geometry().topLeft(), screen->grabWindow(0).toImage()});
        }
        return ComposeDesktopImage(parts);
    }
};

} // namespace

std::unique_ptr<ScreenCapture> CreateQtScreenCapture()
{
    return std::make_unique<QtScreenCapture>();
}

} // namespace pickers
