// SPDX-License-Identifier: MIT
// The screen eyedropper: the pick and what it reports, the whole desktop
// at device pixels, the bounded wait for the hidden main window.
// CTest runs it at several scales and on two monitors.
#include "pickers/frmgetcolor.h"

#include "pickers/hiddenwindowwatch.h"
#include "pickers/loupeview.h"
#include "pickers/paletteimage.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

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

} // namespace

class TestFrmGetColor : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QWidget> m_main;
    QPointer<FrmGetColor> m_window;
    QStringList m_reports; ///< "picked RRGGBB" (the colour value in hex) and "closed"

    static QString pickedText(colour::ColourValue value)
    {
        return u"picked "_s + QString::number(value, 16).rightJustified(6, u'0');
    }

    /// Shows an eyedropper over @p screen and records what it reports.
    void open(std::unique_ptr<FrozenScreen> screen)
    {
        m_window = new FrmGetColor(std::move(screen));
        connect(m_window, &FrmGetColor::picked, this,
                [this](colour::ColourValue value) { m_reports << pickedText(value); });
        connect(m_window, &FrmGetColor::closed, this, [this] { m_reports << u"closed"_s; });
        m_window->showOverDesktop();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void open(QImage picture) { open(std::make_unique<FrozenImage>(std::move(picture))); }

private Q_SLOTS:
    void init()
    {
        delete m_window; // left open by a failed test
        m_reports.clear();
        m_main = std::make_unique<QWidget>();
        m_main->setGeometry(60, 50, 400, 300);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void pick_data()
    {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("reported"); // the colour value: blue, green, red
        QTest::newRow("12 03 00") << qRgb(0x12, 0x03, 0) << Qt::LeftButton << u"picked 000312"_s;
        QTest::newRow("right button")
            << qRgb(0x0A, 0xB0, 0xFE) << Qt::RightButton << u"picked feb00a"_s;
        QTest::newRow("middle button")
            << qRgb(255, 255, 255) << Qt::MiddleButton << u"picked ffffff"_s;
    }

    void pick()
    {
        QFETCH(QRgb, pixel);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, reported);
        QImage picture = placeImage();
        const QPoint at(37, 23);
        picture.setPixel(
            pickers::DevicePixelAt(at, QGuiApplication::primaryScreen()->devicePixelRatio()),
            pixel);
        open(picture);
        // A press does nothing; the release picks, once, and closes.
        QTest::mousePress(m_window, button, {}, at);
        QCOMPARE(m_reports, QStringList());
        QVERIFY(m_window->isVisible());
        QTest::mouseRelease(m_window, button, {}, at);
        QCOMPARE(m_reports, (QStringList{reported, u"closed"_s}));
        QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
    }

    void wholeDesktopAtDevicePixels()
    {
        // Whatever the scale and the monitors, the window lies over the whole
        // desktop, shows each captured pixel on one device pixel, and a pick
        // reads the captured pixel under the tip, far right and down included.
        const QSize device = deviceDesktopSize();
        open(placeImage());
        const double ratio = m_window->devicePixelRatio();
        qInfo("desktop %dx%d device pixels, ratio %g", device.width(), device.height(), ratio);
        QCOMPARE(m_window->geometry().topLeft(),
                 QGuiApplication::primaryScreen()->virtualGeometry().topLeft());
        QVERIFY(m_window->width() * ratio > device.width() - 1);
        QVERIFY(m_window->height() * ratio > device.height() - 1);
        for (int d = 0; d < std::min(device.width(), device.height()); d += 7)
            QCOMPARE(m_window->colourAt(QPointF(d, d + 1) / ratio),
                     pickers::ColourFromRgb(placeColour(d, d + 1)));

        // The loupe follows the pointer: out of the way of the part compared.
        QCursor::setPos(m_window->mapToGlobal(m_window->rect().center()));
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->loupe()->geometry().intersects({0, 0, 200, 150}), 2000);
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
        QCOMPARE(m_reports.value(0),
                 pickedText(pickers::ColourFromRgb(placeColour(picked.x(), picked.y()))));
    }

    void unreadScreenShowsBlack()
    {
        // A screen that could not be read: the window shows black and picks it.
        open(std::unique_ptr<FrozenScreen>());
        QCOMPARE(m_window->size(), QGuiApplication::primaryScreen()->virtualGeometry().size());
        const QImage shown = m_window->grab(QRect(0, 0, 40, 30)).toImage();
        QCOMPARE(shown.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(39, 29), qRgb(0, 0, 0));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(m_reports, (QStringList{u"picked 000000"_s, u"closed"_s}));
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

        open(capture->grab().picture);
        backdrop.hide();
        QTRY_VERIFY_WITH_TIMEOUT(onScreen(), 5000);

        // The pointer as Qt reports it: the device position over the ratio.
        const QPointF at =
            QPointF(device - m_window->geometry().topLeft()) / m_window->devicePixelRatio();
        QMouseEvent release(QEvent::MouseButtonRelease, at, m_window->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_window, &release);
        QCOMPARE(m_reports.value(0),
                 pickedText(pickers::ColourFromRgb(placeColour(device.x(), device.y()))));
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
        HiddenWindowWatch watch(m_main.get(), [&](const QRect &) {
            if (staleLooks < 0)
                return QImage();
            return looks < 0 || looks++ < staleLooks ? shown : under;
        });
        QVERIFY(!watch.gone());
        m_main->hide();
        looks = 0;
        QCOMPARE(watch.wait(std::chrono::milliseconds(boundMs)), gone);
    }
};

QTEST_MAIN(TestFrmGetColor)
#include "test_frmgetcolor.moc"
