// SPDX-License-Identifier: MIT
// The screen eyedropper and its loupe: at the corners, edge middles and
// centre of every screen the window shows the desktop at device pixels, the
// loupe the pixels round the pointer, the arrow keys move it, and every way of
// picking takes the pixel under it; the pointer through the loupe, the unread
// screen, the bounded wait for the hidden main window. CTest runs it at
// several scales, on two monitors and on an X server, where the picture is
// the program's own capture of the screen.
#include "pickers/frmgetcolor.h"

#include "bench/serverpixmaps.h"
#include "pickers/capturebackends.h"
#include "pickers/hiddenwindowwatch.h"
#include "pickers/loupeview.h"
#include "pickers/paletteimage.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <climits>
#include <cmath>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

QString code(QRgb rgb)
{
    return u"#%1"_s.arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

double screenRatio()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

/// The device pixel whose top-left corner a whole window coordinate @p at
/// lies on, or lies within.
QPoint deviceAt(QPoint at, double ratio)
{
    return {static_cast<int>(std::floor(at.x() * ratio)),
            static_cast<int>(std::floor(at.y() * ratio))};
}

} // namespace

class TestFrmGetColor : public QObject
{
    Q_OBJECT
private:
    QImage m_place; ///< the desktop: each device pixel's colour tells its place
    std::unique_ptr<QWidget> m_backdrop;      ///< on an X server: shows m_place
    std::unique_ptr<ScreenCapture> m_capture; ///< on an X server: the program's own
    QPointer<FrmGetColor> m_window;
    QList<colour::ColourValue> m_picked;

    FrmGetColor *open(std::unique_ptr<FrozenScreen> screen)
    {
        delete m_window; // left open by a failed test
        m_picked.clear();
        m_window = new FrmGetColor(std::move(screen));
        connect(m_window, &FrmGetColor::picked, this,
                [this](colour::ColourValue value) { m_picked << value; });
        m_window->showOverDesktop();
        if (!QTest::qWaitForWindowExposed(m_window))
            qFatal("the eyedropper did not show");
        return m_window;
    }

    /// The place picture; on an X server the capture of the screen, once it
    /// shows the place picture over @p area (null if it never does).
    std::unique_ptr<FrozenScreen> placePicture(QRect area) const
    {
        if (!m_capture)
            return std::make_unique<FrozenImage>(m_place);
        std::unique_ptr<FrozenScreen> shot;
        const bool shown = QTest::qWaitFor(
            [&] {
                shot = m_capture->grab().picture;
                return shot && shot->pixels(area) == m_place.copy(area);
            },
            5000);
        return shown ? std::move(shot) : nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings); // as main() does
        // Red and green the low bytes of x and y, blue their high nibbles.
        QRect device;
        for (const QScreen *screen : QGuiApplication::screens())
            device |= QRect(screen->geometry().topLeft(), screen->size() * screenRatio());
        m_place = QImage(device.size(), QImage::Format_RGB32);
        for (int y = 0; y < m_place.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(m_place.scanLine(y));
            for (int x = 0; x < m_place.width(); ++x)
                line[x] = qRgb(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4));
        }
        if (QGuiApplication::platformName() != u"xcb"_s)
            return;
        m_backdrop = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        m_backdrop->setGeometry(QGuiApplication::primaryScreen()->virtualGeometry());
        FrozenImage(m_place).showIn(m_backdrop.get());
        m_backdrop->show();
        m_capture = CreateScreenCapture();
    }

    void positions_data()
    {
        // Every screen's corners, edge middles and centre, in device pixels
        // and in the window's coordinates, each picked another way.
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("pick");  // a key; a mouse button if negative
        QTest::addColumn<bool>("read"); // false: a capture that could not read the screen
        const int picks[] = {Qt::Key_Return,         -int(Qt::LeftButton), -int(Qt::RightButton),
                             -int(Qt::MiddleButton), Qt::Key_Enter,        Qt::Key_Space};
        const double ratio = screenRatio();
        int row = 0;
        for (const QScreen *screen : QGuiApplication::screens()) {
            const QRect r(screen->geometry().topLeft(), screen->size() * ratio);
            const QPoint spots[] = {r.topLeft(),     {r.center().x(), r.top()},
                                    r.topRight(),    {r.right(), r.center().y()},
                                    r.bottomRight(), {r.center().x(), r.bottom()},
                                    r.bottomLeft(),  {r.left(), r.center().y()},
                                    r.center()};
            for (const QPoint spot : spots)
                QTest::addRow("%s %d,%d", qPrintable(screen->name()), spot.x(), spot.y())
                    << r
                    << QPoint(static_cast<int>(spot.x() / ratio),
                              static_cast<int>(spot.y() / ratio))
                    << picks[row++ % 6] << true;
        }
        QTest::newRow("unread screen: black")
            << QRect(QPoint(), m_place.size()) << QPoint(20, 10) << int(Qt::Key_Return) << false;
    }
    void positions()
    {
        QFETCH(QRect, screen);
        QFETCH(QPoint, at);
        QFETCH(int, pick);
        QFETCH(bool, read);
        const double ratio = screenRatio();
        const QPoint centre = deviceAt(at, ratio);
        const QRect around(centre - QPoint(5, 5), QSize(11, 11));
        QImage place = m_place;
        std::unique_ptr<FrozenScreen> picture;
        if (read)
            QVERIFY2(picture = placePicture(around), "the screen never showed the place picture");
        else
            place.fill(Qt::black);
        FrmGetColor *window = open(std::move(picture));
        // The pointer moves there, as the platform reports it.
        QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(window, &move);

        // The loupe paints the captured pixels round the pointer, black
        // beyond the desktop, as 11 x 11 even squares over its width, and the
        // code of the middle one.
        LoupeView &view = *window->loupe();
        const QImage painted = view.grab().toImage();
        QImage shown(11, 11, QImage::Format_RGB32);
        for (int row = 0; row < 11; ++row) {
            for (int column = 0; column < 11; ++column)
                shown.setPixel(
                    column, row,
                    painted.pixel((QPointF(2 * column + 1, 2 * row + 1) * view.width() / 22 * ratio)
                                      .toPoint()));
        }
        QCOMPARE(shown, place.copy(around));
        QCOMPARE(view.code(), code(place.pixel(centre)));
        // Whole on the screen under the hotspot, and off the hotspot.
        const QRect loupe =
            QRectF(QRectF(view.geometry()).topLeft() * ratio, QSizeF(view.size()) * ratio)
                .toAlignedRect();
        QVERIFY2(screen.contains(loupe) && !loupe.contains(centre),
                 qPrintable(u"loupe at %1,%2"_s.arg(loupe.x()).arg(loupe.y())));

        // The window lies over the whole desktop, each captured pixel on one
        // device pixel (the picture the window paints itself).
        QCOMPARE(window->pos(), QGuiApplication::primaryScreen()->virtualGeometry().topLeft());
        QVERIFY(window->width() * ratio > m_place.width() - 1);
        QVERIFY(window->height() * ratio > m_place.height() - 1);
        if (!m_capture || !read) {
            view.hide();
            const QImage desktop = window->grab(QRect(0, 0, 200, 150)).toImage();
            QImage expected = place.copy(QRect(QPoint(), desktop.size()));
            expected.setDevicePixelRatio(ratio);
            QCOMPARE(desktop.convertToFormat(QImage::Format_RGB32), expected);
        }

        // Picked by a key after the arrows moved one device pixel each, ten
        // with Shift, stopping at the desktop's edges; or by the release of
        // any button there (not the press).
        QPoint picked = centre;
        if (pick > 0) {
            QTest::keyClick(window, Qt::Key_Up, Qt::ShiftModifier);
            QTest::keyClick(window, Qt::Key_Down);
            QTest::keyClick(window, Qt::Key_Left, Qt::ShiftModifier);
            QTest::keyClick(window, Qt::Key_Right);
            picked = QPoint(std::max(centre.x() - 10, 0) + 1, std::max(centre.y() - 10, 0) + 1);
            QCOMPARE(view.code(), code(place.pixel(picked)));
            QTest::keyClick(window, Qt::Key(pick));
        } else {
            QTest::mousePress(window, Qt::MouseButton(-pick), {}, at);
            QVERIFY(m_picked.isEmpty());
            QTest::mouseRelease(window, Qt::MouseButton(-pick), {}, at);
        }
        QCOMPARE(m_picked, QList{pickers::ColourFromRgb(place.pixel(picked))});
        QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 10000);
    }

    void pointerPassesThroughTheLoupe()
    {
        // The pointer's own moves reach the window through the picture kept
        // on the display server and through the loupe.
        if (!m_capture)
            QSKIP("needs a display server that moves the pointer");
        FrmGetColor *window = open(m_capture->grab().picture);
        QPoint at(200, 150);
        for (int i = 0; i < 3; ++i) {
            QCursor::setPos(window->mapToGlobal(at));
            QTRY_COMPARE_WITH_TIMEOUT(window->loupeCentre(),
                                      deviceAt(at, window->devicePixelRatio()), 10000);
            at = window->loupe()->geometry().center(); // the next move lands on the loupe
        }
    }

    void pictureGivenBackOnServer()
    {
        // The picture made ready for a pick takes screen-sized memory on the X
        // server, which an idle program must give back after the keeping time.
        if (!m_capture || ServerPixmaps() < 0)
            QSKIP("needs an X server that tells what it holds");
        delete m_window; // and its picture, left open by the test before
        m_capture.reset();
        const int before = ServerPixmaps();
        const std::unique_ptr<ScreenCapture> brief =
            pickers::CreateXcbScreenCapture(std::chrono::milliseconds(1));
        brief->prepare();
        QCOMPARE(ServerPixmaps(), before + 1);
        QTRY_COMPARE_WITH_TIMEOUT(ServerPixmaps(), before, 10000);
    }

    void hiddenWindowWatch()
    {
        // Grabs that still show the window (the first before hiding; none
        // grabbed at all if negative), the bound, and whether the watch sees
        // the window gone.
        const std::tuple<int, int, bool> rows[] = {
            {3, 5000, true}, {INT_MAX, 50, false}, {-1, 5000, true}};
        for (const auto &[stale, boundMs, gone] : rows) {
            QWidget main;
            main.setGeometry(60, 50, 400, 300);
            main.show();
            QVERIFY(QTest::qWaitForWindowExposed(&main));
            QImage shown(16, 16, QImage::Format_RGB32);
            shown.fill(Qt::magenta);
            QImage under = shown;
            under.fill(Qt::darkGray);
            int grabs = 0;
            HiddenWindowWatch watch(&main, [&](const QRect &) {
                return stale < 0 ? QImage() : grabs++ <= stale ? shown : under;
            });
            main.hide();
            QVERIFY2(watch.wait(std::chrono::milliseconds(boundMs)) == gone,
                     qPrintable(u"stale %1"_s.arg(stale)));
        }
    }
};

QTEST_MAIN(TestFrmGetColor)
#include "test_frmgetcolor.moc"
