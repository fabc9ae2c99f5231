// SPDX-License-Identifier: MIT
// The eyedropper's loupe and its keys: where the loupe stands, that it shows
// the captured pixels round the pointer at every edge and corner of every
// screen, and that the arrow keys and Enter pick what they reached. CTest runs
// it at several scales and on two monitors.
#include "pickers/frmgetcolor.h"

#include "pickers/loupelayout.h"
#include "pickers/loupeview.h"
#include "pickers/paletteimage.h"
#include "pickers/screencapture.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;
namespace loupe = pickers::loupe;

namespace {

/// Every device pixel tells its own place: red and green the low bytes of x
/// and y, blue their high nibbles.
QRgb placeColour(QPoint p)
{
    return qRgb(p.x() & 0xFF, p.y() & 0xFF, ((p.x() >> 8) & 0x0F) | (((p.y() >> 8) & 0x0F) << 4));
}

/// The desktop in device pixels, as Qt's screens describe it.
QRect deviceDesktop()
{
    QRect device;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        const QSizeF size = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
        device |= QRect(screen->geometry().topLeft(), size.toSize());
    }
    return device;
}

QImage placeImage()
{
    QImage image(deviceDesktop().size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, placeColour({x, y}));
    }
    return image;
}

/// What the platform hands the window when the pointer moves to @p at.
void movePointer(QWidget *window, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(window, &move);
}

/// Where the key tests start the pointer, in window coordinates.
constexpr QPoint kKeysStart(30, 40);

double ScreenRatio()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

QString Code(QRgb rgb)
{
    return u"#%1"_s.arg(static_cast<uint>(rgb & 0xFFFFFF), 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace

class TestLoupe : public QObject
{
    Q_OBJECT
private:
    QPointer<FrmGetColor> m_window;
    QList<colour::ColourValue> m_picked;

    /// An eyedropper over the place picture, or over @p screen.
    FrmGetColor *open(std::unique_ptr<FrozenScreen> screen = nullptr,
                      colour::LetterCase letterCase = colour::LetterCase::Upper)
    {
        delete m_window; // left open by a failed test
        m_picked.clear();
        m_window = new FrmGetColor(screen ? std::move(screen)
                                          : std::make_unique<FrozenImage>(placeImage()));
        connect(m_window, &FrmGetColor::picked, this,
                [this](colour::ColourValue value) { m_picked << value; });
        m_window->setLetterCase(letterCase);
        m_window->showOverDesktop();
        if (!QTest::qWaitForWindowExposed(m_window))
            qFatal("the eyedropper did not show");
        return m_window;
    }

private Q_SLOTS:
    void placement_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("hotspot");
        QTest::addColumn<QString>("side");
        const QRect one(0, 0, 1280, 800);
        const QRect second(1920, 0, 1024, 768); // right of a 1920-wide monitor
        QTest::newRow("middle") << one << QPoint(640, 400) << u"right below"_s;
        QTest::newRow("top-left corner") << one << QPoint(0, 0) << u"right below"_s;
        QTest::newRow("right edge") << one << QPoint(1279, 300) << u"left below"_s;
        QTest::newRow("just fits right") << one << QPoint(1279 - 16 - 99, 300) << u"right below"_s;
        QTest::newRow("one short right") << one << QPoint(1280 - 16 - 99, 300) << u"left below"_s;
        QTest::newRow("bottom edge") << one << QPoint(300, 799) << u"right above"_s;
        QTest::newRow("bottom-right corner") << one << QPoint(1279, 799) << u"left above"_s;
        QTest::newRow("second, left edge") << second << QPoint(1920, 10) << u"right below"_s;
        QTest::newRow("second, right edge") << second << QPoint(2943, 767) << u"left above"_s;
    }
    void placement()
    {
        QFETCH(QRect, screen);
        QFETCH(QPoint, hotspot);
        QFETCH(QString, side);
        const QRect shown(loupe::Placement(hotspot, screen), loupe::kSize);
        QVERIFY2(screen.contains(shown), qPrintable(u"%1,%2"_s.arg(shown.x()).arg(shown.y())));
        QVERIFY(!shown.contains(hotspot));
        const QString found = (shown.left() > hotspot.x() ? u"right "_s : u"left "_s) +
                              (shown.top() > hotspot.y() ? u"below"_s : u"above"_s);
        QCOMPARE(found, side);
    }

    void showsCapturedPixels_data()
    {
        // Corners, edge middles and the middle of every screen, on the edge
        // and two device pixels in.
        QTest::addColumn<QPoint>("at");
        const QList<QScreen *> screens = QGuiApplication::screens();
        for (const QScreen *screen : screens) {
            const QRect g = screen->geometry();
            for (int inset : {0, 2}) {
                const QRect r = g.adjusted(inset, inset, -inset, -inset);
                const QPoint spots[] = {r.topLeft(),     {r.center().x(), r.top()},
                                        r.topRight(),    {r.right(), r.center().y()},
                                        r.bottomRight(), {r.center().x(), r.bottom()},
                                        r.bottomLeft(),  {r.left(), r.center().y()},
                                        r.center()};
                for (const QPoint spot : spots)
                    QTest::addRow("%s %d,%d", qPrintable(screen->name()), spot.x(), spot.y())
                        << spot;
            }
        }
    }
    void showsCapturedPixels()
    {
        QFETCH(QPoint, at);
        FrmGetColor *window = open();
        LoupeView &view = *window->loupe();
        const double ratio = window->devicePixelRatio();
        movePointer(window, at);

        // The centre is the pixel a release there picks; around it the
        // captured pixels, black beyond the desktop. So they are painted.
        const QPoint centre = pickers::DevicePixelAt(at, ratio);
        const QImage painted = view.grab().toImage();
        for (int row = 0; row < loupe::kCells; ++row) {
            for (int column = 0; column < loupe::kCells; ++column) {
                const QPoint source = centre + QPoint(column, row) - QPoint(5, 5);
                const QRgb expected =
                    deviceDesktop().contains(source) ? placeColour(source) : qRgb(0, 0, 0);
                const QPoint block = loupe::BlockRect(column, row).center() * ratio;
                QVERIFY2((view.pixels().pixel(column, row) & 0xFFFFFF) == (expected & 0xFFFFFF) &&
                             (painted.pixel(block) & 0xFFFFFF) == (expected & 0xFFFFFF),
                         qPrintable(u"cell %1,%2"_s.arg(column).arg(row)));
            }
        }
        QCOMPARE(view.code(), Code(placeColour(centre)));

        // Whole on the screen under the hotspot, and off the hotspot.
        const QRect screen = QGuiApplication::screenAt(window->mapToGlobal(at))->geometry();
        const QRect shown(window->mapToGlobal(view.pos()), view.size());
        QVERIFY(screen.contains(shown));
        QVERIFY(!shown.contains(window->mapToGlobal(at)));
        QVERIFY(view.isVisible());
    }

    void pointerPassesThrough_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::newRow("picture painted by the window") << false;
        QTest::newRow("picture kept on the display server") << true;
    }
    void pointerPassesThrough()
    {
        // The pointer's own moves reach the eyedropper window through the
        // picture and through the loupe, wherever the picture lives.
        QFETCH(bool, onServer);
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs a display server that moves the pointer");
        const std::unique_ptr<ScreenCapture> server = CreateScreenCapture();
        FrmGetColor *window = open(onServer ? server->grab().picture : nullptr);
        QPoint at(200, 150);
        for (int i = 0; i < 3; ++i) {
            QCursor::setPos(window->mapToGlobal(at));
            QTRY_COMPARE_WITH_TIMEOUT(window->loupeCentre(),
                                      pickers::DevicePixelAt(at, window->devicePixelRatio()), 2000);
            at = window->loupe()->geometry().center(); // the next move lands on the loupe
        }
    }

    void codeInTheMainWindowsLetterCase()
    {
        FrmGetColor *window = open(nullptr, colour::LetterCase::Lower);
        const QPoint at(0xAB, 0xCD); // a device pixel whose code has letters
        movePointer(window, (QPointF(at) / window->devicePixelRatio()).toPoint());
        QCOMPARE(window->loupe()->code(),
                 Code(placeColour(pickers::DevicePixelAt(
                          (QPointF(at) / window->devicePixelRatio()).toPoint(),
                          window->devicePixelRatio())))
                     .toLower());
    }

    void keysMoveThenPick_data()
    {
        QTest::addColumn<QList<int>>("keys"); // negative: with Shift
        QTest::addColumn<int>("pick");
        QTest::addColumn<QPoint>("moved"); // in device pixels
        const int left = Qt::Key_Left, right = Qt::Key_Right, up = Qt::Key_Up, down = Qt::Key_Down;
        QTest::newRow("right, Enter") << QList<int>{right} << int(Qt::Key_Return) << QPoint(1, 0);
        QTest::newRow("each way, keypad Enter") << QList<int>{right, right, down, left, up, up, up}
                                                << int(Qt::Key_Enter) << QPoint(1, -2);
        QTest::newRow("Shift steps ten, Space")
            << QList<int>{-right, -down, -down, left} << int(Qt::Key_Space) << QPoint(9, 20);
        // From x = 30 (45 or 60 device pixels at the larger scales) to the
        // left edge, where the pointer stops, and one back.
        const int startX = pickers::DevicePixelAt(kKeysStart, ScreenRatio()).x();
        QTest::newRow("stops at the left edge") << QList<int>(7, -left) + QList<int>{right}
                                                << int(Qt::Key_Return) << QPoint(1 - startX, 0);
    }
    void keysMoveThenPick()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, pick);
        QFETCH(QPoint, moved);
        FrmGetColor *window = open();
        movePointer(window, kKeysStart);
        const QPoint start = pickers::DevicePixelAt(kKeysStart, window->devicePixelRatio());
        for (const int key : keys)
            QTest::keyClick(window, Qt::Key(std::abs(key)),
                            key < 0 ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(m_picked.isEmpty());
        const QPoint reached = start + moved;
        QCOMPARE(window->loupe()->code(), Code(placeColour(reached)));
        QTest::keyClick(window, Qt::Key(pick));
        QCOMPARE(m_picked, QList{pickers::ColourFromRgb(placeColour(reached))});
        QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);
    }

    void enterPicksWhatAReleasePicks_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::newRow("near the origin") << QPoint(3, 1);
        QTest::newRow("inside") << QPoint(301, 177);
        QTest::newRow("bottom-right") << QGuiApplication::primaryScreen()->geometry().bottomRight();
    }
    void enterPicksWhatAReleasePicks()
    {
        QFETCH(QPoint, at);
        FrmGetColor *window = open();
        QTest::mouseRelease(window, Qt::LeftButton, {}, at);
        QCOMPARE(m_picked.size(), 1);
        const colour::ColourValue released = m_picked.first();
        QTRY_VERIFY_WITH_TIMEOUT(m_window.isNull(), 2000);

        window = open();
        movePointer(window, at);
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(m_picked, QList{released});
        QCOMPARE(released, pickers::ColourFromRgb(placeColour(
                               pickers::DevicePixelAt(at, window->devicePixelRatio()))));
    }
};

QTEST_MAIN(TestLoupe)
#include "test_loupe.moc"
