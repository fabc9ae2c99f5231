// SPDX-License-Identifier: MIT
// The shared layer: twips and the program's message box.
#include "colour/channeltext.h"
#include "common/messagebox.h"
#include "common/twips.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestCommon : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void twipsToPixelsRounds()
    {
        // Half a pixel rounds away from zero, on either side of it.
        const std::pair<int, int> cases[] = {{7, 0}, {8, 1}, {-7, 0}, {-8, -1}, {-1200, -80}};
        for (const auto &[twips, pixels] : cases)
            QCOMPARE(TwipsToPixels(twips), pixels);
        QCOMPARE(PixelsToTwips(-80), -1200);
    }

    void messageBox()
    {
        // Read the box from inside its own modal loop once it is the active
        // modal window (its caption and text as Ctrl+C copies them), then close it
        // (every window, should it never become one); the check runs after
        // the loop has ended, so a failure cannot keep it open.
        QString seen;
        QTimer poll;
        const QDeadlineTimer bound(10000);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && !box->isActiveWindow())
                box = nullptr; // its Ctrl+C works once it has the keyboard
            if (box) {
                QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
                seen = u"%1|%2|%3"_s.arg(QGuiApplication::clipboard()->text())
                           .arg(box->icon())
                           .arg(box->standardButtons().toInt());
            }
            if (box || bound.hasExpired())
                QApplication::closeAllWindows();
        });
        poll.start(10);
        ShowMessageBox(nullptr, colour::kHexMessage);
        QCOMPARE(seen, u"Vandrel\n\n%1|%2|%3"_s.arg(colour::kHexMessage)
                           .arg(QMessageBox::NoIcon)
                           .arg(int(QMessageBox::Ok)));
    }
};

QTEST_MAIN(TestCommon)
#include "test_common.moc"
