// SPDX-License-Identifier: MIT
#pragma once

#include "common/fonts.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

/// The look the program has on a desktop without a theme of its own: the
/// Fusion style and the program's font, with a text cursor that does not
/// blink. Call before the first window is made.
inline void UseProgramLook()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setFont(MappedFont(kPGothicName, 9));
    QApplication::setCursorFlashTime(0);
}

/// Shows @p window and compares its rendering, pixel for pixel, with the
/// stored picture <name>.png beside the test's source. Gives an empty text
/// when they are the same; otherwise writes the rendering beside the test
/// program as <name>.actual.png, for a person to look at, and says so.
inline QString PictureDifference(QWidget &window, const QString &name)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return QStringLiteral("the window never showed");
    const QImage actual = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString stored = QString::fromUtf8(VANDREL_TEST_DATA "/%1.png").arg(name);
    if (actual == QImage(stored).convertToFormat(QImage::Format_RGB32))
        return {};
    const QString written = QString::fromUtf8(VANDREL_TEST_OUTPUT "/%1.actual.png").arg(name);
    actual.save(written);
    return QStringLiteral("%1 differs from %2; look at %3").arg(name, stored, written);
}

#define VERIFY_PICTURE(window, name)                                                               \
    do {                                                                                           \
        const QString difference = PictureDifference(window, name);                                \
        QVERIFY2(difference.isEmpty(), qPrintable(difference));                                    \
    } while (false)
