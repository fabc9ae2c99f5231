// SPDX-License-Identifier: MIT
// The colour pickers on a real X server: how long the eyedropper command
// takes until the frozen full-screen picture is on the screen, how long the
// screen capture alone takes, each with the picture kept on the X server and
// with the picture read into the program through Qt, how long one drag step
// on the palette takes, and what one pointer move over the frozen picture
// costs with the loupe following it. Without arguments it starts a private Xvfb (and openbox, when
// installed) for each screen size and runs itself there. Prints figures;
// never fails on time.
#include "bench/benchtools.h"
#include "common/services.h"
#include "main/frmmain.h"
#include "pickers/capturebackends.h"
#include "pickers/frmcolor.h"
#include "pickers/frmgetcolor.h"
#include "pickers/loupeview.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
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
using bench::spinUntil;

/// Returns once the display server has carried out every request sent so
/// far (a flush of painted pixels, say): one pixel read is a round trip.
void syncWithServer()
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0, 0, 0, 1, 1);
}

/// A capture backend under measurement.
struct Backend
{
    const char *name;
    std::unique_ptr<ScreenCapture> (*create)();
};

/// The picture kept on the X server, and the one read into the program.
const Backend kBackends[] = {{"X server", pickers::CreateXcbScreenCapture},
                             {"through Qt", pickers::CreateQtScreenCapture}};

void measureCapture(const Backend &backend)
{
    constexpr int kRounds = 9;
    const std::unique_ptr<ScreenCapture> capture = backend.create();
    if (!capture)
        return;
    std::vector<double> times;
    QSize size;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const ScreenCapture::Result shot = capture->grab();
        size = shot.picture ? shot.picture->size() : QSize();
        times.push_back(millisecondsSince(timer));
    }
    std::printf("  screen capture %dx%d alone, %-10s:             %7.1f ms (median of %d)\n",
                size.width(), size.height(), backend.name, median(times), kRounds);
}

void measureEyedropper(FrmMain &mainWindow, Services &services, int hideDokodemo,
                       const Backend &backend)
{
    constexpr int kRounds = 7;
    const std::unique_ptr<ScreenCapture> capture = backend.create();
    if (!capture)
        return;
    services.capture = capture.get();
    mainWindow.options().hideDokodemo = hideDokodemo;
    std::vector<double> returned;
    std::vector<double> shown;
    for (int i = 0; i < kRounds; ++i) {
        FirstPaint paint;
        QElapsedTimer timer;
        timer.start();
        mainWindow.GetColor_Click();
        QPointer<FrmGetColor> window = openEyedropper();
        returned.push_back(millisecondsSince(timer));
        // The picture may be painted by a child of the window.
        window->installEventFilter(&paint);
        for (QWidget *child : window->findChildren<QWidget *>())
            child->installEventFilter(&paint);
        spinUntil([&] { return paint.done; });
        syncWithServer();
        shown.push_back(millisecondsSince(timer));
        // The next round starts from a main window painted on the screen, as
        // it is when the user clicks its toolbar.
        FirstPaint mainPaint;
        mainWindow.installEventFilter(&mainPaint);
        window->close();
        spinUntil([&] { return window.isNull() && mainPaint.done; });
        mainWindow.removeEventFilter(&mainPaint);
        // ... and from a server that has done all it was asked (repainting
        // what the closed window covered), as long after the last pick.
        syncWithServer();
    }
    std::printf("  eyedropper, HideDokodemo=%d, %-10s: command returns %7.1f ms, picture shown "
                "%7.1f ms\n",
                hideDokodemo, backend.name, median(returned), median(shown));
}

void measurePalette(FrmMain &mainWindow)
{
    mainWindow.pal_Click();
    FrmColor *palette = mainWindow.palette();
    spinUntil([&] { return palette->isVisible(); });
    constexpr int kMoves = 3000;
    palette->Picture1_MouseDown(1, {0, 0});
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kMoves; ++i)
        palette->Picture1_MouseMove(1, {(i * 7) % 72, (i * 3) % 105});
    const double handler = millisecondsSince(timer) * 1000.0 / kMoves;
    timer.start();
    for (int i = 0; i < kMoves / 10; ++i) {
        palette->Picture1_MouseMove(1, {(i * 7) % 72, (i * 3) % 105});
        QCoreApplication::processEvents();
    }
    const double painted = millisecondsSince(timer) * 1000.0 / (kMoves / 10);
    palette->Picture1_MouseUp(1, {0, 0});
    palette->close();
    std::printf("  palette drag step: handler %7.1f us, with the repaints it causes %7.1f us\n",
                handler, painted);
}

/// Adds up the area that paint events ask widgets to repaint.
class PaintedArea : public QObject
{
public:
    long long pixels = 0;
    int events = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++events;
            for (const QRect &rect : static_cast<QPaintEvent *>(event)->region())
                pixels += static_cast<long long>(rect.width()) * rect.height();
        }
        return QObject::eventFilter(watched, event);
    }
};

void measureLoupe(FrmMain &mainWindow, Services &services, const Backend &backend)
{
    const std::unique_ptr<ScreenCapture> capture = backend.create();
    if (!capture)
        return;
    services.capture = capture.get();
    mainWindow.options().hideDokodemo = 0;
    mainWindow.GetColor_Click();
    QPointer<FrmGetColor> window = openEyedropper();
    FirstPaint shown;
    window->installEventFilter(&shown);
    spinUntil([&] { return shown.done; });
    // What the moves repaint: the loupe, and everything else in the window.
    PaintedArea loupe;
    PaintedArea rest;
    for (QWidget *widget : window->findChildren<QWidget *>())
        widget->installEventFilter(widget == window->loupe() ? &loupe : &rest);
    window->installEventFilter(&rest);
    constexpr int kMoves = 200;
    std::vector<double> times;
    for (int i = 0; i < kMoves; ++i) {
        // Real pointer moves, each until the loupe has followed and every
        // repaint it caused is done.
        const QPoint to(200 + (i * 37) % 600, 150 + (i * 23) % 400);
        QElapsedTimer timer;
        timer.start();
        QCursor::setPos(window->mapToGlobal(to));
        spinUntil([&] { return window->loupeCentre() == to * window->devicePixelRatio(); });
        QCoreApplication::processEvents();
        times.push_back(millisecondsSince(timer));
    }
    std::printf("  pointer move until the loupe followed, %-10s: %5.2f ms (median of %d); per "
                "move the loupe repaints %lld px, the rest of the window %lld px\n",
                backend.name, median(times), kMoves, loupe.pixels / kMoves, rest.pixels / kMoves);
    window->close();
    spinUntil([&] { return window.isNull(); });
}

int measureHere(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Services services{nullptr, nullptr, nullptr, nullptr,
                      Feedback{[] {}, [](QWidget *, const QString &) {}}};
    FrmMain mainWindow(services);
    mainWindow.move(100, 100);
    FirstPaint mainPaint;
    mainWindow.installEventFilter(&mainPaint);
    mainWindow.show();
    spinUntil([&] { return mainPaint.done; });
    mainWindow.removeEventFilter(&mainPaint);
    for (const Backend &backend : kBackends)
        measureCapture(backend);
    for (const int hideDokodemo : {0, 1}) {
        for (const Backend &backend : kBackends)
            measureEyedropper(mainWindow, services, hideDokodemo, backend);
    }
    measurePalette(mainWindow);
    for (const Backend &backend : kBackends)
        measureLoupe(mainWindow, services, backend);
    return 0;
}

/// Starts Xvfb of @p size on a free display; its number, or an empty text.
QString startXvfb(QProcess &server, const QString &size)
{
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), size + QStringLiteral("x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    if (!server.waitForStarted(5000) || !server.waitForReadyRead(10000))
        return {};
    return QString::fromLatin1(server.readLine()).trimmed();
}

int measureOnXvfb(const QString &self)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        std::printf("Xvfb not found; run with --here on a display instead\n");
        return 0;
    }
    const bool haveOpenbox = !QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty();
    for (const QString &size : {QStringLiteral("1920x1080"), QStringLiteral("3840x2160")}) {
        QProcess server;
        const QString display = startXvfb(server, size);
        if (display.isEmpty()) {
            std::printf("Xvfb %s did not start\n", qPrintable(size));
            continue;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QProcess windowManager;
        if (haveOpenbox) {
            windowManager.setProcessEnvironment(env);
            windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
            windowManager.waitForStarted(5000);
            QProcess::execute(QStringLiteral("sh"),
                              {QStringLiteral("-c"),
                               QStringLiteral("for i in $(seq 100); do DISPLAY=:%1 xprop -root "
                                              "_NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "
                                              "'window id' && exit 0; sleep 0.05; done")
                                   .arg(display)});
        }
        std::printf("Xvfb %s%s:\n", qPrintable(size), haveOpenbox ? " with openbox" : "");
        std::fflush(stdout);
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(self, {QStringLiteral("--here")});
        child.waitForFinished(120000);
        windowManager.terminate();
        windowManager.waitForFinished(5000);
        server.terminate();
        server.waitForFinished(5000);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && QByteArrayView(argv[1]) == "--here")
        return measureHere(argc, argv);
    QCoreApplication app(argc, argv);
    return measureOnXvfb(QCoreApplication::applicationFilePath());
}
