// SPDX-License-Identifier: MIT
#include "dialogs/frmabout.h"

#include "body/fakesettingsstore.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

template <typename T> T *Child(const QWidget &window, const QString &name)
{
    T *widget = window.findChild<T *>(name);
    if (!widget)
        qWarning("missing control %s", qPrintable(name));
    return widget;
}

QString LabelText(const QWidget &window, const QString &name)
{
    return Child<QLabel>(window, name)->text();
}

} // namespace

class FrmAboutTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsStartCount_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no file") << QString() << u"0"_s;
        QTest::newRow("first run") << u"1"_s << u"1"_s;
        QTest::newRow("12") << u"12"_s << u"12"_s;
        QTest::newRow("no grouping") << u"1234567"_s << u"1234567"_s;
        QTest::newRow("negative") << u"-3"_s << u"-3"_s;
    }
    void showsStartCount()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        FakeSettingsStore store;
        if (!stored.isNull())
            store.values.insert(u"Use/NumberOfUse"_s, stored);
        FrmAbout about(store);
        QCOMPARE(LabelText(about, u"LblUse"_s), shown);
        QCOMPARE(store.log, QStringList{u"read Use/NumberOfUse"_s});
        QVERIFY(Child<QLabel>(about, u"LblUse"_s)->alignment() & Qt::AlignRight);
    }

    void readsCountAfreshEachOpening()
    {
        FakeSettingsStore store;
        store.values.insert(u"Use/NumberOfUse"_s, u"12"_s);
        for (int opening = 1; opening <= 2; ++opening) {
            FrmAbout about(store);
            about.show();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            QCOMPARE(LabelText(about, u"LblUse"_s), u"12"_s);
            QCOMPARE(store.log.size(), opening);
            QTest::mouseClick(Child<QPushButton>(about, u"CmdOK"_s), Qt::LeftButton);
            QVERIFY(!about.isVisible());
        }
        QVERIFY(store.values.size() == 1); // the box never writes
    }

    void showsNameAndVersion()
    {
        FakeSettingsStore store;
        FrmAbout about(store);
        QCOMPARE(about.windowTitle(), u"バージョン情報"_s);
        QCOMPARE(LabelText(about, u"Label1"_s), u"Vandrel"_s);
        QCOMPARE(LabelText(about, u"Label2"_s), u"4.0"_s);
        QCOMPARE(LabelText(about, u"Label3"_s), u"Version:4.0.0"_s);
        QCOMPARE(Child<QPushButton>(about, u"CmdOK"_s)->text(), u"OK"_s);
        QVERIFY(!LabelText(about, u"Label4"_s).isEmpty());
        QVERIFY(Child<QLabel>(about, u"Label4"_s)->wordWrap());
        QVERIFY(!LabelText(about, u"lblCopy"_s).isEmpty());
        QVERIFY(!LabelText(about, u"lblCopy"_s).contains(u'\n'));
        const QFont title = Child<QLabel>(about, u"Label1"_s)->font();
        QCOMPARE(title.family(), u"Arial"_s);
        QCOMPARE(title.pointSize(), 12);
        QVERIFY(title.bold());
        const QFont version = Child<QLabel>(about, u"Label2"_s)->font();
        QCOMPARE(version.pointSize(), 9);
        QVERIFY(version.bold());
    }

    void controlsStandInPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("horizontal");
        QTest::newRow("Label1") << u"Label1"_s << QRect(8, 8, 257, 17) << int(Qt::AlignHCenter);
        QTest::newRow("Label2") << u"Label2"_s << QRect(248, 16, 25, 17) << int(Qt::AlignLeft);
        QTest::newRow("Label4") << u"Label4"_s << QRect(8, 40, 257, 49) << int(Qt::AlignLeft);
        QTest::newRow("CmdOK") << u"CmdOK"_s << QRect(93, 96, 89, 25) << 0;
        QTest::newRow("LblUse") << u"LblUse"_s << QRect(192, 104, 73, 17) << int(Qt::AlignRight);
        QTest::newRow("lblCopy") << u"lblCopy"_s << QRect(8, 128, 257, 17) << int(Qt::AlignHCenter);
    }
    void controlsStandInPlace()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(int, horizontal);
        FakeSettingsStore store;
        FrmAbout about(store);
        QWidget *control = Child<QWidget>(about, name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), rect);
        if (auto *label = qobject_cast<QLabel *>(control))
            QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), horizontal);
    }

    void longVersionIsNotCutOff()
    {
        FakeSettingsStore store;
        FrmAbout about(store);
        auto *label = Child<QLabel>(about, u"Label3"_s);
        const QRect rect = label->geometry();
        QCOMPARE(rect.topLeft(), QPoint(8, 104));
        QCOMPARE(rect.height(), 17);
        QVERIFY(rect.width() >= 73);
        // It may grow for a wide font, but never up to the OK button.
        QVERIFY(rect.right() < Child<QWidget>(about, u"CmdOK"_s)->x());
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(needed <= rect.width() || rect.right() == 92 - 4,
                 qPrintable(u"needs %1, has %2"_s.arg(needed).arg(rect.width())));
    }

    void captionsAreShownAsWritten()
    {
        // A caption such as "<BODY>" must show as text, not vanish as markup.
        FakeSettingsStore store;
        FrmAbout about(store);
        const QList<QLabel *> labels = about.findChildren<QLabel *>();
        QCOMPARE(labels.size(), 6);
        for (const QLabel *label : labels)
            QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
    }

    void windowAndFocus()
    {
        QWidget opener;
        opener.setGeometry(150, 120, 300, 200);
        opener.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opener));
        FakeSettingsStore store;
        FrmAbout about(store, &opener);
        QCOMPARE(about.parentWidget(), nullptr);
        QCOMPARE(about.minimumSize(), QSize(274, 154));
        QCOMPARE(about.maximumSize(), QSize(274, 154));
        const Qt::WindowFlags flags = about.windowFlags();
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.focusWidget(), Child<QWidget>(about, u"CmdOK"_s));
        const QPoint offset = about.frameGeometry().center() - opener.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(u"off by %1,%2"_s.arg(offset.x()).arg(offset.y())));
        about.close(); // the title bar's close button acts as OK
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(FrmAboutTest)
#include "test_frmabout.moc"
