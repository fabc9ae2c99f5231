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
    Qt::MouseButton button;       ///< for a move, those pressed before stay held
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
    FrmColor *m_palette = nullptr; ///< a child of the main window, docked to it
    QStringList m_reports;         ///< "sliders <value in hex>", "hex <value in hex>"

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
        // the pipette over the palette and the swatches.
        VERIFY_PICTURE(*m_palette, u"FrmColor"_s);
        for (const QString &pipette : {u"Picture1"_s, u"nowColorL"_s, u"nowColorR"_s})
            QCOMPARE(m_palette->findChild<QWidget *>(pipette)->cursor().hotSpot(), QPoint(0, 31));
    }

    void mouseSequences_data()
    {
        QTest::addColumn<Steps>("steps");
        const auto L = Qt::LeftButton;
        const auto R = Qt::RightButton;
        QTest::newRow("middle button: sliders only")
            << Steps{{Press, Qt::MiddleButton, {50, 90}, {50, 90}, Swatch::None, true},
                     {Release, Qt::MiddleButton, {50, 91}, {50, 91}, Swatch::None}};
        QTest::newRow("left drag leaves the palette and comes back; the swatch hands it back")
            << Steps{{Press, L, {36, 18}, {36, 18}, Swatch::Left, true},
                     {Move, L, {-5, 30}, {0, 30}, Swatch::Left, true},
                     {Move, L, {40, 200}, {40, 104}, Swatch::Left, true},
                     {Move, L, {90, -20}, {71, 0}, Swatch::Left, true},
                     {Release, L, {51, 52}, {51, 52}, Swatch::Left},
                     {Click, L, {}, kNone, Swatch::Left}};
        QTest::newRow("right drag outside moves the right swatch")
            << Steps{{Press, R, {70, 100}, {70, 100}, Swatch::Right, true},
                     {Release, R, {-3, -3}, {0, 0}, Swatch::Right},
                     {Click, L, {}, kNone, Swatch::Right}};
        QTest::newRow("two buttons: right release ends the drag, left release still picks")
            << Steps{{Press, L, {5, 5}, {5, 5}, Swatch::Left, true},
                     {Press, R, {6, 6}, {6, 6}, Swatch::Right, true},
                     {Move, Qt::NoButton, {30, 40}, {30, 40}, Swatch::None, true},
                     {Release, R, {7, 7}, {7, 7}, Swatch::Right},
                     {Move, Qt::NoButton, {-30, 40}},
                     {Release, L, {60, 70}, {60, 70}, Swatch::Left}};
    }

    void mouseSequences()
    {
        // After each event: the reports, both swatches (black and white at
        // first) and whether a button is held, as one line.
        QFETCH(Steps, steps);
        QWidget *picture = m_palette->findChild<QLabel *>(u"Picture1"_s);
        ColorBox *boxes[] = {m_palette->findChild<ColorBox *>(u"nowColorL"_s),
                             m_palette->findChild<ColorBox *>(u"nowColorR"_s)};
        colour::ColourValue swatches[] = {0x000000, 0xFFFFFF};
        const auto state = [](qsizetype i, const QStringList &reports, colour::ColourValue left,
                              colour::ColourValue right, bool held) {
            return u"step %1: %2; swatches %3 %4%5"_s.arg(i)
                .arg(reports.join(u", "))
                .arg(left, 0, 16)
                .arg(right, 0, 16)
                .arg(held ? u", held"_s : QString());
        };
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const Step &step = steps.at(i);
            const int box = step.swatch == Swatch::Right ? 1 : 0;
            QTest::mouseEvent(step.act, step.act == Click ? boxes[box] : picture, step.button, {},
                              step.act == Click ? QPoint() : kBorder + step.point);
            QStringList expected;
            if (step.act == Click) {
                expected << report("hex", swatches[box]);
            } else if (step.takes != kNone) {
                const QRgb taken = pickers::MakePaletteImage().pixel(step.takes);
                expected << report("sliders", pickers::ColourFromRgb(taken));
                if (step.swatch != Swatch::None)
                    swatches[box] = pickers::ColourFromRgb(taken);
            }
            QCOMPARE(state(i, std::exchange(m_reports, {}), boxes[0]->backColor(),
                           boxes[1]->backColor(), m_palette->buttonHeld()),
                     state(i, expected, swatches[0], swatches[1], step.heldAfter));
        }
    }
};

QTEST_MAIN(TestFrmColor)
#include "test_frmcolor.moc"
