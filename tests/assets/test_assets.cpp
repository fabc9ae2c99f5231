// SPDX-License-Identifier: MIT
// The compiled-in pictures: the pipette cursor drawn exactly, toolbar images with silver made
// see-through, the window icon's sizes and the theme icons written from it at build time.

#include "assets/assetimages.h"

#include <QTest>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// The pipette, rows 16 to 31 and columns 0 to 15; everything else is transparent.
// K black, W white, . transparent.
constexpr std::array<const char *, 16> kPipetteRows = {
    "............KKK.", //
    ".........K.KKKKK", //
    "........KKKKKKWK", //
    "........KKKKKKWK", //
    ".........KKKKWK.", //
    ".......KKWKKKK..", //
    "......KWWWWKWWK.", //
    "......KWWWK.KK..", //
    ".....KWWWWK.....", //
    "....KWWWKK......", //
    "...KWWWK........", //
    "..KWWWK.........", //
    ".KWWWK..........", //
    ".KWWK...........", //
    ".KKK............", //
    "K...............", //
};

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestAssets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pipetteCursor()
    {
        QImage drawn(32, 32, QImage::Format_ARGB32);
        drawn.fill(Qt::transparent);
        for (int y = 16; y < 32; ++y) {
            for (int x = 0; x < 16; ++x) {
                const char pixel = kPipetteRows.at(static_cast<std::size_t>(y - 16))[x];
                if (pixel != '.')
                    drawn.setPixel(x, y, pixel == 'K' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            }
        }
        QCOMPARE(assets::PipetteCursorImage(), drawn);
        const QCursor cursor = assets::PipetteCursor();
        QCOMPARE(cursor.hotSpot(), QPoint(0, 31));
        QCOMPARE(argb(cursor.pixmap().toImage()), drawn);
    }

    void toolbarImages()
    {
        // Shown as drawn, except that silver is see-through.
        const char *const files[] = {"help", "new",    "dropper", "palette",
                                     "body", "hammer", "chooser"};
        for (int number = 1; number <= 7; ++number) {
            const auto file = QLatin1StringView(files[number - 1]);
            const QImage drawn = argb(QImage(u":/toolbar/%1.xpm"_s.arg(file)));
            QCOMPARE(drawn.size(), QSize(16, 16));
            QImage seeThrough = drawn;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    if (drawn.pixel(x, y) == qRgb(0xC0, 0xC0, 0xC0))
                        seeThrough.setPixel(x, y, qRgba(0, 0, 0, 0));
                }
            }
            QVERIFY2(seeThrough != drawn, qPrintable(file));
            QCOMPARE(argb(assets::ToolbarImage(number).toImage()), seeThrough);
        }
    }

    void windowAndThemeIcons()
    {
        // The window icon offers 16 and 32; the PNGs installed for the desktop are these, the
        // larger ones enlarged pixel for pixel.
        const QIcon icon = assets::WindowIcon();
        const QString png = u"" VANDREL_HICOLOR_DIR "/%1x%1/apps/io.github.vandrel.Vandrel.png"_s;
        for (const int size : {16, 32, 64, 128}) {
            const QSize drawnSize(std::min(size, 32), std::min(size, 32));
            QVERIFY(icon.availableSizes().contains(drawnSize));
            const QImage drawn = argb(icon.pixmap(drawnSize).toImage());
            QCOMPARE(drawn.size(), drawnSize);
            QCOMPARE(argb(QImage(png.arg(size))),
                     drawn.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
    }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
