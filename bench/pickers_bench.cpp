// SPDX-License-Identifier: MIT
// The colour pickers on a real X server: how long the eyedropper command
// takes until the frozen full-screen picture and its loupe are on the screen,
// in a fresh program (its first pick, with and without the pointer resting on
// the toolbar button first) and from then on, with the picture kept on the X
// server and with the picture read into the program through Qt; how long the
// screen capture alone takes; what the X server holds for the program;
// how long one drag step on the palette takes; and what one pointer move over
// the frozen picture costs with the loupe following it. Without arguments it
// starts a private Xvfb (and openbox, when installed) for each screen size,
// paints its root window as a desktop would be painted, and runs itself
// there. Prints figures; never fails on time.
#include "bench/benchtools.h"
#include "bench/serverpixmaps.h"
#include "common/services.h"
#include "main/frmmain.h"
#include "pickers/capturebackends.h"
#include "pickers/frmcolor.h"
#include "pickers/frmgetcolor.h"
#include "pickers/loupeview.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QBackingStore>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
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

/// How long the pointer rests on the toolbar button before the click, when
/// the bench plays a user who hovers first.
constexpr int kHoverMs = 300;

/// Returns once the display server has carried out every request sent so
/// far (a flush of painted pixels, say): one pixel read is a round trip.
void syncWithServer()
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0, 0, 0, 1, 1);
}

/// "median (lowest-highest)" of @p values, in milliseconds.
QByteArray spread(const std::vector<double> &values)
{
    if (values.empty())
        return "-";
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QByteArray::number(median(values), 'f', 1) + " (" + QByteArray::number(*low, 'f', 1) +
           "-" + QByteArray::number(*high, 'f', 1) + ")";
}

/// A capture backend under measurement.
struct Backend
{
    const char *name;
    std::unique_ptr<ScreenCapture> (*create)();
};

std::unique_ptr<ScreenCapture> CreateXcb()
{
    return pickers::CreateXcbScreenCapture();
}

/// The picture kept on the X server, and the one read into the program.
const Backend kBackends[] = {{"X server", CreateXcb},
                             {"through Qt", pickers::CreateQtScreenCapture}};

void measureCapture(const Backend &backend, bool fresh)
{
    constexpr int kRounds = 9;
    std::unique_ptr<ScreenCapture> capture = backend.create();
    if (!capture)
        return;
    std::vector<double> times;
    QSize size;
    for (int i = 0; i < kRounds; ++i) {
        // A capture of its own takes its room on the server anew.
        if (fresh)
            capture = backend.create();
        QElapsedTimer timer;
        timer.start();
        const ScreenCapture::Result shot = capture->grab();
        size = shot.picture ? shot.picture->size() : QSize();
        times.push_back(millisecondsSince(timer));
    }
    std::printf("  screen capture %dx%d alone, %-10s%s: %s ms (median of %d, range)\n",
                size.width(), size.height(), backend.name, fresh ? ", fresh room" : "",
                spread(times).constData(), kRounds);
}

/// Runs the eyedropper command of @p mainWindow; returns how long it took to
/// return and until the picture and the loupe were on the screen, and leaves
/// the eyedropper open.
std::pair<double, double> openTimed(FrmMain &mainWindow, QPointer<FrmGetColor> &window)
{
    QElapsedTimer timer;
    timer.start();
    mainWindow.GetColor_Click();
    const double returned = millisecondsSince(timer);
    window = openEyedropper();
    if (!window)
        return {returned, -1};
    // Shown once the server has mapped the window (and painted the picture
    // the server shows by itself), and the window (unless it never paints)
    // and the loupe have painted and flushed for the first time.
    FirstPaint windowPaint;
    FirstPaint loupePaint;
    window->installEventFilter(&windowPaint);
    for (QWidget *child : window->findChildren<QWidget *>())
        child->installEventFilter(child == window->loupe() ? &loupePaint : &windowPaint);
    spinUntil([&] {
        return window->windowHandle()->isExposed() && loupePaint.done &&
               (!window->updatesEnabled() || windowPaint.done);
    });
    syncWithServer();
    return {returned, millisecondsSince(timer)};
}

/// Closes the eyedropper and waits until the main window has painted again
/// and the server has done all it was asked, as long after the last pick.
void closeEyedropper(FrmMain &mainWindow, QPointer<FrmGetColor> &window)
{
    FirstPaint mainPaint;
    mainWindow.installEventFilter(&mainPaint);
    window->close();
    spinUntil([&] { return window.isNull() && mainPaint.done; });
    mainWindow.removeEventFilter(&mainPaint);
    syncWithServer();
}

void measureEyedropper(FrmMain &mainWindow, Services &services, int hideDokodemo,
                       const Backend &backend)
{
    constexpr int kRounds = 9;
    const std::unique_ptr<ScreenCapture> capture = backend.create();
    if (!capture)
        return;
    services.capture = capture.get();
    mainWindow.options().hideDokodemo = hideDokodemo;
    std::vector<double> returned;
    std::vector<double> shown;
    // The first open here is not this program's first: the fresh program's
    // is measured on its own. It is left out of the steady figures.
    for (int i = 0; i <= kRounds; ++i) {
        QPointer<FrmGetColor> window;
        const auto [back, on] = openTimed(mainWindow, window);
        if (i > 0) {
            returned.push_back(back);
            shown.push_back(on);
        }
        closeEyedropper(mainWindow, window);
    }
    std::printf("  steady, HideDokodemo=%d, %-10s: command returns %s ms, picture shown %s ms\n",
                hideDokodemo, backend.name, spread(returned).constData(),
                spread(shown).constData());
    services.capture = nullptr;
}

void measureMemory(FrmMain &mainWindow, Services &services, const Backend &backend)
{
    const std::unique_ptr<ScreenCapture> capture = backend.create();
    if (!capture)
        return;
    services.capture = capture.get();
    mainWindow.options().hideDokodemo = 0;
    // The pixmaps held apart from the eyedropper's windows, each a picture
    // of the desktop.
    const QSize desktop = pickers::DeviceDesktop().size();
    const double picture = 4e-6 * desktop.width() * desktop.height();
    const int before = ServerPixmaps();
    capture->prepare();
    const int prepared = ServerPixmaps() - before;
    QPointer<FrmGetColor> window;
    openTimed(mainWindow, window);
    const QSize store = window->backingStore()->size();
    closeEyedropper(mainWindow, window);
    const int after = ServerPixmaps() - before;
    services.capture = nullptr;
    std::printf("  held on the X server, %-10s: eyedropper window's own picture %dx%d",
                backend.name, std::max(store.width(), 0), std::max(store.height(), 0));
    if (before < 0) {
        std::printf("\n");
        return;
    }
    std::printf(", prepared %.1f MB, after the pick %.1f MB", prepared * picture, after * picture);
    if (backend.create == CreateXcb) {
        // Given back after the keeping time; a short one here, as the
        // release is the same.
        const std::unique_ptr<ScreenCapture> brief =
            pickers::CreateXcbScreenCapture(std::chrono::milliseconds(100));
        brief->prepare();
        const int held = ServerPixmaps() - before - after;
        spinUntil([&] { return ServerPixmaps() - before - after <= 0; }, 2000);
        std::printf("; another %.1f MB prepared, %.1f MB after the keeping time", held * picture,
                    (ServerPixmaps() - before - after) * picture);
    }
    std::printf("\n");
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
    QPointer<FrmGetColor> window;
    openTimed(mainWindow, window);
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
    closeEyedropper(mainWindow, window);
    services.capture = nullptr;
}

/// A main window at the top-left, painted on the screen.
void showMainWindow(FrmMain &mainWindow)
{
    mainWindow.move(100, 100);
    FirstPaint mainPaint;
    mainWindow.installEventFilter(&mainPaint);
    mainWindow.show();
    spinUntil([&] { return mainPaint.done; });
    mainWindow.removeEventFilter(&mainPaint);
    syncWithServer();
}

int measureHere(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings); // as main() does
    QApplication app(argc, argv);
    Services services{nullptr, nullptr, nullptr, nullptr,
                      Feedback{[] {}, [](QWidget *, const QString &) {}}};
    FrmMain mainWindow(services);
    showMainWindow(mainWindow);
    for (const Backend &backend : kBackends)
        measureCapture(backend, false);
    measureCapture(kBackends[0], true);
    for (const int hideDokodemo : {0, 1}) {
        for (const Backend &backend : kBackends)
            measureEyedropper(mainWindow, services, hideDokodemo, backend);
    }
    for (const Backend &backend : kBackends)
        measureMemory(mainWindow, services, backend);
    measurePalette(mainWindow);
    for (const Backend &backend : kBackends)
        measureLoupe(mainWindow, services, backend);
    return 0;
}

/// The first pick of a fresh program, with the picture kept on the server:
/// prints the milliseconds until the picture was shown.
int measureFirst(int argc, char *argv[], int hideDokodemo, bool hover)
{
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings); // as main() does
    QApplication app(argc, argv);
    const std::unique_ptr<ScreenCapture> capture = pickers::CreateXcbScreenCapture();
    if (!capture)
        return 1;
    Services services{nullptr, nullptr, nullptr, capture.get(),
                      Feedback{[] {}, [](QWidget *, const QString &) {}}};
    FrmMain mainWindow(services);
    mainWindow.options().hideDokodemo = hideDokodemo;
    showMainWindow(mainWindow);
    if (hover) {
        // The pointer comes to rest on the eyedropper's button, as before a
        // click there.
        const auto *button = mainWindow.findChild<QWidget *>(QStringLiteral("Toolbar1_3_Button"));
        QCursor::setPos(button->mapToGlobal(button->rect().center()));
        spinUntil([] { return false; }, kHoverMs);
    }
    QPointer<FrmGetColor> window;
    const double shown = openTimed(mainWindow, window).second;
    std::printf("%.2f\n", shown);
    return 0;
}

/// The fresh program's first pick, @p runs times each way.
void measureFirstPicks(const QString &self, const QProcessEnvironment &env)
{
    constexpr int kRuns = 9;
    for (const int hideDokodemo : {0, 1}) {
        for (const bool hover : {false, true}) {
            std::vector<double> shown;
            for (int i = 0; i < kRuns; ++i) {
                QProcess child;
                child.setProcessEnvironment(env);
                child.setProcessChannelMode(QProcess::SeparateChannels);
                child.start(self, {QStringLiteral("--first"), QString::number(hideDokodemo),
                                   hover ? QStringLiteral("hover") : QStringLiteral("click")});
                child.waitForFinished(60000);
                bool ok = false;
                const double ms = child.readAllStandardOutput().trimmed().toDouble(&ok);
                if (ok && ms >= 0)
                    shown.push_back(ms);
            }
            std::printf("  first pick of a fresh program, HideDokodemo=%d, %s: picture shown %s "
                        "ms (%zu runs)\n",
                        hideDokodemo,
                        hover ? "after resting on the button" : "clicked at once     ",
                        spread(shown).constData(), shown.size());
            std::fflush(stdout);
        }
    }
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

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
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
        env.insert(QStringLiteral("VANDREL_BENCH_SERVER_PID"), QString::number(server.processId()));
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
        // NOTE: a desktop's screen has been painted all over; a fresh Xvfb's
        // has not, and the first copy of it would touch its memory for the
        // first time, a cost no real desktop has.
        QProcess paint;
        paint.setProcessEnvironment(env);
        paint.start(QStringLiteral("xsetroot"),
                    {QStringLiteral("-solid"), QStringLiteral("#336699")});
        paint.waitForFinished(10000);
        std::printf("Xvfb %s%s, root painted, load %s:\n", qPrintable(size),
                    haveOpenbox ? " with openbox" : "", loadAverage().constData());
        std::fflush(stdout);
        measureFirstPicks(self, env);
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(self, {QStringLiteral("--here")});
        child.waitForFinished(300000);
        std::printf("  load afterwards %s\n", loadAverage().constData());
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
    if (argc > 3 && QByteArrayView(argv[1]) == "--first")
        return measureFirst(argc, argv, QByteArrayView(argv[2]) == "1" ? 1 : 0,
                            QByteArrayView(argv[3]) == "hover");
    QCoreApplication app(argc, argv);
    return measureOnXvfb(QCoreApplication::applicationFilePath());
}
