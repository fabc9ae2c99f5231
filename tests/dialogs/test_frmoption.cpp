// SPDX-License-Identifier: MIT
#include "dialogs/frmoption.h"
#include "main/appoptions.h"
#include "main/platform.h"

#include <QCheckBox>
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

} // namespace

/// Each test runs with a shown main window, out of the always-in-front layer
/// as the main window leaves it before opening the dialog.
class FrmOptionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_main = std::make_unique<QWidget>();
        m_main->setGeometry(120, 100, 300, 200);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        platform::setAlwaysInFront(m_main.get(), false);
    }
    void cleanup() { m_main.reset(); }

    void boxesShowOnlyExactlyOne_data()
    {
        QTest::addColumn<int>("temae");
        QTest::addColumn<int>("hide");
        QTest::addColumn<bool>("temaeTicked");
        QTest::addColumn<bool>("hideTicked");
        QTest::newRow("0 0") << 0 << 0 << false << false;
        QTest::newRow("1 0") << 1 << 0 << true << false;
        QTest::newRow("0 1") << 0 << 1 << false << true;
        QTest::newRow("stored 2 counts as off") << 2 << 2 << false << false;
        QTest::newRow("stored -1 counts as off") << -1 << 1 << false << true;
    }
    void boxesShowOnlyExactlyOne()
    {
        QFETCH(int, temae);
        QFETCH(int, hide);
        QFETCH(bool, temaeTicked);
        QFETCH(bool, hideTicked);
        AppOptions options{0, temae, hide};
        FrmOption dialog(options, m_main.get());
        QCOMPARE(Child<QCheckBox>(dialog, u"CheckTemae"_s)->isChecked(), temaeTicked);
        QCOMPARE(Child<QCheckBox>(dialog, u"CheckDokodemo"_s)->isChecked(), hideTicked);
        // Opening changes nothing.
        QCOMPARE(options.temae, temae);
        QCOMPARE(options.hideDokodemo, hide);
    }

    void okAndApplyCommitTheBoxes_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("temaeBefore");
        QTest::addColumn<bool>("tickTemae");
        QTest::addColumn<bool>("tickHide");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("OK on") << u"CmdOK"_s << 0 << true << true << false;
        QTest::newRow("OK off") << u"CmdOK"_s << 1 << false << false << false;
        QTest::newRow("stored 2, OK untouched writes 0")
            << u"CmdOK"_s << 2 << false << false << false;
        QTest::newRow("Apply on") << u"CmdTekiyou"_s << 0 << true << false << true;
        QTest::newRow("Apply off") << u"CmdTekiyou"_s << 1 << false << true << true;
    }
    void okAndApplyCommitTheBoxes()
    {
        QFETCH(QString, button);
        QFETCH(int, temaeBefore);
        QFETCH(bool, tickTemae);
        QFETCH(bool, tickHide);
        QFETCH(bool, staysOpen);
        // Start from the opposite layer state, so that the call must happen.
        platform::setAlwaysInFront(m_main.get(), !tickTemae);
        AppOptions options{7, temaeBefore, 5};
        FrmOption dialog(options, m_main.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Child<QCheckBox>(dialog, u"CheckTemae"_s)->setChecked(tickTemae);
        Child<QCheckBox>(dialog, u"CheckDokodemo"_s)->setChecked(tickHide);
        QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);

        QCOMPARE(options.temae, tickTemae ? 1 : 0);
        QCOMPARE(options.hideDokodemo, tickHide ? 1 : 0);
        QCOMPARE(options.colorP, 7);
        QCOMPARE(platform::isAlwaysInFront(m_main.get()), tickTemae);
        QVERIFY(m_main->isVisible());
        QCOMPARE(dialog.isVisible(), staysOpen);
        if (!staysOpen)
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void applyAppliesEachTime()
    {
        AppOptions options;
        FrmOption dialog(options, m_main.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *temae = Child<QCheckBox>(dialog, u"CheckTemae"_s);
        auto *apply = Child<QPushButton>(dialog, u"CmdTekiyou"_s);
        QTest::mouseClick(temae, Qt::LeftButton);
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(options.temae, 1);
        QVERIFY(platform::isAlwaysInFront(m_main.get()));
        QTest::mouseClick(temae, Qt::LeftButton);
        QCOMPARE(options.temae, 1); // ticking alone changes nothing
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(options.temae, 0);
        QVERIFY(!platform::isAlwaysInFront(m_main.get()));
        QVERIFY(dialog.isVisible());
    }

    void cancellingKeepsWhatWasApplied_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("キャンセル") << u"cancel"_s;
        QTest::newRow("title bar") << u"titlebar"_s;
        QTest::newRow("Esc") << u"escape"_s;
    }
    void cancellingKeepsWhatWasApplied()
    {
        QFETCH(QString, how);
        AppOptions options{0, 0, 0};
        FrmOption dialog(options, m_main.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *temae = Child<QCheckBox>(dialog, u"CheckTemae"_s);
        auto *hide = Child<QCheckBox>(dialog, u"CheckDokodemo"_s);
        temae->setChecked(true);
        hide->setChecked(true);
        QTest::mouseClick(Child<QPushButton>(dialog, u"CmdTekiyou"_s), Qt::LeftButton);
        temae->setChecked(false);
        hide->setChecked(false);
        if (how == u"cancel")
            QTest::mouseClick(Child<QPushButton>(dialog, u"CmdCancel"_s), Qt::LeftButton);
        else if (how == u"titlebar")
            dialog.close();
        else
            QTest::keyClick(temae, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(options.temae, 1);
        QCOMPARE(options.hideDokodemo, 1);
        QVERIFY(platform::isAlwaysInFront(m_main.get()));
    }

    void cancelWithoutApplyChangesNothing()
    {
        AppOptions options{1, 1, 0};
        FrmOption dialog(options, m_main.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Child<QCheckBox>(dialog, u"CheckTemae"_s)->setChecked(false);
        Child<QCheckBox>(dialog, u"CheckDokodemo"_s)->setChecked(true);
        dialog.close();
        QCOMPARE(options.temae, 1);
        QCOMPARE(options.hideDokodemo, 0);
        // The main window stays out of the layer until OK or Apply.
        QVERIFY(!platform::isAlwaysInFront(m_main.get()));
    }

    void enterPressesOK()
    {
        AppOptions options;
        FrmOption dialog(options, m_main.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *hide = Child<QCheckBox>(dialog, u"CheckDokodemo"_s);
        hide->setChecked(true);
        QTest::keyClick(hide, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(options.hideDokodemo, 1);
        QCOMPARE(options.temae, 0);
    }

    void controlsStandInPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("caption");
        QTest::newRow("CheckTemae")
            << u"CheckTemae"_s << QRect(16, 8, 193, 33) << u"常に手前に表示する"_s;
        QTest::newRow("CheckDokodemo") << u"CheckDokodemo"_s << QRect(16, 48, 193, 33)
                                       << u"どこでもｽﾎﾟｲﾄのときVandrelを隠す。"_s;
        QTest::newRow("CmdOK") << u"CmdOK"_s << QRect(8, 88, 65, 25) << u"OK"_s;
        QTest::newRow("CmdTekiyou") << u"CmdTekiyou"_s << QRect(80, 88, 65, 25) << u"適用"_s;
        QTest::newRow("CmdCancel") << u"CmdCancel"_s << QRect(152, 88, 65, 25) << u"キャンセル"_s;
    }
    void controlsStandInPlace()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, caption);
        AppOptions options;
        FrmOption dialog(options, m_main.get());
        auto *control = Child<QAbstractButton>(dialog, name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), rect);
        QCOMPARE(control->text(), caption);
    }

    void windowFocusAndTabOrder()
    {
        AppOptions options;
        FrmOption dialog(options, m_main.get());
        QCOMPARE(dialog.windowTitle(), u"オプション"_s);
        QCOMPARE(dialog.parentWidget(), nullptr);
        QCOMPARE(dialog.minimumSize(), QSize(225, 121));
        QCOMPARE(dialog.maximumSize(), QSize(225, 121));
        const Qt::WindowFlags flags = dialog.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(Child<QPushButton>(dialog, u"CmdOK"_s)->isDefault());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *first = Child<QWidget>(dialog, u"CheckTemae"_s);
        QCOMPARE(dialog.focusWidget(), first);
        QStringList order;
        QWidget *w = first;
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                order << w->objectName();
            w = w->nextInFocusChain();
        } while (w != first);
        const QStringList expected{u"CheckTemae"_s, u"CheckDokodemo"_s, u"CmdOK"_s, u"CmdTekiyou"_s,
                                   u"CmdCancel"_s};
        QCOMPARE(order, expected);
        const QPoint offset = dialog.frameGeometry().center() - m_main->frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(u"off by %1,%2"_s.arg(offset.x()).arg(offset.y())));
    }

private:
    std::unique_ptr<QWidget> m_main;
};

QTEST_MAIN(FrmOptionTest)
#include "test_frmoption.moc"
