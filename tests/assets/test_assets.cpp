// SPDX-License-Identifier: MIT
// The compiled-in pictures: the pipette cursor drawn exactly, toolbar images in the sixteen
// basic colours with silver made see-through, the window icon's sizes and tiles, and the theme
// icons written at build time.

#include "assets/assetimages.h"

#include <QFile>
#include <QSet>
#include <QTest>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// The pipette, rows 16 to 31 and columns 0 to 15; everything else is transparent.
// K black, W white, . transparent.
constexpr std::array<const char *, 16> kPipetteRows = {
    "............KKK.", // row 16
    ".........K.KKKKK", // row 17
    "........KKKKKKWK", // row 18
    "........KKKKKKWK", // row 19
    ".........KKKKWK.", // row 20
    ".......KKWKKKK..", // row 21
    "......KWWWWKWWK.", // row 22
    "......KWWWK.KK..", // row 23
    ".....KWWWWK.....", // row 24
    "....KWWWKK......", // row 25
    "...KWWWK........", // row 26
    "..KWWWK.........", // row 27
    ".KWWWK..........", // row 28
    ".KWWK...........", // row 29
    ".KKK............", // row 30
    "K...............", // row 31
};

QRgb ExpectedPipettePixel(int x, int y)
{
    if (y < 16 || x >= 16) {
        return qRgba(0, 0, 0, 0);
    }
    switch (kPipetteRows.at(static_cast<std::size_t>(y - 16))[x]) {
    case 'K':
        return qRgb(0, 0, 0);
    case 'W':
        return qRgb(255, 255, 255);
    default:
        return qRgba(0, 0, 0, 0);
    }
}

// Any fully transparent pixel counts as the same "transparent".
QRgb Normalised(QRgb pixel)
{
    return qAlpha(pixel) == 0 ? qRgba(0, 0, 0, 0) : pixel;
}

const QSet<QRgb> kBasicColours = {
    0xFF000000u, 0xFF800000u, 0xFF008000u, 0xFF808000u, 0xFF000080u, 0xFF800080u,
    0xFF008080u, 0xFFC0C0C0u, 0xFF808080u, 0xFFFF0000u, 0xFF00FF00u, 0xFFFFFF00u,
    0xFF0000FFu, 0xFFFF00FFu, 0xFF00FFFFu, 0xFFFFFFFFu,
};

QImage Argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestAssets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pipetteImageMatchesDrawing()
    {
        const QImage image = assets::PipetteCursorImage();
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QVERIFY2(Normalised(image.pixel(x, y)) == ExpectedPipettePixel(x, y),
                         qPrintable(u"pixel (%1, %2)"_s.arg(x).arg(y)));
            }
        }
    }

    void pipetteCursorPointsWithItsTip()
    {
        const QCursor cursor = assets::PipetteCursor();
        QCOMPARE(cursor.hotSpot(), QPoint(0, 31));
        QCOMPARE(Argb(cursor.pixmap().toImage()), assets::PipetteCursorImage());
    }

    void toolbarImage_data()
    {
        QTest::addColumn<int>("imageNumber");
        QTest::addColumn<QString>("file");
        QTest::newRow("1 question mark") << 1 << u":/toolbar/help.xpm"_s;
        QTest::newRow("2 blank sheet") << 2 << u":/toolbar/new.xpm"_s;
        QTest::newRow("3 dropper") << 3 << u":/toolbar/dropper.xpm"_s;
        QTest::newRow("4 palette") << 4 << u":/toolbar/palette.xpm"_s;
        QTest::newRow("5 marked page") << 5 << u":/toolbar/body.xpm"_s;
        QTest::newRow("6 hammer") << 6 << u":/toolbar/hammer.xpm"_s;
        QTest::newRow("7 window with swatches") << 7 << u":/toolbar/chooser.xpm"_s;
    }

    void toolbarImage()
    {
        QFETCH(int, imageNumber);
        QFETCH(QString, file);
        QVERIFY2(QFile::exists(file), qPrintable(file));
        const QImage drawn = Argb(QImage(file));
        QCOMPARE(drawn.size(), QSize(16, 16));

        const QImage shown = Argb(assets::ToolbarImage(imageNumber).toImage());
        QCOMPARE(shown.size(), QSize(16, 16));
        int seeThrough = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb source = drawn.pixel(x, y);
                const QString where = u"pixel (%1, %2)"_s.arg(x).arg(y);
                QVERIFY2(kBasicColours.contains(source), qPrintable(where));
                if (source == assets::kToolbarSeeThrough) {
                    ++seeThrough;
                    QVERIFY2(qAlpha(shown.pixel(x, y)) == 0, qPrintable(where));
                } else {
                    QVERIFY2(shown.pixel(x, y) == source, qPrintable(where));
                }
            }
        }
        QVERIFY(seeThrough > 0);
    }

    void toolbarImageOutsideOneToSevenIsNull()
    {
        for (const int imageNumber : {-1, 0, 8}) {
            QVERIFY2(assets::ToolbarImage(imageNumber).isNull(),
                     qPrintable(QString::number(imageNumber)));
        }
    }

    void windowIcon_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16") << 16;
        QTest::newRow("32") << 32;
    }

    // Eight raised tiles on every other square of a four by four board, in reading order.
    void windowIcon()
    {
        QFETCH(int, size);
        const QIcon icon = assets::WindowIcon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = Argb(icon.pixmap(QSize(size, size)).toImage());
        QCOMPARE(image.size(), QSize(size, size));

        const std::array<QRgb, 8> faces = {0xFFFF0000u, 0xFFFFFF00u, 0xFFFFFFFFu, 0xFF00FF00u,
                                           0xFFFF00FFu, 0xFF00FFFFu, 0xFF0000FFu, 0xFF000000u};
        const int cell = size / 4;
        std::size_t tile = 0;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                const QRgb centre = image.pixel(column * cell + cell / 2, row * cell + cell / 2);
                const QString where = u"square (%1, %2)"_s.arg(column).arg(row);
                if ((row + column) % 2 == 0) {
                    QVERIFY2(centre == faces.at(tile++), qPrintable(where));
                    // Raised: light top-left corner, dark bottom-right corner.
                    const QColor light = image.pixelColor(column * cell, row * cell);
                    const QColor dark =
                        image.pixelColor((column + 1) * cell - 1, (row + 1) * cell - 1);
                    QVERIFY2(light.lightness() > dark.lightness(), qPrintable(where));
                } else {
                    QVERIFY2(qAlpha(centre) == 0, qPrintable(where));
                }
            }
        }
    }

    void themeIcons_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("drawnSize");
        QTest::newRow("16") << 16 << 16;
        QTest::newRow("32") << 32 << 32;
        QTest::newRow("64") << 64 << 32;
        QTest::newRow("128") << 128 << 32;
    }

    // The PNGs installed for the desktop are the drawn icon, enlarged pixel for pixel.
    void themeIcons()
    {
        QFETCH(int, size);
        QFETCH(int, drawnSize);
        const QString file =
            QStringLiteral(VANDREL_HICOLOR_DIR "/%1x%1/apps/io.github.vandrel.Vandrel.png")
                .arg(size);
        const QImage png = Argb(QImage(file));
        QCOMPARE(png.size(), QSize(size, size));
        const QImage drawn = Argb(QImage(u":/icons/vandrel-%1.xpm"_s.arg(drawnSize)));
        const int factor = size / drawnSize;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                QVERIFY2(Normalised(png.pixel(x, y)) ==
                             Normalised(drawn.pixel(x / factor, y / factor)),
                         qPrintable(u"pixel (%1, %2)"_s.arg(x).arg(y)));
            }
        }
    }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
