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

    // Only exactly 1 opens ticked; OK, Enter and 適用 report the boxes as 1 or 0.
    void okAndApplyCommitTheBoxes_data()
    {
        QTest::addColumn<int>("temae");
        QTest::addColumn<int>("hide");
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("tickTemae");
        QTest::addColumn<bool>("tickHide");
        QTest::newRow("OK on") << 0 << 0 << u"CmdOK"_s << true << true;
        QTest::newRow("stored 2 opens unticked, OK writes 0")
            << 2 << 2 << u"CmdOK"_s << false << false;
        QTest::newRow("Enter presses OK") << 1 << -1 << u"Enter"_s << false << true;
        QTest::newRow("適用 on") << -1 << 1 << u"CmdTekiyou"_s << true << false;
        QTest::newRow("適用 off") << 1 << 1 << u"CmdTekiyou"_s << false << false;
    }
    void okAndApplyCommitTheBoxes()
    {
        QFETCH(int, temae);
        QFETCH(int, hide);
        QFETCH(QString, press);
        QFETCH(bool, tickTemae);
        QFETCH(bool, tickHide);
        const AppOptions options{7, temae, hide};
        FrmOption dialog(options, &m_main);
        const QStringList &applied = record(dialog);
        auto *boxTemae = dialog.findChild<QCheckBox *>(u"CheckTemae"_s);
        auto *boxHide = dialog.findChild<QCheckBox *>(u"CheckDokodemo"_s);
        QCOMPARE(boxTemae->isChecked(), temae == 1);
        QCOMPARE(boxHide->isChecked(), hide == 1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        boxTemae->setChecked(tickTemae);
        boxHide->setChecked(tickHide);
        QCOMPARE(applied, QStringList()); // ticking alone reports nothing

        if (press == u"Enter")
            QTest::keyClick(boxHide, Qt::Key_Return);
        else
            QTest::mouseClick(dialog.findChild<QWidget *>(press), Qt::LeftButton);
        QCOMPARE(applied, QStringList{u"%1 %2"_s.arg(tickTemae ? 1 : 0).arg(tickHide ? 1 : 0)});
        QCOMPARE(dialog.isVisible(), press == u"CmdTekiyou");
    }

    void cancellingKeepsWhatWasApplied_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("applied");
        QTest::newRow("適用, キャンセル") << u"CmdCancel"_s << true;
        QTest::newRow("適用, title bar") << u"titlebar"_s << true;
        QTest::newRow("適用, Esc") << u"escape"_s << true;
        QTest::newRow("title bar alone") << u"titlebar"_s << false;
    }
    void cancellingKeepsWhatWasApplied()
    {
        QFETCH(QString, how);
        QFETCH(bool, applied);
        FrmOption dialog(AppOptions{}, &m_main);
        const QStringList &reported = record(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QList<QCheckBox *> boxes = dialog.findChildren<QCheckBox *>();
        QCOMPARE(boxes.size(), 2);
        for (QCheckBox *box : boxes)
            box->setChecked(true);
        if (applied) {
            QTest::mouseClick(dialog.findChild<QWidget *>(u"CmdTekiyou"_s), Qt::LeftButton);
            for (QCheckBox *box : boxes)
                box->setChecked(false);
        }
        if (how == u"titlebar")
            dialog.close();
        else if (how == u"escape")
            QTest::keyClick(boxes.first(), Qt::Key_Escape);
        else
            QTest::mouseClick(dialog.findChild<QWidget *>(how), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(reported, applied ? QStringList{u"1 1"_s} : QStringList());
    }

    void windowAndControls()
    {
        AppOptions options;
        FrmOption dialog(options, &m_main);
        QCOMPARE(dialog.windowTitle(), u"オプション"_s);
        QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        VERIFY_PICTURE(dialog, u"FrmOption"_s);
        // Tab order, from where the focus starts round to it again.
        QCOMPARE(TabOrder(dialog), u"CheckTemae CheckDokodemo CmdOK CmdTekiyou CmdCancel"_s);
    }

private:
    /// What @p dialog reports with applied(), one "temae hide" line per report.
    const QStringList &record(FrmOption &dialog)
    {
        m_applied.clear();
        connect(&dialog, &FrmOption::applied, this,
                [this](int temae, int hide) { m_applied << u"%1 %2"_s.arg(temae).arg(hide); });
        return m_applied;
    }

    QWidget m_main;
    QStringList m_applied;
};

QTEST_MAIN(FrmOptionTest)
#include "test_frmoption.moc"
