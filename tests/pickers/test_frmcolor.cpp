// SPDX-License-Identifier: MIT
// The palette window: its picture, and real mouse sequences on its palette
// and swatches checked event by event.
#include "pickers/frmcolor.h"

#include "support/picture.h"

#include "colour/colorbox.h"
#include "pickers/paletteimage.h" // ColourFromRgb

#include <QLabel>
#include <QTest>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr auto Press = QTest::MousePress;
constexpr auto Release = QTest::MouseRelease;
constexpr auto Move = QTest::MouseMove;   // the buttons pressed before stay held
constexpr auto Click = QTest::MouseClick; // the left or the right swatch, by the button

/// One mouse event and the palette pixel it reports: for the sliders, and to
/// a swatch that takes it; or for a swatch clicked the pixel it holds (black
/// and white at first are the palette's corners).
struct Step
{
    QTest::MouseAction act;
    Qt::MouseButton button;
    QPoint point; ///< relative to the palette's inner area
    QPoint reports{-1, -1};
    const char *swatch = nullptr; ///< "L" or "R": the swatch that takes it
};
using Steps = QList<Step>;

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
    QStringList m_reports;         ///< "sliders <value in hex>", "hex ...", "L ...", "R ..."

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
        for (const char *swatch : {"L", "R"})
            connect(m_palette->findChild<ColorBox *>(u"nowColor"_s + QLatin1StringView(swatch)),
                    &ColorBox::backColorChanged, this, [this, swatch](colour::ColourValue value) {
                        m_reports << report(swatch, value);
                    });
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
        const auto M = Qt::MiddleButton;
        const auto N = Qt::NoButton; // a move
        QTest::newRow("middle button: sliders only, the swatches as opened")
            << Steps{{Press, M, {50, 90}, {50, 90}},
                     {Release, M, {50, 91}, {50, 91}},
                     {Click, L, {}, {0, 0}},
                     {Click, R, {}, {71, 104}}};
        QTest::newRow("left drag leaves the palette and comes back; the swatch hands it back")
            << Steps{{Press, L, {36, 18}, {36, 18}, "L"},   {Move, N, {-5, 30}, {0, 30}, "L"},
                     {Move, N, {40, 200}, {40, 104}, "L"},  {Move, N, {90, -20}, {71, 0}, "L"},
                     {Release, L, {51, 52}, {51, 52}, "L"}, {Click, L, {}, {51, 52}}};
        QTest::newRow("right drag outside moves the right swatch")
            << Steps{{Press, R, {70, 100}, {70, 100}, "R"}, {Release, R, {-3, -3}, {0, 0}, "R"}};
        QTest::newRow("two buttons: right release ends the drag, left release still picks")
            << Steps{{Press, L, {5, 5}, {5, 5}, "L"},
                     {Press, R, {6, 6}, {6, 6}, "R"},
                     {Move, N, {30, 40}, {30, 40}},
                     {Release, R, {7, 7}, {7, 7}, "R"},
                     {Move, N, {-30, 40}},
                     {Release, L, {60, 70}, {60, 70}, "L"}};
    }

    void mouseSequences()
    {
        QFETCH(Steps, steps);
        // The colours as the palette shows them on the screen.
        QWidget *picture = m_palette->findChild<QWidget *>(u"Picture1"_s);
        const QImage palette = picture->grab(QRect(kBorder, picture->size() - QSize(4, 4)))
                                   .toImage()
                                   .convertToFormat(QImage::Format_RGB32);
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const Step &step = steps.at(i);
            QWidget *target =
                m_palette->findChild<QWidget *>(step.act != Click               ? u"Picture1"_s
                                                : step.button == Qt::LeftButton ? u"nowColorL"_s
                                                                                : u"nowColorR"_s);
            QTest::mouseEvent(step.act, target, step.button, {},
                              step.act == Click ? QPoint() : kBorder + step.point);
            QStringList expected{u"step %1"_s.arg(i)};
            if (palette.valid(step.reports)) {
                const colour::ColourValue reported =
                    pickers::ColourFromRgb(palette.pixel(step.reports));
                expected << report(step.act == Click ? "hex" : "sliders", reported);
                if (step.swatch)
                    expected << report(step.swatch, reported);
            }
            QCOMPARE(QStringList{u"step %1"_s.arg(i)} + std::exchange(m_reports, {}), expected);
        }
    }
};

QTEST_MAIN(TestFrmColor)
#include "test_frmcolor.moc"
