// SPDX-License-Identifier: MIT
// The screen eyedropper: its start sequence, the pick and its order of
// stores, Esc, the device pixel under the pointer at any scale, and the
// capture of the whole desktop. Run by CTest at several scales and screen
// layouts; each test adapts to the one it runs on.
#include "pickers/frmgetcolor.h"

#include "storelog.h"
#include "support/channelharness.h"

#include "assets/assetimages.h"
#include "main/appoptions.h"
#include "main/platform.h"
#include "pickers/hiddenwindowwatch.h"
#include "pickers/screencapture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <functional>

namespace {

/// A capture that hands out a picture made by the test, and notes what the
/// main window looked like when it was asked.
class FakeCapture : public ScreenCapture
{
public:
    explicit FakeCapture(QImage picture) : m_picture(std::move(picture)) {}
    QImage grab() override
    {
        ++grabs;
        if (onGrab)
            onGrab();
        return m_picture;
    }
    void setPicture(QImage picture) { m_picture = std::move(picture); }

    int grabs = 0;
    std::function<void()> onGrab;

private:
    QImage m_picture;
};

/// Every device pixel tells its own place: red and green the low bytes of x
/// and y, blue their high nibbles.
QRgb placeColour(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4));
}

QImage placeImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = placeColour(x, y);
    }
    return image;
}

colour::ColourValue valueOf(QRgb rgb)
{
    return colour::MakeColourValue(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

/// The desktop in device pixels, as Qt's screens describe it.
QSize deviceDesktopSize()
{
    QRect device;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        const QSize size(
            static_cast<int>(std::lround(screen->geometry().width() * screen->devicePixelRatio())),
            static_cast<int>(
                std::lround(screen->geometry().height() * screen->devicePixelRatio())));
        device |= QRect(screen->geometry().topLeft(), size);
    }
    return device.size();
}

/// A window painted in one colour, with no frame.
class SolidWindow : public QWidget
{
public:
    explicit SolidWindow(QColor colour)
        : QWidget(nullptr, Qt::FramelessWindowHint), m_colour(colour)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), m_colour); }

private:
    QColor m_colour;
};

} // namespace

class TestFrmGetColor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void startSequence_data();
    void startSequence();
    void pick_data();
    void pick();
    void colorBoxBeforeHexBoxes();
    void pressAloneChangesNothing();
    void escapeClosesWithoutPicking();
    void closingAnyWayShowsMainWindow();
    void eachStartCapturesAnew();
    void devicePixelUnderPointer();
    void pictureShownUnscaled();
    void coversWholeDesktop();
    void realCaptureWholeDesktop();
    void hiddenMainWindowNotCaptured();
    void watchWaitsForChangedArea();
    void watchGivesUpAfterBound();
    void watchNeedsWindowHidden();

private:
    FrmGetColor *start(ScreenCapture &capture);

    std::unique_ptr<ChannelHarness> m_main;
    std::unique_ptr<StoreLog> m_log;
    AppOptions m_options;
    QPointer<FrmGetColor> m_window;
};

void TestFrmGetColor::init()
{
    m_main = std::make_unique<ChannelHarness>();
    m_main->window.setGeometry(60, 50, 400, 300);
    m_main->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
    m_log = std::make_unique<StoreLog>(*m_main->controls);
    m_options = AppOptions{};
}

void TestFrmGetColor::cleanup()
{
    delete m_window;
    m_log.reset();
    m_main.reset();
}

FrmGetColor *TestFrmGetColor::start(ScreenCapture &capture)
{
    m_window = FrmGetColor::start(&m_main->window, m_options, *m_main->controls, capture);
    return m_window;
}

void TestFrmGetColor::startSequence_data()
{
    QTest::addColumn<int>("hideDokodemo");
    QTest::addColumn<bool>("mainShown");
    QTest::newRow("0: main window stays") << 0 << true;
    QTest::newRow("1: main window hidden") << 1 << false;
    QTest::newRow("2: not 1, stays") << 2 << true;
    QTest::newRow("-1: not 1, stays") << -1 << true;
}

void TestFrmGetColor::startSequence()
{
    QFETCH(int, hideDokodemo);
    QFETCH(bool, mainShown);
    m_options.hideDokodemo = hideDokodemo;
    platform::setAlwaysInFront(&m_main->window, true);

    FakeCapture capture(placeImage(deviceDesktopSize()));
    bool shownAtCapture = !mainShown;
    bool inFrontAtCapture = true;
    capture.onGrab = [&] {
        shownAtCapture = m_main->window.isVisible();
        inFrontAtCapture = platform::isAlwaysInFront(&m_main->window);
    };
    FrmGetColor *window = start(capture);

    QVERIFY(window);
    QCOMPARE(capture.grabs, 1);
    QCOMPARE(shownAtCapture, mainShown);
    QVERIFY(!inFrontAtCapture);
    QCOMPARE(m_main->window.isVisible(), mainShown);
    QVERIFY(!platform::isAlwaysInFront(&m_main->window));

    QCOMPARE(window->objectName(), QStringLiteral("FrmGetColor"));
    QVERIFY(window->isVisible());
    QVERIFY(!window->parentWidget());
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window->cursor().hotSpot(), QPoint(0, 31));
    QCOMPARE(window->cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
             assets::PipetteCursorImage().convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(window->picture().size(), deviceDesktopSize());
    // Nothing is taken before a release.
    QCOMPARE(m_log->take(), QStringList());
}

void TestFrmGetColor::pick_data()
{
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QStringList>("stores");
    const auto hex = [](const char16_t *r, const char16_t *g, const char16_t *b) {
        return QStringList{QStringLiteral("R=") + QString::fromUtf16(r),
                           QStringLiteral("G=") + QString::fromUtf16(g),
                           QStringLiteral("B=") + QString::fromUtf16(b)};
    };
    QTest::newRow("pure red, left")
        << qRgb(255, 0, 0) << Qt::LeftButton << hex(u"FF", u"00", u"00");
    QTest::newRow("black, left") << qRgb(0, 0, 0) << Qt::LeftButton << hex(u"00", u"00", u"00");
    QTest::newRow("12 03 00, left")
        << qRgb(0x12, 0x03, 0x00) << Qt::LeftButton << hex(u"12", u"03", u"00");
    QTest::newRow("pure red, right")
        << qRgb(255, 0, 0) << Qt::RightButton << hex(u"FF", u"00", u"00");
    QTest::newRow("blue-ish, middle")
        << qRgb(0x0A, 0xB0, 0xFE) << Qt::MiddleButton << hex(u"0A", u"B0", u"FE");
    QTest::newRow("white, right") << qRgb(255, 255, 255) << Qt::RightButton
                                  << hex(u"FF", u"FF", u"FF");
}

void TestFrmGetColor::pick()
{
    QFETCH(QRgb, pixel);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QStringList, stores);
    m_options.hideDokodemo = 1;
    QImage picture = placeImage(deviceDesktopSize());
    const QPoint at(37, 23);
    const double ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    const QPoint device = QPoint(static_cast<int>(std::floor(at.x() * ratio)),
                                 static_cast<int>(std::floor(at.y() * ratio)));
    picture.setPixel(device, pixel);
    FakeCapture capture(picture);
    m_log->take();

    FrmGetColor *window = start(capture);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(!m_main->window.isVisible());
    QTest::mouseRelease(window, button, {}, at);

    QCOMPARE(m_log->take(), stores);
    QCOMPARE(m_main->controls->colorBox()->backColor(), valueOf(pixel));
    QCOMPARE(m_main->controls->colourValue(), valueOf(pixel));
    QVERIFY(m_main->window.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
}

void TestFrmGetColor::colorBoxBeforeHexBoxes()
{
    QImage picture = placeImage(deviceDesktopSize());
    picture.fill(qRgb(0x12, 0x34, 0x56));
    FakeCapture capture(picture);
    FrmGetColor *window = start(capture);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    colour::ColourValue boxAtFirstStore = 0xFFFFFFFFu;
    m_main->controls->trace = [&](const QString &line) {
        if (boxAtFirstStore == 0xFFFFFFFFu && line.startsWith(u"store TextRedHex"))
            boxAtFirstStore = m_main->controls->colorBox()->backColor();
    };
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(boxAtFirstStore, 0x563412u);
}

void TestFrmGetColor::pressAloneChangesNothing()
{
    QImage picture = placeImage(deviceDesktopSize());
    picture.fill(qRgb(200, 100, 50));
    FakeCapture capture(picture);
    FrmGetColor *window = start(capture);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mousePress(window, Qt::RightButton, {}, QPoint(12, 10));
    QCOMPARE(m_log->take(), QStringList());
    QCOMPARE(m_main->controls->colourValue(), 0u);
    QVERIFY(window->isVisible());
    QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(12, 10));
    QCOMPARE(m_main->controls->colourValue(), valueOf(qRgb(200, 100, 50)));
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
}

void TestFrmGetColor::escapeClosesWithoutPicking()
{
    m_main->controls->storeSliders(1, 2, 3);
    m_log->take();
    m_options.hideDokodemo = 1;
    QImage picture = placeImage(deviceDesktopSize());
    picture.fill(qRgb(255, 0, 0));
    FakeCapture capture(picture);
    FrmGetColor *window = start(capture);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(!m_main->window.isVisible());
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
    QCOMPARE(m_log->take(), QStringList());
    QCOMPARE(m_main->controls->colourValue(), colour::MakeColourValue(1, 2, 3));
    QCOMPARE(m_main->controls->colorBox()->backColor(), colour::MakeColourValue(1, 2, 3));
    QVERIFY(m_main->window.isVisible());
}

void TestFrmGetColor::closingAnyWayShowsMainWindow()
{
    m_options.hideDokodemo = 1;
    FakeCapture capture(QImage{});
    FrmGetColor *window = start(capture);
    QVERIFY(!m_main->window.isVisible());
    window->close();
    QVERIFY(m_main->window.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
    QCOMPARE(m_log->take(), QStringList());
}

void TestFrmGetColor::eachStartCapturesAnew()
{
    QImage first = placeImage(deviceDesktopSize());
    first.fill(qRgb(10, 20, 30));
    FakeCapture capture(first);
    start(capture);
    QTest::keyClick(m_window, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);

    QImage second = first;
    second.fill(qRgb(40, 50, 60));
    capture.setPicture(second);
    FrmGetColor *window = start(capture);
    QCOMPARE(capture.grabs, 2);
    QCOMPARE(window->picture().pixel(0, 0), qRgb(40, 50, 60));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(m_main->controls->colourValue(), valueOf(qRgb(40, 50, 60)));
}

void TestFrmGetColor::devicePixelUnderPointer()
{
    // Whatever the scale, the pick reads the captured pixel under the tip.
    FakeCapture capture(placeImage(deviceDesktopSize()));
    FrmGetColor *window = start(capture);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const double ratio = window->devicePixelRatio();
    qInfo("device pixel ratio %g", ratio);
    const QSize size = window->picture().size();
    for (int d = 0; d < std::min(size.width(), size.height()); d += 7) {
        const QPointF logical(d / ratio, (d + 1) / ratio);
        QCOMPARE(window->colourAt(logical), valueOf(placeColour(d, d + 1)));
    }
    // The last device pixel of the picture, and the pixel of a real release.
    const QPoint last(size.width() - 1, size.height() - 1);
    QCOMPARE(window->colourAt(QPointF(last) / ratio), valueOf(placeColour(last.x(), last.y())));
    const QPoint at(101, 57);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at);
    const QPoint device(static_cast<int>(std::floor(at.x() * ratio + 1e-9)),
                        static_cast<int>(std::floor(at.y() * ratio + 1e-9)));
    QCOMPARE(m_main->controls->colourValue(), valueOf(placeColour(device.x(), device.y())));
}

void TestFrmGetColor::pictureShownUnscaled()
{
    FakeCapture capture(placeImage(deviceDesktopSize()));
    FrmGetColor *window = start(capture);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QImage shown = window->grab(QRect(0, 0, 200, 150)).toImage();
    const double ratio = window->devicePixelRatio();
    QCOMPARE(shown.devicePixelRatio(), ratio);
    // One captured pixel on one device pixel.
    for (int y = 0; y < shown.height(); y += 3) {
        for (int x = 0; x < shown.width(); x += 3) {
            if (shown.pixel(x, y) != placeColour(x, y))
                QFAIL(qPrintable(QStringLiteral("device pixel %1,%2 shows %3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(shown.pixel(x, y), 8, 16)));
        }
    }
}

void TestFrmGetColor::coversWholeDesktop()
{
    // The window lies over every screen from the desktop's top-left corner,
    // and a release anywhere on them, far right and far down included,
    // takes the captured pixel there.
    FakeCapture capture(placeImage(deviceDesktopSize()));
    FrmGetColor *window = start(capture);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const double ratio = window->devicePixelRatio();
    const QSize device = deviceDesktopSize();
    QCOMPARE(window->geometry().topLeft(),
             QGuiApplication::primaryScreen()->virtualGeometry().topLeft());
    // Every device pixel's top-left corner lies inside the window.
    QVERIFY(window->width() * ratio > device.width() - 1);
    QVERIFY(window->height() * ratio > device.height() - 1);

    const QPoint last(device.width() - 1, device.height() - 1);
    QCOMPARE(window->colourAt(QPointF(last) / ratio), valueOf(placeColour(last.x(), last.y())));

    // Beyond the 3150 x 3195 block that used to be all that was captured.
    const QPoint far(static_cast<int>(std::floor(std::min(device.width() - 1, 5000) / ratio)),
                     static_cast<int>(std::floor((device.height() - 1) / ratio)));
    qInfo("desktop %dx%d device pixels, release at %d,%d", device.width(), device.height(), far.x(),
          far.y());
    QTest::mouseRelease(window, Qt::LeftButton, {}, far);
    const QPoint picked(static_cast<int>(std::floor(far.x() * ratio + 1e-9)),
                        static_cast<int>(std::floor(far.y() * ratio + 1e-9)));
    QCOMPARE(m_main->controls->colourValue(), valueOf(placeColour(picked.x(), picked.y())));
}

void TestFrmGetColor::realCaptureWholeDesktop()
{
    // The program's own capture takes every screen whole, at device pixels,
    // and a window shown far to the right is in it where it lies.
    SolidWindow marker(QColor(0x12, 0xAB, 0x34));
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    marker.setGeometry(desktop.right() - 40, desktop.bottom() - 30, 30, 20);
    marker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&marker));
    const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture();
    const QImage picture = capture->grab();
    QCOMPARE(picture.size(), deviceDesktopSize());
    if (QGuiApplication::platformName() == u"offscreen" &&
        (QGuiApplication::screens().size() > 1 || marker.devicePixelRatio() != 1.0))
        QSKIP("the offscreen platform's screen picture is exact only on one unscaled screen");
    const double ratio = marker.devicePixelRatio();
    const QPoint inside = (marker.geometry().center() - desktop.topLeft()) * ratio;
    QCOMPARE(picture.pixel(inside), qRgb(0x12, 0xAB, 0x34));
}

void TestFrmGetColor::hiddenMainWindowNotCaptured()
{
    // With HideDokodemo 1 the picture shows what lies under the main window,
    // not the main window; with 0 the main window is in it.
    m_main->window.hide();
    SolidWindow under(QColor(0x10, 0x60, 0x20));
    under.setGeometry(10, 10, 200, 160);
    under.show();
    QVERIFY(QTest::qWaitForWindowExposed(&under));
    SolidWindow main(QColor(0xEE, 0x11, 0xEE));
    main.setGeometry(30, 40, 120, 90);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture();
    const QPoint inside = main.geometry().center() * main.devicePixelRatio();

    m_options.hideDokodemo = 0;
    m_window = FrmGetColor::start(&main, m_options, *m_main->controls, *capture);
    QCOMPARE(m_window->picture().pixel(inside), qRgb(0xEE, 0x11, 0xEE));
    QTest::keyClick(m_window, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);

    m_options.hideDokodemo = 1;
    m_window = FrmGetColor::start(&main, m_options, *m_main->controls, *capture);
    QCOMPARE(m_window->picture().pixel(inside), qRgb(0x10, 0x60, 0x20));
    QTest::keyClick(m_window, Qt::Key_Escape);
    QVERIFY(main.isVisible());
}

void TestFrmGetColor::watchWaitsForChangedArea()
{
    // The screen keeps showing the window for a few looks after it is
    // hidden; the watch waits for the change.
    QImage shown(16, 16, QImage::Format_RGB32);
    shown.fill(Qt::magenta);
    QImage under = shown;
    under.fill(Qt::darkGray);
    int looksAfterHide = 0;
    bool hidden = false;
    HiddenWindowWatch watch(&m_main->window, [&](const QRect &) {
        if (!hidden)
            return shown;
        return ++looksAfterHide < 4 ? shown : under;
    });
    m_main->window.hide();
    hidden = true;
    QVERIFY(watch.wait(std::chrono::milliseconds(5000)));
    QVERIFY(looksAfterHide >= 4);
}

void TestFrmGetColor::watchGivesUpAfterBound()
{
    QImage same(8, 8, QImage::Format_RGB32);
    same.fill(Qt::cyan);
    HiddenWindowWatch watch(&m_main->window, [&](const QRect &) { return same; });
    m_main->window.hide();
    QVERIFY(!watch.wait(std::chrono::milliseconds(50)));
    QVERIFY(watch.looks() >= 2);
}

void TestFrmGetColor::watchNeedsWindowHidden()
{
    int grabs = 0;
    HiddenWindowWatch watch(&m_main->window, [&](const QRect &) {
        ++grabs;
        return QImage();
    });
    QVERIFY(grabs >= 1);
    QVERIFY(!watch.gone());
    m_main->window.hide();
    // An area that cannot be grabbed does not hold the capture up.
    QVERIFY(watch.wait(std::chrono::milliseconds(5000)));
}

QTEST_MAIN(TestFrmGetColor)
#include "test_frmgetcolor.moc"
