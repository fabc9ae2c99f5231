// SPDX-License-Identifier: MIT
// The palette window: its picture, and real mouse sequences on its palette
// and swatches checked event by event.
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
    QPoint point;                 ///< relative to the palette's inner area
    QPoint takes{-1, -1};         ///< the palette pixel reported for the sliders; none if negative
    Swatch swatch = Swatch::None; ///< the swatch that takes it, or the one clicked
    bool heldAfter = false;
};
using Steps = QList<Step>;

constexpr QPoint kNone(-1, -1);
constexpr QPoint kBorder(2, 2); // the palette's sunken border

QString report(const char *kind, colour::ColourValue value)
{
    return u"%1 %2"_s.arg(QLatin1StringView(kind)).arg(value, 0, 16);
}

} // namespace

Q_DECLARE_METATYPE(Step)

class TestFrmColor : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QWidget> m_main;
    FrmColor *m_palette = nullptr; ///< a child of the main window
    QStringList m_reports;         ///< "sliders <value in hex>", "hex <value in hex>"

    ColorBox *swatch(Swatch which) const
    {
        return m_palette->findChild<ColorBox *>(which == Swatch::Left ? u"nowColorL"_s
                                                                      : u"nowColorR"_s);
    }

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
                [this](colour::ColourValue value) { m_reports << report("sliders", value); });
        connect(m_palette, &FrmColor::colourForHexTexts, this,
                [this](colour::ColourValue value) { m_reports << report("hex", value); });
        m_palette->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_palette));
    }

    void layout()
    {
        // Placement, captions and every pixel of the palette in one picture;
        // the pipette over the palette and the swatches; docked against the
        // main window's outer right edge, as tall as it.
        VERIFY_PICTURE(*m_palette, u"FrmColor"_s);
        for (const QString &pipette : {u"Picture1"_s, u"nowColorL"_s, u"nowColorR"_s})
            QCOMPARE(m_palette->findChild<QWidget *>(pipette)->cursor().hotSpot(), QPoint(0, 31));
        const QRect main = m_main->frameGeometry();
        QCOMPARE(m_palette->frameGeometry().topLeft(), main.topRight() + QPoint(1, 0));
        QCOMPARE(m_palette->frameGeometry().height(), main.height());
    }

    void mouseSequences_data()
    {
        QTest::addColumn<Steps>("steps");
        const auto L = Qt::LeftButton;
        const auto R = Qt::RightButton;
        const auto M = Qt::MiddleButton;
        QTest::newRow("swatches right after opening: black and white")
            << Steps{{Click, L, {}, kNone, Swatch::Left}, {Click, L, {}, kNone, Swatch::Right}};
        QTest::newRow("middle button: sliders only, a move without a button nothing")
            << Steps{{Press, M, {50, 90}, {50, 90}, Swatch::None, true},
                     {Release, M, {50, 91}, {50, 91}, Swatch::None},
                     {Move, Qt::NoButton, {-5, 200}}};
        QTest::newRow("left drag leaves the palette and comes back; the swatch hands it back")
            << Steps{{Press, L, {36, 18}, {36, 18}, Swatch::Left, true},
                     {Move, L, {-5, 30}, {0, 30}, Swatch::Left, true},
                     {Move, L, {40, 200}, {40, 104}, Swatch::Left, true},
                     {Move, L, {90, -20}, {71, 0}, Swatch::Left, true},
                     {Move, L, {50, 50}, {50, 50}, Swatch::Left, true},
                     {Release, L, {51, 52}, {51, 52}, Swatch::Left},
                     {Click, L, {}, kNone, Swatch::Left}};
        QTest::newRow("right drag outside moves the right swatch")
            << Steps{{Press, R, {70, 100}, {70, 100}, Swatch::Right, true},
                     {Release, R, {-3, -3}, {0, 0}, Swatch::Right},
                     {Click, L, {}, kNone, Swatch::Right}};
        QTest::newRow("two buttons: right release ends the drag, left release still picks")
            << Steps{{Press, L, {5, 5}, {5, 5}, Swatch::Left, true},
                     {Press, R, {6, 6}, {6, 6}, Swatch::Right, true},
                     {Move, L | R, {30, 40}, {30, 40}, Swatch::None, true},
                     {Release, R, {7, 7}, {7, 7}, Swatch::Right},
                     {Move, L, {-30, 40}},
                     {Release, L, {60, 70}, {60, 70}, Swatch::Left}};
    }

    void mouseSequences()
    {
        // After each event: the reports, both swatches and whether a button
        // is held, as one line.
        QFETCH(Steps, steps);
        QWidget *picture = m_palette->findChild<QLabel *>(u"Picture1"_s);
        const QImage image = pickers::MakePaletteImage();
        const auto state = [](qsizetype i, const QStringList &reports, colour::ColourValue left,
                              colour::ColourValue right, bool held) {
            return u"step %1: %2; swatches %3 %4%5"_s.arg(i)
                .arg(reports.join(u", "))
                .arg(left, 0, 16)
                .arg(right, 0, 16)
                .arg(held ? u", held"_s : QString());
        };
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
                expected << report("hex", step.swatch == Swatch::Left ? left : right);
            } else if (step.takes != kNone) {
                const colour::ColourValue taken = pickers::ColourFromRgb(image.pixel(step.takes));
                expected << report("sliders", taken);
                if (step.swatch != Swatch::None)
                    (step.swatch == Swatch::Left ? left : right) = taken;
            }
            QCOMPARE(state(i, std::exchange(m_reports, {}), swatch(Swatch::Left)->backColor(),
                           swatch(Swatch::Right)->backColor(), m_palette->buttonHeld()),
                     state(i, expected, left, right, step.heldAfter));
        }
    }
};

QTEST_MAIN(TestFrmColor)
#include "test_frmcolor.moc"
