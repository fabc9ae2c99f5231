// SPDX-License-Identifier: MIT
// The eyedropper on a Wayland desktop with a photo-like wallpaper: how long
// the command takes until the frozen picture is on the screen, through the
// compositor's own copy of its outputs (on Xwayland and on Qt's Wayland
// platform) and through the desktop portal (on Xwayland), and how long each
// capture takes alone. Without arguments it makes a wallpaper and starts the
// headless Wayland session of the end-to-end tests for each screen size, and
// runs itself there. Prints medians and ranges; never fails on time.
#include "bench/benchtools.h"
#include "common/services.h"
#include "main/frmmain.h"
#include "pickers/frmgetcolor.h"
#include "pickers/loupeview.h"
#include "pickers/portalscreenshot.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#ifdef VANDREL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

using bench::FirstPaint;
using bench::median;
using bench::millisecondsSince;
using bench::openEyedropper;

/// How long the pointer rests on the toolbar button before a first pick that
/// was prepared for.
constexpr qint64 kRestMs = 300;

void spinUntil(const std::function<bool()> &done)
{
    bench::spinUntil(done, 70000);
}

/// @brief Waits until the display server has handled every request sent so
/// far. On X11 a round trip: the picture has reached the server once it
/// answers (Xwayland copies it into the window's own memory first, which
/// takes longer than the painting at 3840 x 2160). On Wayland the buffer
/// the window committed is the compositor's to read already.
void syncDisplay()
{
#ifdef VANDREL_HAVE_XCB
    if (const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        std::free(xcb_get_input_focus_reply(x11->connection(),
                                            xcb_get_input_focus(x11->connection()), nullptr));
#endif
}

/// "median (min-max) ms" of @p values.
void report(const char *what, const std::vector<double> &values)
{
    if (values.empty()) {
        std::printf("  %-44s no picture\n", what);
        return;
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("  %-44s %7.1f ms (%.1f-%.1f, %zu runs)\n", what, median(values), *low, *high,
                values.size());
    std::fflush(stdout);
}

/// The capture alone, @p rounds times.
void measureCapture(const char *what, ScreenCapture &capture, int rounds)
{
    std::vector<double> alone;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const ScreenCapture::Result shot = capture.grab();
        if (shot.picture)
            alone.push_back(millisecondsSince(timer));
    }
    report(what, alone);
}

/// Runs the eyedropper command of @p mainWindow and returns how long it took
/// until the picture showed, or nothing when no eyedropper opened; closes it
/// again.
std::optional<double> pickOnce(FrmMain &mainWindow)
{
    FirstPaint paint;
    QElapsedTimer timer;
    timer.start();
    mainWindow.GetColor_Click();
    QPointer<FrmGetColor> window = openEyedropper();
    if (!window)
        return std::nullopt;
    // The picture may be painted by a child of the window, or shown by the X
    // server by itself once it has mapped the window; the loupe paints in
    // either case.
    FirstPaint loupePaint;
    window->installEventFilter(&paint);
    for (QWidget *child : window->findChildren<QWidget *>())
        child->installEventFilter(child == window->loupe() ? &loupePaint : &paint);
    spinUntil([&] { return window->windowHandle()->isExposed(); });
    spinUntil([&] {
        return window->windowHandle()->isExposed() && loupePaint.done &&
               (!window->updatesEnabled() || paint.done);
    });
    syncDisplay();
    const double shown = millisecondsSince(timer);
    window->close();
    spinUntil([&] { return window.isNull() && mainWindow.windowHandle()->isExposed(); });
    return shown;
}

Services ServicesWith(ScreenCapture &capture)
{
    return {nullptr, nullptr, nullptr, &capture,
            Feedback{[] {}, [](QWidget *, const QString &) {}}};
}

void showMainWindow(FrmMain &mainWindow)
{
    mainWindow.show();
    spinUntil([&] { return mainWindow.windowHandle() && mainWindow.windowHandle()->isExposed(); });
}

/// The eyedropper command until the picture shows, with the main window
/// shown and hidden, @p rounds times each.
void measureCommand(const char *what, ScreenCapture &capture, int rounds)
{
    Services services = ServicesWith(capture);
    FrmMain mainWindow(services);
    showMainWindow(mainWindow);
    for (const int hide : {0, 1}) {
        mainWindow.options().hideDokodemo = hide;
        std::vector<double> shown;
        for (int i = 0; i < rounds; ++i) {
            if (const std::optional<double> ms = pickOnce(mainWindow))
                shown.push_back(*ms);
        }
        report(qPrintable(QStringLiteral("%1, HideDokodemo=%2").arg(QLatin1String(what)).arg(hide)),
               shown);
    }
}

/// The first pick through a capture made anew, which has nothing kept yet,
/// without and with a preparation as the pointer resting on the toolbar's
/// button makes it, @p rounds times each.
void measureFirstPick(int rounds)
{
    for (const int hide : {0, 1}) {
        for (const bool rested : {false, true}) {
            std::vector<double> shown;
            std::vector<double> preparing;
            for (int i = 0; i < rounds; ++i) {
                const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture();
                Services services = ServicesWith(*capture);
                FrmMain mainWindow(services);
                mainWindow.options().hideDokodemo = hide;
                showMainWindow(mainWindow);
                if (rested) {
                    QElapsedTimer rest;
                    rest.start();
                    capture->prepare();
                    preparing.push_back(millisecondsSince(rest));
                    spinUntil([&] { return rest.elapsed() >= kRestMs; });
                }
                if (const std::optional<double> ms = pickOnce(mainWindow))
                    shown.push_back(*ms);
            }
            report(qPrintable(QStringLiteral("first pick%1, HideDokodemo=%2")
                                  .arg(rested ? QStringLiteral(" after a rest") : QString())
                                  .arg(hide)),
                   shown);
            if (rested)
                report("  the preparation itself, in the program", preparing);
        }
    }
}

int measureHere(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings); // as main() does
    QApplication app(argc, argv);
    const bool xwayland = QGuiApplication::platformName() == QLatin1String("xcb");
    std::printf(" on %s:\n", qPrintable(QGuiApplication::platformName()));
    const QScreen *screen = QGuiApplication::primaryScreen();
    const bool large = screen && screen->size().width() > 2000;
    {
        // What the start-up pays: the connection and the outputs' layout.
        std::vector<double> connect;
        for (int i = 0; i < 9; ++i) {
            QElapsedTimer timer;
            timer.start();
            const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture();
            connect.push_back(millisecondsSince(timer));
        }
        report("the compositor's copy set up at start-up", connect);
        const std::unique_ptr<ScreenCapture> compositor = CreateScreenCapture();
        measureCapture("compositor's copy alone", *compositor, 15);
        measureCommand("compositor's copy: command to picture", *compositor, 9);
        measureFirstPick(5);
    }
    if (xwayland) {
        // The portal's PNG at 3840 x 2160 takes seconds: fewer rounds.
        const std::unique_ptr<ScreenCapture> portal = CreatePortalScreenCapture();
        measureCapture("portal's screenshot alone", *portal, large ? 3 : 7);
        measureCommand("portal: command to picture", *portal, large ? 3 : 5);
    }
    return 0;
}

int measureInSessions(const QString &self)
{
    const QString session = QStringLiteral(VANDREL_SOURCE_DIR "/tests/e2e/wayland-session.sh");
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/vandrel-bench-XXXXXX"));
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    for (const QString &size :
         {QStringLiteral("1280x720"), QStringLiteral("1920x1080"), QStringLiteral("3840x2160")}) {
        // Fractal plasma: as hard to compress as a photo.
        const QString wallpaper = folder.filePath(QStringLiteral("wallpaper-%1.png").arg(size));
        QProcess::execute(QStringLiteral("convert"),
                          {QStringLiteral("-size"), size, QStringLiteral("-seed"),
                           QStringLiteral("7"), QStringLiteral("plasma:fractal"),
                           QStringLiteral("-depth"), QStringLiteral("8"), wallpaper});
        QFile::setPermissions(wallpaper, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        std::printf("Wayland session %s, photo-like wallpaper:\n", qPrintable(size));
        std::fflush(stdout);
        // The portal starts on its first call; start it before measuring,
        // and let the wallpaper load (the compositor shows grey until then).
        const QString script =
            QStringLiteral("for _ in $(seq 100); do grim -g '0,0 1x1' -t ppm - | tail -c 3 | "
                           "od -An -tx1 | grep -qv '3f 3f 3f' && break; sleep 0.1; done; "
                           "dbus-send --session --print-reply --reply-timeout=60000 "
                           "--dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop "
                           "org.freedesktop.DBus.Properties.Get "
                           "string:org.freedesktop.portal.Screenshot string:version >/dev/null; "
                           "QT_QPA_PLATFORM=xcb '%1' --here; "
                           "env -u DISPLAY QT_QPA_PLATFORM=wayland '%1' --here")
                .arg(self);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(session,
                    {QStringLiteral("-s"), size, QStringLiteral("-b"), wallpaper,
                     QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), script});
        child.waitForFinished(900000);
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
