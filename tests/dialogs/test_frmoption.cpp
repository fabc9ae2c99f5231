// SPDX-License-Identifier: MIT
#include "common/appoptions.h"
#include "dialogs/frmoption.h"
#include "support/picture.h"

#include <QCheckBox>
#include <QtTest>

using namespace Qt::StringLiterals;

/// Each test has a shown main window, out of the always-in-front layer as the
/// main window leaves it before it opens the dialog.
class FrmOptionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        UseProgramLook();
        m_main.setGeometry(120, 100, 300, 200);
        m_main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main));
    }

    // Only exactly 1 opens ticked. OK, Enter and 適用 report the boxes as 1 or
    // 0; ticking alone reports nothing, and closing keeps what was applied.
    void commitAndCancel_data()
    {
        QTest::addColumn<int>("temae");
        QTest::addColumn<int>("hide");
        QTest::addColumn<QString>("steps"); // "tick:TH" sets the boxes, else a key or a button
        QTest::addColumn<QString>("reported");
        QTest::addColumn<bool>("open");
        const auto row = [](const char *tag, int temae, int hide, const char *steps,
                            const char *reported, bool open) {
            QTest::newRow(tag) << temae << hide << QString::fromUtf8(steps)
                               << QString::fromLatin1(reported) << open;
        };
        row("OK on", 0, 0, "tick:11 CmdOK", "1 1", false);
        row("stored 2 opens unticked, OK writes 0", 2, 2, "CmdOK", "0 0", false);
        row("Enter presses OK", 1, -1, "tick:01 Enter", "0 1", false);
        row("適用 on", -1, 1, "tick:10 CmdTekiyou", "1 0", true);
        row("適用 off", 1, 1, "tick:00 CmdTekiyou", "0 0", true);
        row("適用, キャンセル", 0, 0, "tick:11 CmdTekiyou tick:00 CmdCancel", "1 1", false);
        row("適用, title bar", 0, 0, "tick:11 CmdTekiyou tick:00 titlebar", "1 1", false);
        row("適用, Esc", 0, 0, "tick:11 CmdTekiyou tick:00 Esc", "1 1", false);
        row("title bar alone", 0, 0, "tick:11 titlebar", "", false);
    }
    void commitAndCancel()
    {
        QFETCH(int, temae);
        QFETCH(int, hide);
        QFETCH(QString, steps);
        QFETCH(QString, reported);
        QFETCH(bool, open);
        FrmOption dialog(AppOptions{7, temae, hide}, &m_main);
        QStringList applied;
        connect(&dialog, &FrmOption::applied, this,
                [&applied](int t, int h) { applied << u"%1 %2"_s.arg(t).arg(h); });
        auto *boxTemae = dialog.findChild<QCheckBox *>(u"CheckTemae"_s);
        auto *boxHide = dialog.findChild<QCheckBox *>(u"CheckDokodemo"_s);
        QCOMPARE(boxTemae->isChecked(), temae == 1);
        QCOMPARE(boxHide->isChecked(), hide == 1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const QString &step : steps.split(u' ')) {
            if (step.startsWith(u"tick:")) {
                boxTemae->setChecked(step[5] == u'1');
                boxHide->setChecked(step[6] == u'1');
            } else if (step == u"Enter" || step == u"Esc") {
                QTest::keyClick(boxHide, step == u"Enter" ? Qt::Key_Return : Qt::Key_Escape);
            } else if (step == u"titlebar") {
                dialog.close();
            } else {
                QTest::mouseClick(dialog.findChild<QWidget *>(step), Qt::LeftButton);
            }
        }
        QCOMPARE(applied.join(u'|'), reported);
        QCOMPARE(dialog.isVisible(), open);
    }

    void windowAndControls()
    {
        AppOptions options;
        FrmOption dialog(options, &m_main);
        QCOMPARE(dialog.windowTitle(), u"オプション"_s);
        QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        VERIFY_PICTURE(dialog, u"FrmOption"_s);
        QCOMPARE(TabOrder(dialog), u"CheckTemae CheckDokodemo CmdOK CmdTekiyou CmdCancel"_s);
    }

private:
    QWidget m_main;
};

QTEST_MAIN(FrmOptionTest)
#include "test_frmoption.moc"
