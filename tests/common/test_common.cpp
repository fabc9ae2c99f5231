// SPDX-License-Identifier: MIT
// The shared layer: twips and the program's message box.
#include "colour/channeltext.h"
#include "common/appinfo.h"
#include "common/messagebox.h"
#include "common/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestCommon : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void twipsToPixelsRounds();
    void messageBox();
};

void TestCommon::twipsToPixelsRounds()
{
    const std::pair<int, int> cases[] = {{0, 0},      {7, 0},      {8, 1},       {15, 1},
                                         {5055, 337}, {3015, 201}, {-1200, -80}, {-8, -1}};
    for (const auto &[twips, pixels] : cases)
        QCOMPARE(TwipsToPixels(twips), pixels);
    QCOMPARE(PixelsToTwips(-80), -1200);
}

void TestCommon::messageBox()
{
    for (const QString &text : {colour::kDecimalMessage, colour::kHexMessage}) {
        QWidget parent;
        parent.show();
        // Read the box from inside its own modal loop and close it at once; the
        // checks run after the loop has ended, so a failure cannot keep it open.
        QString seen;
        int tries = 0;
        std::function<void()> answer = [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box && ++tries < 500) // bounded: the box is up at once unless something is wrong
                return QTimer::singleShot(10, &parent, answer);
            if (!box)
                return void(modal && modal->close());
            const QList<QAbstractButton *> buttons = box->buttons();
            seen = QStringList{box->text(),
                               box->windowTitle(),
                               QString::number(box->icon()),
                               QString::number(buttons.size()),
                               QString::number(box->standardButton(buttons.value(0))),
                               QString::number(box->isModal())}
                       .join(u'|');
            buttons.isEmpty() ? box->reject() : buttons.first()->click();
        };
        QTimer::singleShot(0, &parent, answer);
        ShowMessageBox(&parent, text);
        QCOMPARE(seen, QStringList({text, appinfo::Name(), QString::number(QMessageBox::NoIcon),
                                    QStringLiteral("1"), QString::number(QMessageBox::Ok),
                                    QStringLiteral("1")})
                           .join(u'|'));
    }
}

QTEST_MAIN(TestCommon)
#include "test_common.moc"
