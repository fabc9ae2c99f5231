// SPDX-License-Identifier: MIT
#include "dialogs/frmabout.h"

#include "support/fakesettingsstore.h"
#include "support/picture.h"

#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

class FrmAboutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }

    void showsStartCount()
    {
        // Each box reads the count afresh and shows it as read (as far as the
        // digits go); none counts it up.
        FakeSettingsStore store;
        const std::pair<const char16_t *, const char16_t *> counts[] = {
            {nullptr, u"0"}, {u"12abc", u"12"}, {u"1234", u"1234"}};
        for (const auto &[stored, shown] : counts) {
            if (stored)
                store.values.insert(u"Use/NumberOfUse"_s, QString::fromUtf16(stored));
            FrmAbout about(store);
            QCOMPARE(about.findChild<QLabel *>(u"LblUse"_s)->text(), QString::fromUtf16(shown));
        }
        QCOMPARE(store.log, QStringList(3, u"read Use/NumberOfUse"_s));
        FrmAbout about(store); // showing 1234
        QCOMPARE(about.minimumSize(), about.maximumSize());
        VERIFY_PICTURE(about, u"FrmAbout"_s);
    }
};

QTEST_MAIN(FrmAboutTest)
#include "test_frmabout.moc"
