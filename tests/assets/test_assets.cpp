// SPDX-License-Identifier: MIT
// The compiled-in pictures no window picture shows: the pipette cursor's
// tip, and the window icon with the theme icons written from it at build
// time. The toolbar images are in the main window's picture.

#include "assets/assetimages.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAssets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pipetteCursorAndIcons()
    {
        // The pipette; its hotspot is checked by the palette window's test.
        const QImage pipette =
            assets::PipetteCursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(pipette.pixel(0, 31), qRgb(0, 0, 0)); // the tip, opaque black
        QCOMPARE(qAlpha(pipette.pixel(31, 0)), 0);
        // The theme offers the icon's own drawings at 16 and 32, and larger
        // ones that keep its opaque corner and the see-through gap a quarter
        // along its top edge. Their sizes are the package test's.
        const QIcon icon = assets::WindowIcon();
        const QString png = u"" VANDREL_HICOLOR_DIR "/%1x%1/apps/io.github.vandrel.Vandrel.png"_s;
        for (const int size : {16, 32, 256}) {
            const QImage theme = QImage(png.arg(size)).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(qAlpha(theme.pixel(0, 0)) - qAlpha(theme.pixel(size / 4, 0)), 255);
            if (size <= 32)
                QCOMPARE(theme, icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32));
        }
    }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
