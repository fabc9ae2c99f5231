// SPDX-License-Identifier: MIT
// The options dialog and the about box: what their pictures and the
// end-to-end test's Enter do not show.
#include "common/appoptions.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmoption.h"

#include "support/fakesettingsstore.h"
#include "support/picture.h"

#include <QCheckBox>
#include <QtTest>

using namespace Qt::StringLiterals;

/// Each test has a shown main window, out of the always-in-front layer as the
/// main window leaves it before it opens a dialog.
class TestDialogs : public QObject
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

    void optionsCommitAndCancel()
    {
        // Only exactly 1 opens ticked. OK and 適用 report the boxes as 1 or 0
        // (Enter is the end-to-end test's); ticking alone reports nothing, and
        // closing keeps what was applied (Esc closes it as the title bar's
        // button does, through reject). The stored options, the steps
        // ("tick:TH" sets the boxes, else a key or a button), what is
        // reported, and whether the dialog is open.
        const std::tuple<int, int, const char *, const char *, bool> rows[] = {
            {2, 2, "CmdOK", "0 0", false},
            {-1, 1, "CmdTekiyou tick:10 CmdTekiyou", "0 1|1 0", true},
            {0, 0, "tick:11 CmdTekiyou tick:00 CmdCancel", "1 1", false},
            {0, 0, "tick:11 titlebar", "", false}};
        for (const auto &[temae, hide, steps, reported, open] : rows) {
            FrmOption dialog(AppOptions{7, temae, hide}, &m_main);
            QStringList applied;
            connect(&dialog, &FrmOption::applied, this,
                    [&applied](int t, int h) { applied << u"%1 %2"_s.arg(t).arg(h); });
            auto *boxTemae = dialog.findChild<QCheckBox *>(u"CheckTemae"_s);
            auto *boxHide = dialog.findChild<QCheckBox *>(u"CheckDokodemo"_s);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            for (const QString &step : QString::fromLatin1(steps).split(u' ')) {
                if (step.startsWith(u"tick:")) {
                    boxTemae->setChecked(step[5] == u'1');
                    boxHide->setChecked(step[6] == u'1');
                } else if (step == u"titlebar") {
                    dialog.close();
                } else {
                    QTest::mouseClick(dialog.findChild<QWidget *>(step), Qt::LeftButton);
                }
            }
            QCOMPARE(applied.join(u'|'), QString::fromLatin1(reported));
            QCOMPARE(dialog.isVisible(), open);
        }
        FrmOption dialog(AppOptions{}, &m_main);
        VERIFY_PICTURE(dialog, u"FrmOption"_s);
    }

    void aboutShowsStartCount()
    {
        // The box shows the count as read (its picture shows 1234) and does
        // not count it up.
        FakeSettingsStore store;
        store.values.insert(u"Use/NumberOfUse"_s, u"1234"_s);
        FrmAbout about(store);
        QCOMPARE(store.log, QStringList{u"read Use/NumberOfUse"_s});
        VERIFY_PICTURE(about, u"FrmAbout"_s);
    }

private:
    QWidget m_main;
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
