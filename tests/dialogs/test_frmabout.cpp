// SPDX-License-Identifier: MIT
#include "dialogs/frmabout.h"

#include "support/fakesettingsstore.h"

#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

class FrmAboutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsStartCount_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no value") << QString() << u"0"_s;
        QTest::newRow("first run") << u"1"_s << u"1"_s;
        QTest::newRow("12") << u"12"_s << u"12"_s;
        QTest::newRow("no grouping") << u"1234567"_s << u"1234567"_s;
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
        // Label4 and lblCopy hold a notice of free wording.
        const std::tuple<const char16_t *, QRect, const char16_t *, Qt::Alignment> controls[] = {
            {u"Label1", {8, 8, 257, 17}, u"Vandrel", Qt::AlignHCenter},
            {u"Label2", {248, 16, 25, 17}, u"4.0", Qt::AlignLeft},
            {u"Label4", {8, 40, 257, 49}, nullptr, Qt::AlignLeft},
            {u"CmdOK", {93, 96, 89, 25}, u"OK", {}},
            {u"Label3", {8, 104, 73, 17}, u"Version:4.0.0", Qt::AlignLeft},
            {u"LblUse", {192, 104, 73, 17}, u"0", Qt::AlignRight},
            {u"lblCopy", {8, 128, 257, 17}, nullptr, Qt::AlignHCenter},
        };
        FakeSettingsStore store;
        FrmAbout about(store);
        QCOMPARE(about.windowTitle(), u"バージョン情報"_s);
        for (const auto &[name, rect, caption, alignment] : controls) {
            QWidget *control = about.findChild<QWidget *>(QString::fromUtf16(name));
            QVERIFY2(control, qPrintable(QString::fromUtf16(name)));
            const QString text = control->property("text").toString();
            QVERIFY(caption ? text == QString::fromUtf16(caption) : !text.isEmpty());
            QRect actual = control->geometry();
            // The long version may grow for a wide font, but not up to the OK button.
            if (control->objectName() == u"Label3") {
                const int needed = qBound(73, control->fontMetrics().horizontalAdvance(text), 81);
                QVERIFY(actual.width() >= needed && actual.right() <= 88);
                actual.setWidth(73);
            }
            QCOMPARE(actual, rect);
            if (auto *label = qobject_cast<QLabel *>(control)) {
                QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, alignment);
                // "<BODY>" in a notice must show as written, not vanish as markup.
                QCOMPARE(label->textFormat(), Qt::PlainText);
            }
        }
        QVERIFY(about.minimumSize() == QSize(274, 154) && about.maximumSize() == QSize(274, 154));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.focusWidget()->objectName(), u"CmdOK"_s);
        QTest::keyClick(about.focusWidget(), Qt::Key_Return); // OK closes
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(FrmAboutTest)
#include "test_frmabout.moc"
