// SPDX-License-Identifier: MIT
// The compiled-in pictures: the pipette cursor's tip and see-through parts,
// silver made see-through in the toolbar images, the window icon's sizes and
// the theme icons written at build time.

#include "assets/assetimages.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

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
        const QCursor cursor = assets::PipetteCursor();
        const QImage image = argb(cursor.pixmap().toImage());
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(cursor.hotSpot(), QPoint(0, 31));
        QCOMPARE(image.pixel(0, 31), qRgb(0, 0, 0)); // the tip, opaque black
        QCOMPARE(image.pixel(14, 18), qRgb(255, 255, 255));
        QCOMPARE(qAlpha(image.pixel(1, 31)), 0);
        QCOMPARE(qAlpha(image.pixel(31, 0)), 0); // only the lower left quarter is drawn
    }

    void toolbarImages()
    {
        // Each picture has silver in its top left corner, and black where its
        // drawing starts.
        const QPoint black[] = {{5, 1}, {2, 0}, {11, 0}, {5, 1}, {2, 0}, {8, 0}, {0, 1}};
        for (int number = 1; number <= 7; ++number) {
            const QImage image = argb(assets::ToolbarImage(number).toImage());
            QCOMPARE(image.size(), QSize(16, 16));
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(image.pixel(black[number - 1]), qRgb(0, 0, 0));
        }
        QVERIFY(assets::ToolbarImage(8).isNull());
    }

    void windowAndThemeIcons()
    {
        // The window icon offers 16 and 32, which the desktop's theme gets as
        // drawn; the larger theme icons keep the drawing's see-through corner.
        const QIcon icon = assets::WindowIcon();
        const QString png = u"" VANDREL_HICOLOR_DIR "/%1x%1/apps/io.github.vandrel.Vandrel.png"_s;
        for (const int size : {16, 32, 48, 64, 128, 256}) {
            const QImage theme = argb(QImage(png.arg(size)));
            QCOMPARE(theme.size(), QSize(size, size));
            QCOMPARE(qAlpha(theme.pixel(0, 0)),
                     qAlpha(argb(icon.pixmap(32).toImage()).pixel(0, 0)));
            if (size <= 32) {
                QVERIFY(icon.availableSizes().contains(QSize(size, size)));
                QCOMPARE(theme, argb(icon.pixmap(size).toImage()));
            }
        }
    }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
