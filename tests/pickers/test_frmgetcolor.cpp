// SPDX-License-Identifier: MIT
// The screen eyedropper: start and Esc, the pick and its order of stores, the
// whole desktop at device pixels, the bounded wait for the hidden main window.
// CTest runs it at several scales and on two monitors.
#include "pickers/frmgetcolor.h"

#include "storelog.h"
#include "support/channelharness.h"

#include "common/appoptions.h"
#include "common/platform.h"
#include "pickers/hiddenwindowwatch.h"
#include "pickers/paletteimage.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

/// A capture that hands out a picture made by the test; a null picture is a
/// screen that could not be read.
struct FakeCapture : ScreenCapture
{
    explicit FakeCapture(QImage shot, bool refuse = false)
        : picture(std::move(shot)), refused(refuse)
    {
    }
    Result grab() override
    {
        if (refused)
            return {nullptr, true};
        if (picture.isNull())
            return {};
        return {std::make_unique<FrozenImage>(picture)};
    }
    QImage picture;
    bool refused;
};

/// The captured pixel at @p device of the window's picture.
QRgb capturedPixel(const FrmGetColor &window, QPoint device)
{
    return window.screen().pixels(QRect(device, QSize(1, 1))).pixel(0, 0);
}

/// The desktop in device pixels, as Qt's screens describe it.
QSize deviceDesktopSize()
{
    QRect device;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        const QSizeF size = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
        device |= QRect(screen->geometry().topLeft(), size.toSize());
    }
    return device.size();
}

/// Every device pixel tells its own place: red and green the low bytes of x
/// and y, blue their high nibbles.
QRgb placeColour(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4));
}

/// A picture of the whole desktop made of placeColour().
QImage placeImage()
{
    QImage image(deviceDesktopSize(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = placeColour(x, y);
    }
    return image;
}

/// A frameless window of one colour, shown at @p geometry.
std::unique_ptr<QWidget> solidWindow(QColor colour, QRect geometry)
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    QPalette palette;
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
    window->setGeometry(geometry);
    window->show();
    return window;
}

} // namespace

class TestFrmGetColor : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<ChannelHarness> m_main;
    std::unique_ptr<StoreLog> m_log;
    AppOptions m_options;
    QPointer<FrmGetColor> m_window;

private Q_SLOTS:
    void init()
    {
        delete m_window; // left open by a failed test
        m_main = std::make_unique<ChannelHarness>();
        m_main->window.setGeometry(60, 50, 400, 300);
        m_main->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
        m_log = std::make_unique<StoreLog>(*m_main->controls);
        m_options = AppOptions{};
    }

    void startAndEscape_data()
    {
        QTest::addColumn<int>("hideDokodemo");
        QTest::addColumn<bool>("mainShown");
        QTest::newRow("0: main window stays") << 0 << true;
        QTest::newRow("1: main window hidden") << 1 << false;
        QTest::newRow("2: not 1, stays") << 2 << true;
    }

    void startAndEscape()
    {
        // The program's own capture, of every screen whole at device pixels:
        // with the main window hidden it shows what lies under it.
        QFETCH(int, hideDokodemo);
        QFETCH(bool, mainShown);
        m_main->window.hide();
        m_main->controls->storeSliders(1, 2, 3);
        m_log->take();
        const auto under = solidWindow(QColor(0x10, 0x60, 0x20), {10, 10, 200, 160});
        QVERIFY(QTest::qWaitForWindowExposed(under.get()));
        const auto mainWindow = solidWindow(QColor(0xEE, 0x11, 0xEE), {30, 40, 120, 90});
        QWidget &main = *mainWindow;
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        platform::setAlwaysInFront(&main, true);
        const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture();

        m_options.hideDokodemo = hideDokodemo;
        m_window = FrmGetColor::start(&main, m_options, *m_main->controls, *capture);
        QVERIFY(m_window && m_window->isVisible());
        QCOMPARE(m_window->screen().size(), deviceDesktopSize());
        QCOMPARE(main.isVisible(), mainShown);
        QVERIFY(!platform::isAlwaysInFront(&main));
        const QPoint inside = main.geometry().center() * main.devicePixelRatio();
        QCOMPARE(capturedPixel(*m_window, inside),
                 mainShown ? qRgb(0xEE, 0x11, 0xEE) : qRgb(0x10, 0x60, 0x20));

        // Esc closes without picking, and the main window comes back.
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QTest::keyClick(m_window, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
        QVERIFY(main.isVisible());
        QCOMPARE(m_log->take(), QStringList());
        QCOMPARE(m_main->controls->colourValue(), colour::MakeColourValue(1, 2, 3));
    }

    void pick_data()
    {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("stores");
        QTest::newRow("pure red") << qRgb(255, 0, 0) << Qt::LeftButton << u"R=FF G=00 B=00"_s;
        QTest::newRow("black") << qRgb(0, 0, 0) << Qt::LeftButton << u"R=00 G=00 B=00"_s;
        QTest::newRow("12 03 00") << qRgb(0x12, 0x03, 0) << Qt::LeftButton << u"R=12 G=03 B=00"_s;
        QTest::newRow("right button")
            << qRgb(0x0A, 0xB0, 0xFE) << Qt::RightButton << u"R=0A G=B0 B=FE"_s;
        QTest::newRow("middle button")
            << qRgb(255, 255, 255) << Qt::MiddleButton << u"R=FF G=FF B=FF"_s;
    }

    void pick()
    {
        QFETCH(QRgb, pixel);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, stores);
        m_options.hideDokodemo = 1;
        QImage picture = placeImage();
        const QPoint at(37, 23);
        picture.setPixel(
            pickers::DevicePixelAt(at, QGuiApplication::primaryScreen()->devicePixelRatio()),
            pixel);
        FakeCapture capture(picture);
        m_window = FrmGetColor::start(&m_main->window, m_options, *m_main->controls, capture);
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QVERIFY(!m_main->window.isVisible());

        // The colour box is set before the first hex box is stored.
        colour::ColourValue boxAtFirstStore = colour::kInvalidColour;
        const auto logged = m_main->controls->trace;
        m_main->controls->trace = [&](const QString &line) {
            if (boxAtFirstStore == colour::kInvalidColour && line.startsWith(u"store TextRedHex"))
                boxAtFirstStore = m_main->controls->colorBox()->backColor();
            logged(line);
        };
        // A press does nothing; the release picks.
        QTest::mousePress(m_window, button, {}, at);
        QCOMPARE(m_log->take(), QStringList());
        QVERIFY(m_window->isVisible());
        QTest::mouseRelease(m_window, button, {}, at);
        QCOMPARE(m_log->take().join(u' '), stores);
        QCOMPARE(boxAtFirstStore, m_main->controls->colourValue());
        QVERIFY(m_main->window.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
    }

    void wholeDesktopAtDevicePixels()
    {
        // Whatever the scale and the monitors, the window lies over the whole
        // desktop, shows each captured pixel on one device pixel, and a pick
        // reads the captured pixel under the tip, far right and down included.
        const QSize device = deviceDesktopSize();
        FakeCapture capture(placeImage());
        m_window = FrmGetColor::start(&m_main->window, m_options, *m_main->controls, capture);
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        const double ratio = m_window->devicePixelRatio();
        qInfo("desktop %dx%d device pixels, ratio %g", device.width(), device.height(), ratio);
        QCOMPARE(m_window->geometry().topLeft(),
                 QGuiApplication::primaryScreen()->virtualGeometry().topLeft());
        QVERIFY(m_window->width() * ratio > device.width() - 1);
        QVERIFY(m_window->height() * ratio > device.height() - 1);
        for (int d = 0; d < std::min(device.width(), device.height()); d += 7)
            QCOMPARE(m_window->colourAt(QPointF(d, d + 1) / ratio),
                     pickers::ColourFromRgb(placeColour(d, d + 1)));

        const QImage shown = m_window->grab(QRect(0, 0, 200, 150)).toImage();
        QCOMPARE(shown.devicePixelRatio(), ratio);
        for (int y = 0; y < shown.height(); y += 3) {
            for (int x = 0; x < shown.width(); x += 3)
                QVERIFY2(shown.pixel(x, y) == placeColour(x, y),
                         qPrintable(u"%1,%2"_s.arg(x).arg(y)));
        }

        // Beyond the 3150 x 3195 block that used to be all that was captured.
        const QPoint far(static_cast<int>(std::min(device.width() - 1, 5000) / ratio),
                         static_cast<int>((device.height() - 1) / ratio));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, far);
        const QPoint picked = pickers::DevicePixelAt(far, ratio);
        QCOMPARE(m_main->controls->colourValue(),
                 pickers::ColourFromRgb(placeColour(picked.x(), picked.y())));
    }

    void captureOutcome_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("opens");
        QTest::newRow("screen not read: black picture") << false << true;
        QTest::newRow("capture refused: no window") << true << false;
    }

    void captureOutcome()
    {
        QFETCH(bool, refused);
        QFETCH(bool, opens);
        m_options.hideDokodemo = 1;
        m_main->controls->storeSliders(1, 2, 3);
        m_log->take();
        FakeCapture capture(QImage(), refused);
        m_window = FrmGetColor::start(&m_main->window, m_options, *m_main->controls, capture);
        QCOMPARE(!m_window.isNull(), opens);
        if (!opens) {
            QVERIFY(m_main->window.isVisible());
            QCOMPARE(m_main->controls->colourValue(), colour::MakeColourValue(1, 2, 3));
            return;
        }
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QCOMPARE(m_window->size(), QGuiApplication::primaryScreen()->virtualGeometry().size());
        const QImage shown = m_window->grab(QRect(0, 0, 40, 30)).toImage();
        QCOMPARE(shown.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(39, 29), qRgb(0, 0, 0));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(m_log->take().join(u' '), u"R=00 G=00 B=00"_s);
        QVERIFY(m_main->window.isVisible());
    }

    void pickFromTheRealScreen_data()
    {
        // Every monitor's corners and centre, in device pixels.
        QTest::addColumn<QPoint>("device");
        const QList<QScreen *> screens = QGuiApplication::screens();
        for (const QScreen *screen : screens) {
            const QSize size = (QSizeF(screen->size()) * screen->devicePixelRatio()).toSize();
            const QRect rect(screen->geometry().topLeft(), size);
            const QString name = screen->name();
            QTest::addRow("%s top-left", qPrintable(name)) << rect.topLeft();
            QTest::addRow("%s top-right", qPrintable(name)) << rect.topRight();
            QTest::addRow("%s bottom-left", qPrintable(name)) << rect.bottomLeft();
            QTest::addRow("%s bottom-right", qPrintable(name)) << rect.bottomRight();
            QTest::addRow("%s centre", qPrintable(name)) << rect.center();
        }
    }

    void pickFromTheRealScreen()
    {
        // The program's own capture of a real screen that shows placeColour()
        // everywhere: the pick reads the pixel under the tip, and the window
        // keeps showing the frozen picture once the screen beneath changes.
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP("needs an X server");
        QFETCH(QPoint, device);
        const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
        QWidget backdrop(nullptr, Qt::FramelessWindowHint);
        backdrop.setGeometry(desktop);
        FrozenImage pattern(placeImage());
        pattern.showIn(&backdrop);
        backdrop.show();
        const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture();
        const auto onScreen = [&] {
            const ScreenCapture::Result now = capture->grab();
            return now.picture && now.picture->pixels(QRect(device, QSize(1, 1))).pixel(0, 0) ==
                                      placeColour(device.x(), device.y());
        };
        QTRY_VERIFY_WITH_TIMEOUT(onScreen(), 5000);

        m_window = FrmGetColor::start(&m_main->window, m_options, *m_main->controls, *capture);
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        backdrop.hide();
        QTRY_VERIFY_WITH_TIMEOUT(onScreen(), 5000);

        // The pointer as Qt reports it: the device position over the ratio.
        const QPointF at =
            QPointF(device - m_window->geometry().topLeft()) / m_window->devicePixelRatio();
        QMouseEvent release(QEvent::MouseButtonRelease, at, m_window->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_window, &release);
        QCOMPARE(m_main->controls->colourValue(),
                 pickers::ColourFromRgb(placeColour(device.x(), device.y())));
    }

    void hiddenWindowWatch_data()
    {
        QTest::addColumn<int>("staleLooks"); // grabs after hiding that still show the window
        QTest::addColumn<int>("boundMs");
        QTest::addColumn<bool>("gone");
        QTest::newRow("waits for the changed area") << 3 << 5000 << true;
        QTest::newRow("gives up at the bound") << INT_MAX << 50 << false;
        QTest::newRow("an area that cannot be grabbed") << -1 << 5000 << true;
    }

    void hiddenWindowWatch()
    {
        QFETCH(int, staleLooks);
        QFETCH(int, boundMs);
        QFETCH(bool, gone);
        QImage shown(16, 16, QImage::Format_RGB32);
        shown.fill(Qt::magenta);
        QImage under = shown;
        under.fill(Qt::darkGray);
        int looks = -1; // counted from the hiding on
        HiddenWindowWatch watch(&m_main->window, [&](const QRect &) {
            if (staleLooks < 0)
                return QImage();
            return looks < 0 || looks++ < staleLooks ? shown : under;
        });
        QVERIFY(!watch.gone());
        m_main->window.hide();
        looks = 0;
        QCOMPARE(watch.wait(std::chrono::milliseconds(boundMs)), gone);
    }
};

QTEST_MAIN(TestFrmGetColor)
#include "test_frmgetcolor.moc"
