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

    void showsStartCount_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no value") << QString() << u"0"_s;
        QTest::newRow("first run") << u"1"_s << u"1"_s;
        QTest::newRow("12") << u"12"_s << u"12"_s;
        QTest::newRow("read as far as the digits go") << u"12abc"_s << u"12"_s;
    }
    void showsStartCount()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        FakeSettingsStore store;
        if (!stored.isNull())
            store.values.insert(u"Use/NumberOfUse"_s, stored);
        // Opened twice in one run: each box reads the count and shows it alone;
        // none counts it up.
        for (int opening = 1; opening <= 2; ++opening) {
            FrmAbout about(store);
            QCOMPARE(about.findChild<QLabel *>(u"LblUse"_s)->text(), shown);
            QCOMPARE(store.log, QStringList(opening, u"read Use/NumberOfUse"_s));
        }
    }

    void windowAndControls()
    {
        FakeSettingsStore store;
        store.values.insert(u"Use/NumberOfUse"_s, u"1234"_s);
        FrmAbout about(store);
        QCOMPARE(about.windowTitle(), u"バージョン情報"_s);
        QCOMPARE(about.minimumSize(), about.maximumSize());
        VERIFY_PICTURE(about, u"FrmAbout"_s);
        QCOMPARE(about.focusWidget()->objectName(), u"CmdOK"_s);
        QTest::keyClick(about.focusWidget(), Qt::Key_Return); // OK closes
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(FrmAboutTest)
#include "test_frmabout.moc"
