// SPDX-License-Identifier: MIT
// The palette window: its layout, and real mouse sequences on its picture
// and swatches checked report by report.
#include "pickers/frmcolor.h"

#include "support/picture.h"

#include "colour/colorbox.h"
#include "pickers/paletteimage.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr auto Press = QTest::MousePress;
constexpr auto Release = QTest::MouseRelease;
constexpr auto Move = QTest::MouseMove;
constexpr auto Click = QTest::MouseClick; // on a swatch
enum class Swatch { None, Left, Right };

/// One mouse event and what it must do.
struct Step
{
    QTest::MouseAction act = Press;
    Qt::MouseButtons buttons;     ///< the button pressed or released; all those held for a move
    QPoint point;                 ///< relative to the picture's inner area
    QPoint takes{-1, -1};         ///< the picture pixel stored into the sliders; none if negative
    Swatch swatch = Swatch::None; ///< the swatch that takes it, or the one clicked
    bool heldAfter = false;
};
using Steps = QList<Step>;

constexpr QPoint kNone(-1, -1);
constexpr QPoint kBorder(2, 2); // the picture's sunken border

/// A report of @p value for the sliders or for the hex boxes, as recorded.
QString report(colour::ColourValue value, bool hex)
{
    return (hex ? u"hex "_s : u"sliders "_s) + QString::number(value, 16);
}

} // namespace

Q_DECLARE_METATYPE(Step)

class TestFrmColor : public QObject
{
    Q_OBJECT
private:
    template <typename T> T *child(const QString &name) const
    {
        return m_palette->findChild<T *>(name);
    }
    ColorBox *swatch(Swatch which) const
    {
        return child<ColorBox>(which == Swatch::Left ? u"nowColorL"_s : u"nowColorR"_s);
    }

    std::unique_ptr<QWidget> m_main;
    QStringList m_reports;
    FrmColor *m_palette = nullptr; ///< a child of the main window

private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }
    void init()
    {
        m_main = std::make_unique<QWidget>();
        m_main->setGeometry(100, 80, 500, 300);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        m_reports.clear();
        m_palette = new FrmColor(m_main.get());
        connect(m_palette, &FrmColor::colourForSliders, this,
                [this](colour::ColourValue value) { m_reports << report(value, false); });
        connect(m_palette, &FrmColor::colourForHexTexts, this,
                [this](colour::ColourValue value) { m_reports << report(value, true); });
        m_palette->show();
        m_palette->raise();
        QVERIFY(QTest::qWaitForWindowExposed(m_palette));
    }

    void layout()
    {
        // Placement, captions and the palette picture in one picture of the window.
        QCOMPARE(m_palette->windowTitle(), u"Color"_s);
        VERIFY_PICTURE(*m_palette, u"FrmColor"_s);
        for (const QString &pipette : {u"Picture1"_s, u"nowColorL"_s, u"nowColorR"_s})
            QCOMPARE(child<QWidget>(pipette)->cursor().hotSpot(), QPoint(0, 31));
        // Docked: same outer top and height, its left edge at the main window's right edge.
        const QRect main = m_main->frameGeometry();
        QCOMPARE(m_palette->frameGeometry().topLeft(), main.topLeft() + QPoint(main.width(), 0));
        QCOMPARE(m_palette->frameGeometry().height(), main.height());
    }

    void mouseSequences_data()
    {
        QTest::addColumn<Steps>("steps");
        const auto L = Qt::LeftButton;
        const auto R = Qt::RightButton;
        const auto M = Qt::MiddleButton;
        const Qt::MouseButtons N;
        QTest::newRow("swatches right after opening: black and white")
            << Steps{{Click, L, {}, kNone, Swatch::Left}, {Click, L, {}, kNone, Swatch::Right}};
        QTest::newRow("middle press: sliders only")
            << Steps{{Press, M, {50, 90}, {50, 90}, Swatch::None, true},
                     {Release, M, {50, 91}, {50, 91}, Swatch::None}};
        QTest::newRow("moves without a button change nothing")
            << Steps{{Move, N, {10, 10}}, {Move, N, {-5, 200}}};
        QTest::newRow("left drag leaves the picture and comes back; the swatch hands it back")
            << Steps{{Press, L, {36, 18}, {36, 18}, Swatch::Left, true},
                     {Move, L, {20, 30}, {20, 30}, Swatch::Left, true},
                     {Move, L, {-5, 30}, {0, 30}, Swatch::Left, true},
                     {Move, L, {40, 200}, {40, 104}, Swatch::Left, true},
                     {Move, L, {90, -20}, {71, 0}, Swatch::Left, true},
                     {Move, L, {50, 50}, {50, 50}, Swatch::Left, true},
                     {Release, L, {51, 52}, {51, 52}, Swatch::Left},
                     {Click, L, {}, kNone, Swatch::Left}};
        QTest::newRow("right drag outside moves the right swatch")
            << Steps{{Press, R, {70, 100}, {70, 100}, Swatch::Right, true},
                     {Move, R, {75, 110}, {71, 104}, Swatch::Right, true},
                     {Release, R, {-3, -3}, {0, 0}, Swatch::Right},
                     {Click, L, {}, kNone, Swatch::Right}};
        QTest::newRow("two buttons: right release ends the drag, left release still picks")
            << Steps{{Press, L, {5, 5}, {5, 5}, Swatch::Left, true},
                     {Press, R, {6, 6}, {6, 6}, Swatch::Right, true},
                     {Move, L | R, {30, 40}, {30, 40}, Swatch::None, true},
                     {Release, R, {7, 7}, {7, 7}, Swatch::Right},
                     {Move, L, {30, 40}},
                     {Move, L, {-30, 40}},
                     {Release, L, {60, 70}, {60, 70}, Swatch::Left}};
    }

    void mouseSequences()
    {
        QFETCH(Steps, steps);
        QWidget *picture = child<QLabel>(u"Picture1"_s);
        const QImage image = pickers::MakePaletteImage();
        colour::ColourValue left = 0x000000;
        colour::ColourValue right = 0xFFFFFF;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const Step &step = steps.at(i);
            const QPoint at = kBorder + step.point;
            if (step.act == Move) {
                QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton,
                                 step.buttons, {});
                QCoreApplication::sendEvent(picture, &move);
            } else {
                QTest::mouseEvent(step.act, step.act == Click ? swatch(step.swatch) : picture,
                                  static_cast<Qt::MouseButton>(step.buttons.toInt()), {},
                                  step.act == Click ? QPoint() : at);
            }
            QStringList expected;
            if (step.act == Click) {
                expected << report(step.swatch == Swatch::Left ? left : right, true);
            } else if (step.takes != kNone) {
                const colour::ColourValue taken = pickers::ColourFromRgb(image.pixel(step.takes));
                expected << report(taken, false);
                if (step.swatch != Swatch::None)
                    (step.swatch == Swatch::Left ? left : right) = taken;
            }
            const QByteArray where = "step " + QByteArray::number(i);
            QVERIFY2(std::exchange(m_reports, {}) == expected, where.constData());
            QVERIFY2(swatch(Swatch::Left)->backColor() == left, where.constData());
            QVERIFY2(swatch(Swatch::Right)->backColor() == right, where.constData());
            QVERIFY2(m_palette->buttonHeld() == step.heldAfter, where.constData());
        }
    }

    void reopening()
    {
        // Opened again while open, it is only brought forward: not moved back
        // against the main window, swatches kept.
        QTest::mouseClick(child<QLabel>(u"Picture1"_s), Qt::LeftButton, {},
                          kBorder + QPoint(36, 18));
        const QPoint placed = m_palette->pos();
        m_main->move(300, 200);
        m_palette->show();
        m_palette->raise();
        QCOMPARE(m_palette->pos(), placed);
        QCOMPARE(swatch(Swatch::Left)->backColor(), 0x00FFFFu);
    }
};

QTEST_MAIN(TestFrmColor)
#include "test_frmcolor.moc"
