// SPDX-License-Identifier: MIT
// The palette window: its layout and placement, and the sequences of its
// mouse handlers checked store by store against the main window's views.
#include "pickers/frmcolor.h"

#include "storelog.h"
#include "support/channelharness.h"

#include "assets/assetimages.h"
#include "colour/colorbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QTest>

namespace {

enum class Act { Down, Move, Up };
enum class Swatch { None, Left, Right };

/// One handler call and what it must do.
struct Step
{
    Act act = Act::Down;
    int button = 0;       ///< 1 left, 2 right, 4 middle; the sum for a move
    QPoint point;         ///< relative to the picture's inner area
    QPoint takes{-1, -1}; ///< the picture pixel whose colour is stored; none if negative
    Swatch swatch = Swatch::None;
    bool heldAfter = false;
};
using Steps = QList<Step>;

constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kMiddle = 4;

colour::ColourValue valueOf(QRgb rgb)
{
    return colour::MakeColourValue(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

QStringList sliderStores(QRgb rgb)
{
    return {QStringLiteral("R=%1").arg(qRed(rgb)), QStringLiteral("G=%1").arg(qGreen(rgb)),
            QStringLiteral("B=%1").arg(qBlue(rgb))};
}

QStringList hexStores(const char16_t *red, const char16_t *green, const char16_t *blue)
{
    return {QStringLiteral("R=") + QString::fromUtf16(red),
            QStringLiteral("G=") + QString::fromUtf16(green),
            QStringLiteral("B=") + QString::fromUtf16(blue)};
}

} // namespace

Q_DECLARE_METATYPE(Step)

class TestFrmColor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void window();
    void controls_data();
    void controls();
    void placedAgainstMainWindow();
    void swatchesAfterOpening();
    void leftPressOnYellow();
    void handlerSequences_data();
    void handlerSequences();
    void realMouseDragLeavesAndComesBack();
    void realMouseTwoButtons();
    void realSwatchClicks();
    void reopening();

private:
    FrmColor *open();
    ColorBox *swatch(Swatch which) const;
    QRgb pixel(QPoint p) const { return m_palette->paletteImage().pixel(p); }

    std::unique_ptr<ChannelHarness> m_main;
    std::unique_ptr<StoreLog> m_log;
    FrmColor *m_palette = nullptr; ///< a child of the main window
};

void TestFrmColor::init()
{
    m_main = std::make_unique<ChannelHarness>();
    m_main->window.setGeometry(100, 80, 500, 300);
    m_main->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_main->window));
    m_log = std::make_unique<StoreLog>(*m_main->controls);
    m_palette = open();
}

void TestFrmColor::cleanup()
{
    m_palette = nullptr;
    m_log.reset();
    m_main.reset();
}

FrmColor *TestFrmColor::open()
{
    // What the main window's palette command does.
    auto *palette = new FrmColor(&m_main->window, *m_main->controls);
    palette->show();
    palette->raise();
    return palette;
}

ColorBox *TestFrmColor::swatch(Swatch which) const
{
    return m_palette->findChild<ColorBox *>(which == Swatch::Left ? QStringLiteral("nowColorL")
                                                                  : QStringLiteral("nowColorR"));
}

void TestFrmColor::window()
{
    QCOMPARE(m_palette->windowTitle(), QStringLiteral("Color"));
    QCOMPARE(m_palette->parentWidget(), &m_main->window);
    QCOMPARE(m_palette->windowType(), Qt::Tool);
    QVERIFY(!m_palette->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!m_palette->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(m_palette->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(m_palette->width(), 84);
    QCOMPARE(m_palette->minimumSize(), m_palette->maximumSize());
}

void TestFrmColor::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("Picture1") << QStringLiteral("Picture1") << QRect(4, 4, 76, 109) << QString();
    QTest::newRow("Frame1") << QStringLiteral("Frame1") << QRect(4, 136, 76, 77)
                            << QStringLiteral(u"ﾏｳｽﾎﾞﾀﾝ");
    QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(8, 20, 25, 13)
                            << QStringLiteral(u"左");
    QTest::newRow("Label2") << QStringLiteral("Label2") << QRect(44, 20, 25, 13)
                            << QStringLiteral(u"右");
    QTest::newRow("nowColorL") << QStringLiteral("nowColorL") << QRect(8, 40, 25, 25) << QString();
    QTest::newRow("nowColorR") << QStringLiteral("nowColorR") << QRect(44, 40, 25, 25) << QString();
}

void TestFrmColor::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    auto *control = m_palette->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (auto *label = qobject_cast<QLabel *>(control); label && !text.isEmpty()) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
    }
    if (auto *group = qobject_cast<QGroupBox *>(control))
        QCOMPARE(group->title(), text);
    if (name == u"Picture1") {
        // The inner area is exactly the palette picture.
        const auto *picture = static_cast<QLabel *>(control);
        QCOMPARE(picture->contentsRect(), QRect(2, 2, 72, 105));
        QCOMPARE(picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 m_palette->paletteImage());
    }
    if (name == u"Picture1" || name.startsWith(u"nowColor")) {
        QCOMPARE(control->cursor().hotSpot(), QPoint(0, 31));
        QCOMPARE(control->cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 assets::PipetteCursorImage().convertToFormat(QImage::Format_ARGB32));
    }
}

void TestFrmColor::placedAgainstMainWindow()
{
    // Outer edges: same top, left edge at the main window's right edge, same
    // outer height.
    QTRY_VERIFY_WITH_TIMEOUT(m_palette->isVisible(), 2000);
    const QRect main = m_main->window.frameGeometry();
    const QRect palette = m_palette->frameGeometry();
    QCOMPARE(palette.top(), main.top());
    QCOMPARE(palette.left(), main.left() + main.width());
    QCOMPARE(palette.height(), main.height());
}

void TestFrmColor::swatchesAfterOpening()
{
    QCOMPARE(swatch(Swatch::Left)->backColor(), 0x000000u);
    QCOMPARE(swatch(Swatch::Right)->backColor(), 0xFFFFFFu);
    m_palette->nowColorL_Click();
    QCOMPARE(m_log->take(), hexStores(u"00", u"00", u"00"));
    m_palette->nowColorR_Click();
    QCOMPARE(m_log->take(), hexStores(u"FF", u"FF", u"FF"));
    QCOMPARE(m_main->controls->colourValue(), 0xFFFFFFu);
}

void TestFrmColor::leftPressOnYellow()
{
    m_palette->Picture1_MouseDown(kLeft, {36, 18});
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("R=255"), QStringLiteral("G=255"),
                                         QStringLiteral("B=0")}));
    QCOMPARE(swatch(Swatch::Left)->backColor(), 0x00FFFFu);
    QCOMPARE(swatch(Swatch::Right)->backColor(), 0xFFFFFFu);
    QVERIFY(m_palette->buttonHeld());
    // The swatch hands the same colour back through the hex boxes.
    m_palette->nowColorL_Click();
    QCOMPARE(m_log->take(), hexStores(u"FF", u"FF", u"00"));
}

void TestFrmColor::handlerSequences_data()
{
    QTest::addColumn<Steps>("steps");
    const QPoint none(-1, -1);
    QTest::newRow("right press: sliders and right swatch")
        << Steps{{Act::Down, kRight, {10, 60}, {10, 60}, Swatch::Right, true}};
    QTest::newRow("middle press: sliders only")
        << Steps{{Act::Down, kMiddle, {50, 90}, {50, 90}, Swatch::None, true}};
    QTest::newRow("moves without a button change nothing")
        << Steps{{Act::Move, 0, {10, 10}, none, Swatch::None, false},
                 {Act::Move, kLeft, {20, 20}, none, Swatch::None, false}};
    QTest::newRow("left drag out of the picture and back")
        << Steps{{Act::Down, kLeft, {10, 10}, {10, 10}, Swatch::Left, true},
                 {Act::Move, kLeft, {20, 30}, {20, 30}, Swatch::Left, true},
                 {Act::Move, kLeft, {-5, 30}, {0, 30}, Swatch::Left, true},
                 {Act::Move, kLeft, {40, 200}, {40, 104}, Swatch::Left, true},
                 {Act::Move, kLeft, {90, -20}, {71, 0}, Swatch::Left, true},
                 {Act::Move, kLeft, {50, 50}, {50, 50}, Swatch::Left, true},
                 {Act::Up, kLeft, {51, 52}, {51, 52}, Swatch::Left, false}};
    QTest::newRow("release outside ends the drag")
        << Steps{{Act::Down, kLeft, {10, 10}, {10, 10}, Swatch::Left, true},
                 {Act::Up, kLeft, {100, 50}, {71, 50}, Swatch::Left, false},
                 {Act::Move, kLeft, {20, 20}, none, Swatch::None, false}};
    QTest::newRow("right drag outside moves the right swatch")
        << Steps{{Act::Down, kRight, {70, 100}, {70, 100}, Swatch::Right, true},
                 {Act::Move, kRight, {75, 110}, {71, 104}, Swatch::Right, true},
                 {Act::Up, kRight, {-3, -3}, {0, 0}, Swatch::Right, false}};
    QTest::newRow("both buttons held: sliders only")
        << Steps{{Act::Down, kLeft, {5, 5}, {5, 5}, Swatch::Left, true},
                 {Act::Down, kRight, {6, 6}, {6, 6}, Swatch::Right, true},
                 {Act::Move, kLeft + kRight, {30, 40}, {30, 40}, Swatch::None, true}};
    QTest::newRow("right release during a left drag clears buttonHeld")
        << Steps{{Act::Down, kLeft, {5, 5}, {5, 5}, Swatch::Left, true},
                 {Act::Down, kRight, {6, 6}, {6, 6}, Swatch::Right, true},
                 {Act::Up, kRight, {7, 7}, {7, 7}, Swatch::Right, false},
                 {Act::Move, kLeft, {30, 40}, none, Swatch::None, false},
                 {Act::Move, kLeft, {-30, 40}, none, Swatch::None, false},
                 {Act::Up, kLeft, {60, 70}, {60, 70}, Swatch::Left, false}};
}

void TestFrmColor::handlerSequences()
{
    QFETCH(Steps, steps);
    colour::ColourValue left = swatch(Swatch::Left)->backColor();
    colour::ColourValue right = swatch(Swatch::Right)->backColor();
    int index = 0;
    for (const Step &step : steps) {
        const QByteArray where = "step " + QByteArray::number(index++);
        switch (step.act) {
        case Act::Down:
            m_palette->Picture1_MouseDown(step.button, step.point);
            break;
        case Act::Move:
            m_palette->Picture1_MouseMove(step.button, step.point);
            break;
        case Act::Up:
            m_palette->Picture1_MouseUp(step.button, step.point);
            break;
        }
        const bool takes = step.takes.x() >= 0;
        const QRgb rgb = takes ? pixel(step.takes) : 0;
        QVERIFY2(m_log->take() == (takes ? sliderStores(rgb) : QStringList()), where.constData());
        if (takes)
            QVERIFY2(m_main->controls->colourValue() == valueOf(rgb), where.constData());
        if (step.swatch == Swatch::Left)
            left = valueOf(rgb);
        if (step.swatch == Swatch::Right)
            right = valueOf(rgb);
        QVERIFY2(swatch(Swatch::Left)->backColor() == left, where.constData());
        QVERIFY2(swatch(Swatch::Right)->backColor() == right, where.constData());
        QVERIFY2(m_palette->buttonHeld() == step.heldAfter, where.constData());
    }
}

void TestFrmColor::realMouseDragLeavesAndComesBack()
{
    // Real events through the picture: it keeps the pointer while the button
    // is held, also beyond its edge.
    auto *picture = m_palette->findChild<QLabel *>(QStringLiteral("Picture1"));
    QVERIFY(QTest::qWaitForWindowExposed(m_palette));
    const QPoint border(2, 2);
    QTest::mousePress(picture, Qt::LeftButton, {}, border + QPoint(36, 18));
    QCOMPARE(m_log->take(), (QStringList{QStringLiteral("R=255"), QStringLiteral("G=255"),
                                         QStringLiteral("B=0")}));
    QCOMPARE(swatch(Swatch::Left)->backColor(), 0x00FFFFu);

    // Out past the right edge: the edge pixel of the same row.
    QTest::mouseMove(picture, border + QPoint(120, 18));
    QCOMPARE(m_log->take(), sliderStores(pixel({71, 18})));
    QCOMPARE(swatch(Swatch::Left)->backColor(), valueOf(pixel({71, 18})));
    QVERIFY(m_palette->buttonHeld());

    // Back inside: both follow the pointer again.
    QTest::mouseMove(picture, border + QPoint(20, 40));
    QCOMPARE(m_log->take(), sliderStores(pixel({20, 40})));
    QCOMPARE(swatch(Swatch::Left)->backColor(), valueOf(pixel({20, 40})));

    // A release below the picture ends the drag with the bottom edge's colour.
    QTest::mouseRelease(picture, Qt::LeftButton, {}, border + QPoint(20, 150));
    QCOMPARE(m_log->take(), sliderStores(pixel({20, 104})));
    QVERIFY(!m_palette->buttonHeld());
    QCOMPARE(swatch(Swatch::Right)->backColor(), 0xFFFFFFu);

    // A move with no button over the picture changes nothing.
    QTest::mouseMove(picture, border + QPoint(30, 30));
    QCOMPARE(m_log->take(), QStringList());
}

void TestFrmColor::realMouseTwoButtons()
{
    auto *picture = m_palette->findChild<QLabel *>(QStringLiteral("Picture1"));
    QVERIFY(QTest::qWaitForWindowExposed(m_palette));
    const QPoint border(2, 2);
    QTest::mousePress(picture, Qt::LeftButton, {}, border + QPoint(5, 5));
    QTest::mousePress(picture, Qt::RightButton, {}, border + QPoint(6, 6));
    QTest::mouseRelease(picture, Qt::RightButton, {}, border + QPoint(7, 7));
    QVERIFY(!m_palette->buttonHeld());
    m_log->take();
    QTest::mouseMove(picture, border + QPoint(30, 40));
    QCOMPARE(m_log->take(), QStringList());
    QTest::mouseRelease(picture, Qt::LeftButton, {}, border + QPoint(60, 70));
    QCOMPARE(m_log->take(), sliderStores(pixel({60, 70})));
    QCOMPARE(swatch(Swatch::Left)->backColor(), valueOf(pixel({60, 70})));
    QCOMPARE(swatch(Swatch::Right)->backColor(), valueOf(pixel({7, 7})));
}

void TestFrmColor::realSwatchClicks()
{
    QVERIFY(QTest::qWaitForWindowExposed(m_palette));
    QTest::mouseClick(swatch(Swatch::Right), Qt::LeftButton);
    QCOMPARE(m_log->take(), hexStores(u"FF", u"FF", u"FF"));
    QTest::mouseClick(swatch(Swatch::Left), Qt::LeftButton);
    QCOMPARE(m_log->take(), hexStores(u"00", u"00", u"00"));
    m_palette->Picture1_MouseDown(kRight, {36, 74});
    m_palette->Picture1_MouseUp(kRight, {36, 74});
    m_log->take();
    QTest::mouseClick(swatch(Swatch::Right), Qt::LeftButton);
    QCOMPARE(m_log->take(), hexStores(u"00", u"00", u"FF"));
}

void TestFrmColor::reopening()
{
    m_palette->Picture1_MouseDown(kLeft, {36, 18});
    m_palette->Picture1_MouseUp(kLeft, {36, 18});
    const QPoint placed = m_palette->pos();

    // Opening again while open: only brought forward.
    m_main->window.move(300, 200);
    QPointer<FrmColor> again = m_palette;
    if (!again)
        again = open();
    again->show();
    again->raise();
    QCOMPARE(again.data(), m_palette);
    QCOMPARE(m_palette->pos(), placed);
    QCOMPARE(swatch(Swatch::Left)->backColor(), 0x00FFFFu);

    // Closed, it is gone; the next opening docks again with fresh swatches.
    m_palette->close();
    QTRY_VERIFY_WITH_TIMEOUT(again.isNull(), 2000);
    m_palette = open();
    const QRect main = m_main->window.frameGeometry();
    QCOMPARE(m_palette->frameGeometry().topLeft(), QPoint(main.left() + main.width(), main.top()));
    QCOMPARE(swatch(Swatch::Left)->backColor(), 0x000000u);
    QCOMPARE(swatch(Swatch::Right)->backColor(), 0xFFFFFFu);
}

QTEST_MAIN(TestFrmColor)
#include "test_frmcolor.moc"
