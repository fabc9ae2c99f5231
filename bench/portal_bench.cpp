// SPDX-License-Identifier: MIT
// The eyedropper on a Wayland desktop: how long the command takes until the
// frozen picture, taken through the desktop portal, is on the screen, on
// Xwayland and on Qt's Wayland platform, and how long the portal's screenshot
// alone takes. Without arguments it starts the headless Wayland session of the
// end-to-end tests for each screen size and runs itself there. Prints figures;
// never fails on time.
#include "bench/benchtools.h"
#include "common/services.h"
#include "main/frmmain.h"
#include "pickers/frmgetcolor.h"
#include "pickers/portalscreenshot.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::FirstPaint;
using bench::median;
using bench::millisecondsSince;
using bench::openEyedropper;

void spinUntil(const std::function<bool()> &done)
{
    bench::spinUntil(done, 10000);
}

constexpr int kRounds = 7;

int measureHere(int argc, char *argv[])
{
    QApplication app(argc, argv);
    std::printf(" on %s:\n", qPrintable(QGuiApplication::platformName()));
    std::vector<double> alone;
    QSize size;
    pickers::PortalScreenshot portal;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const pickers::PortalPicture picture = portal.take();
        alone.push_back(millisecondsSince(timer));
        size = picture.image.size();
    }
    std::printf("  portal screenshot %dx%d alone:        %7.1f ms (median of %d)\n", size.width(),
                size.height(), median(alone), kRounds);

    const std::unique_ptr<ScreenCapture> capture = CreatePortalScreenCapture();
    Services services{nullptr, nullptr, nullptr, capture.get(),
                      Feedback{[] {}, [](QWidget *, const QString &) {}}};
    FrmMain mainWindow(services);
    mainWindow.show();
    spinUntil([&] { return mainWindow.windowHandle() && mainWindow.windowHandle()->isExposed(); });
    for (const int hide : {0, 1}) {
        mainWindow.options().hideDokodemo = hide;
        std::vector<double> shown;
        for (int i = 0; i < kRounds; ++i) {
            FirstPaint paint;
            QElapsedTimer timer;
            timer.start();
            mainWindow.GetColor_Click();
            QPointer<FrmGetColor> window = openEyedropper();
            if (!window) {
                std::printf("  the portal gave no picture\n");
                continue;
            }
            // The picture may be painted by a child of the window.
            window->installEventFilter(&paint);
            for (QWidget *child : window->findChildren<QWidget *>())
                child->installEventFilter(&paint);
            spinUntil([&] { return paint.done; });
            shown.push_back(millisecondsSince(timer));
            window->close();
            spinUntil([&] { return window.isNull() && mainWindow.windowHandle()->isExposed(); });
        }
        std::printf("  eyedropper, HideDokodemo=%d: picture shown %7.1f ms (median of %d)\n", hide,
                    median(shown), kRounds);
    }
    return 0;
}

int measureInSessions(const QString &self)
{
    const QString session = QStringLiteral(VANDREL_SOURCE_DIR "/tests/e2e/wayland-session.sh");
    for (const QString &size : {QStringLiteral("1280x720"), QStringLiteral("3840x2160")}) {
        std::printf("Wayland session %s:\n", qPrintable(size));
        std::fflush(stdout);
        // The portal starts on its first call; start it before measuring.
        const QString script =
            QStringLiteral("dbus-send --session --print-reply --reply-timeout=30000 "
                           "--dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop "
                           "org.freedesktop.DBus.Properties.Get "
                           "string:org.freedesktop.portal.Screenshot string:version >/dev/null; "
                           "QT_QPA_PLATFORM=xcb '%1' --here; "
                           "env -u DISPLAY QT_QPA_PLATFORM=wayland '%1' --here")
                .arg(self);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(session, {QStringLiteral("-s"), size, QStringLiteral("--"),
                              QStringLiteral("sh"), QStringLiteral("-c"), script});
        child.waitForFinished(300000);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && QByteArrayView(argv[1]) == "--here")
        return measureHere(argc, argv);
    QCoreApplication app(argc, argv);
    return measureInSessions(QCoreApplication::applicationFilePath());
}
