// SPDX-License-Identifier: MIT
// The main window over a recorded settings file, clipboard and colour chooser:
// what start-up restores and close writes, the commands, typed attribute
// names and the pickers' way into the colour. The real program, its menus'
// access keys and what the eyedropper captures are the end-to-end tests'.
#include "support/fakeclipboard.h"
#include "support/fakecolourchooser.h"
#include "support/fakesettingsstore.h"
#include "support/picture.h"

#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/lettercasebox.h"
#include "common/platform.h"
#include "main/frmmain.h"
#include "pickers/frmcolor.h"
#include "pickers/frmgetcolor.h"
#include "pickers/loupeview.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QToolBar>

#include <cerrno>
#include <optional>

using colour::Channel;
using namespace Qt::StringLiterals;

namespace {

/// The main window over fakes, started with @p stored ("Section/Key=value",
/// blank-separated) in the settings file.
struct MainHarness
{
    FakeSettingsStore settings;
    FakeColourChooser chooser;
    FakeClipboard clipboard;
    QStringList messages; ///< "beep", or a message box's text
    Services services;
    std::unique_ptr<FrmMain> window;

    explicit MainHarness(const QString &stored = {}, ScreenCapture *capture = nullptr,
                         const settings::WriteResult &writes = {})
    {
        for (const QString &pair : stored.split(u' ', Qt::SkipEmptyParts))
            settings.values.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        settings.outcome = writes;
        services = Services{&settings, &chooser, &clipboard, capture,
                            Feedback{[this] { messages << u"beep"_s; },
                                     [this](QWidget *, const QString &text) { messages << text; }}};
        window = std::make_unique<FrmMain>(services);
        window->startUp();
    }
    FrmMain &w() { return *window; }
    ChannelControls &c() { return window->channels(); }
    QString code() { return c().codeBox()->text(); }
    bool inFront() { return platform::isAlwaysInFront(window.get()); }
    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
};

/// A capture that hands out its picture; with none, it saw nothing of the
/// screen, or the user gave up waiting for it.
struct FakeCapture final : ScreenCapture
{
    explicit FakeCapture(std::optional<QRgb> fill = {})
    {
        if (fill) {
            picture = QImage(QGuiApplication::primaryScreen()->size(), QImage::Format_RGB32);
            picture.fill(*fill);
        }
    }
    QImage picture;
    bool givenUp = false;
    Result grab() override
    {
        if (picture.isNull())
            return {nullptr, !givenUp, givenUp};
        return {std::make_unique<FrozenImage>(picture)};
    }
};

/// The eyedropper window that is open, if any.
FrmGetColor *openEyedropper()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *eyedropper = qobject_cast<FrmGetColor *>(window);
            eyedropper && window->isVisible())
            return eyedropper;
    return nullptr;
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        UseProgramLook();
        QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings); // as main() does
    }

    void layout()
    {
        // Placement, captions, fonts and images in one picture; what it does
        // not show, by name. The title is the end-to-end tests'.
        MainHarness h(u"Color/Red=255 Color/Green=128"_s);
        QCOMPARE(h.w().windowFlags() &
                     (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint),
                 Qt::WindowMinimizeButtonHint);
        VERIFY_PICTURE(h.w(), u"FrmMain"_s);
        // Each menu as it drops down: its items, access keys and separators.
        for (QAction *menu : h.w().menuBar()->actions())
            VERIFY_PICTURE(*menu->menu(), u"FrmMain-"_s + menu->menu()->objectName());
    }

    void startAndClose_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");   // code, letter case, palette shown, in front
        QTest::addColumn<QString>("written"); // at start, then at close; where is not here
        // First starts, restored colours and letter case, the palette reopened
        // and the count are the end-to-end tests'.
        QTest::newRow("greyed; 2 and 5 are off, written back")
            << u"Color/Red=171 Check/Komozi=2 Position/ColorP=2 Setting/Top=2 "
               u"Setting/HideDokodemo=5"_s
            << u"#AB0000 2 0 0"_s
            << u"Use/NumberOfUse=1 Color/Red=171 Color/Green=0 Color/Blue=0 Check/Komozi=2 "
               u"Position/ColorP=0 Setting/Top=2 Setting/HideDokodemo=5"_s;
        // Values beyond the file's integers read as their limits; no arithmetic
        // overflows (the sanitizer build stops at any that does).
        QTest::newRow("out of range, at the limits, palette open at close, in front")
            << u"Color/Red=999 Color/Green=-5 Check/Komozi=7 Use/NumberOfUse=2147483647 "
               u"Position/Left=-99999999999 Position/Top=99999999999 Position/ColorP=1 "
               u"Setting/Top=1"_s
            << u"#FF0000 0 1 1"_s
            << u"Use/NumberOfUse=2147483647 Color/Red=255 Color/Green=0 Color/Blue=0 "
               u"Check/Komozi=0 Position/ColorP=1 Setting/Top=1 Setting/HideDokodemo=0"_s;
    }
    void startAndClose()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, written);
        MainHarness h(stored);
        const bool palette = h.w().palette() && h.w().palette()->isVisible();
        QCOMPARE(u"%1 %2 %3 %4"_s.arg(h.code())
                     .arg(static_cast<int>(h.w().letterCase()->value()))
                     .arg(palette)
                     .arg(h.inFront()),
                 shown);
        QVERIFY(h.messages.isEmpty());
        QVERIFY(h.show());

        // Nine writes at close, once however many close requests come; where
        // the position is brought into view is the end-to-end test's, which
        // has a window manager.
        h.w().close();
        QCloseEvent again; // the system asks once more
        QApplication::sendEvent(&h.w(), &again);
        const QRegularExpression notWhere(u"^write (?!Position/(Top|Left)=)"_s);
        QCOMPARE(h.settings.log.filter(notWhere).join(u' ').remove(u"write "_s), written);
        QCOMPARE(h.settings.log.filter(u"write Position/"_s).size(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(!h.w().palette(), 10000);
    }

    void unsavedSettingsAreToldOnce()
    {
        // Writes fail from the start, from the BODY editor's close or from the
        // main window's close: only the first failure is told, naming the
        // file, and the close writes all its keys all the same.
        const settings::WriteResult full{settings::WriteFailure::Write, ENOSPC,
                                         u"/media/stick/Config.ini"_s};
        for (int failing = 0; failing < 3; ++failing) {
            MainHarness h({}, nullptr, failing == 0 ? full : settings::WriteResult{});
            QList<qsizetype> told = {h.messages.size()};
            h.w().runModal = [](QDialog &dialog) {
                dialog.show();
                dialog.reject();
            };
            h.settings.outcome = failing <= 1 ? full : settings::WriteResult{};
            h.w().body_Click();
            told << h.messages.size();
            h.settings.outcome = full;
            h.w().close();
            told << h.messages.size();
            QCOMPARE(told, (QList<qsizetype>{failing == 0 ? 1 : 0, failing <= 1 ? 1 : 0, 1}));
            QVERIFY(h.messages.constLast().contains(full.path));
            QCOMPARE(h.settings.log.filter(u"write "_s).size(), 11);
        }
    }

    void chooser()
    {
        MainHarness h(u"Color/Red=10 Color/Green=20 Color/Blue=30"_s);
        h.chooser.answers.push_back(colour::MakeColourValue(255, 128, 0));
        h.w().coloredit_Click();
        QCOMPARE(h.code(), u"#FF8000"_s);
        QVERIFY(h.c().colorBox()->toolTip().contains(u" 2.5:1"_s)); // the tip follows
        // It opens on the colour shown; the preview's double-click opens it
        // too; a cancel leaves the colour.
        h.c().storeSliders(1, 2, 3);
        QTest::mouseDClick(h.c().colorBox(), Qt::LeftButton);
        QCOMPARE(h.chooser.initials, (QList<colour::ColourValue>{0x1E140Au, 0x030201u}));
        QCOMPARE(h.code(), u"#010203"_s);
    }

    void everyCommandReachesItsOperation()
    {
        // The menu items the end-to-end tests do not use and every toolbar
        // button, triggered as the user does, each reach their own operation
        // and no other. Before each the main window is in front: "front" says
        // it still is afterwards; a modal window shows whether it opened in
        // front, and 適用 in the options dialog sets both options. The capture
        // sees nothing, so the eyedropper ends in a message.
        FakeCapture capture;
        MainHarness h(u"Setting/Top=1"_s, &capture);
        QVERIFY(h.show());
        h.w().attributeBox()->setEditText(u"LINK"_s);
        h.w().letterCase()->setValue(colour::LetterCase::Lower);
        QStringList seen;
        h.w().runModal = [&](QDialog &dialog) {
            seen << (h.inFront() ? u"in front: "_s : QString()) + dialog.objectName();
            // The options dialog's 適用 with its boxes ticked (OK is the end-to-end test's).
            if (auto *apply = dialog.findChild<QWidget *>(u"CmdTekiyou"_s)) {
                for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
                    box->setChecked(true);
                QTest::mouseClick(apply, Qt::LeftButton);
            }
        };
        QList<QAction *> commands;
        for (const QString &item : {u"Reset"_s, u"body"_s, u"pal"_s, u"coloredit"_s})
            commands << h.w().menuBar()->findChild<QAction *>(item);
        const qsizetype menuItems = commands.size();
        commands << h.w().toolbar()->actions();
        for (qsizetype i = 0; i < commands.size(); ++i) {
            h.c().storeSliders(10, 20, 30);
            platform::setAlwaysInFront(&h.w(), true);
            h.w().options().hideDokodemo = 0;
            h.chooser.initials.clear();
            h.messages.clear();
            if (i < menuItems) {
                seen << u"/"_s + commands[i]->objectName();
                commands[i]->trigger();
            } else {
                seen << u"/"_s + commands[i]->toolTip(); // none for a separator
                QTest::mouseClick(h.w().toolbar()->widgetForAction(commands[i]), Qt::LeftButton);
            }
            if (h.c().colourValue() == 0)
                seen << u"reset"_s;
            if (h.w().palette() && h.w().palette()->isVisible())
                seen << u"palette"_s;
            if (!h.chooser.initials.isEmpty())
                seen << u"chooser"_s;
            if (h.messages == QStringList{kScreenUnreadable})
                seen << u"eyedropper"_s;
            if (h.inFront())
                seen << u"front"_s;
            if (h.w().options().hideDokodemo == 1)
                seen << u"hide"_s;
            if (h.w().palette())
                h.w().palette()->close();
        }
        QCOMPARE(seen.join(u' '),
                 u"/Reset reset front /body FrmBody /pal palette front /coloredit chooser front "
                 u"/ﾘｾｯﾄする reset front / front /BODYﾀｸﾞの編集 FrmBody / front "
                 u"/ｶﾗｰﾊﾟﾚｯﾄを表示 palette front / front /色の編集 chooser front "
                 u"/どこでもｽﾎﾟｲﾄ eyedropper / front /設定 FrmOption front hide / front "
                 u"/バージョン情報 FrmAbout"_s);
        // Reset leaves the attribute name and the letter case alone.
        QCOMPARE(h.w().attributeBox()->currentText(), u"LINK"_s);
        QCOMPARE(h.w().letterCase()->value(), colour::LetterCase::Lower);
    }

    void keysAndRecentColours()
    {
        // Where the focus is, whether its text is all selected, what is typed
        // there, the key, and the text on the clipboard; then what took the
        // key: the window's copy (the code, on the program's clipboard), the
        // box's own copy (its text, on the system's), the window's paste (the
        // colour read from the program's clipboard), the box's own paste (from
        // the system's), or the eyedropper, which picks. A decimal box keeps
        // Ctrl+C and Ctrl+V too, and its key filter beeps at them as at any
        // control character; a text that is no colour is quoted in a message.
        // A typed attribute name is copied as typed: nothing completes it.
        FakeCapture capture(qRgb(0x0A, 0xB0, 0xFE));
        MainHarness h(u"Color/Red=10 Check/Komozi=1 History/1=#00FF00 History/2=#0A0000 "
                      u"History/3=bad History/4=#0000FF"_s,
                      &capture);
        QVERIFY(h.show());
        QVERIFY(QTest::qWaitForWindowActive(&h.w()));
        const QKeyCombination copy = Qt::CTRL | Qt::Key_C, paste = Qt::CTRL | Qt::Key_V,
                              ret = Qt::Key_Return;
        const std::tuple<const char16_t *, bool, const char16_t *, QKeyCombination,
                         const char16_t *>
            rows[] = {{u"SliderRed", false, u"", copy, u""},
                      {u"TextRed", false, u"", copy, u""},
                      {u"TextRed", true, u"", copy, u""},
                      {u"Combo1", true, u"", copy, u""},
                      {u"TextCode", true, u"", copy, u""},
                      {u"TextBlueHex", false, u"", Qt::CTRL | Qt::Key_P, u""},
                      {u"TextCode", true, u"", paste, u" color: navy; "},
                      {u"TextRedHex", true, u"", paste, u"C8"},
                      {u"TextGreen", true, u"", paste, u"red"},
                      {u"Combo1", true, u"", paste, u"red"},
                      {u"Combo1", false, u"", ret, u""},
                      {u"Combo1", true, u"b", ret, u""},
                      {u"Combo1", true, u" width ", ret, u""},
                      {u"SliderBlue", false, u"", paste, u"<b>not</b> a colour"},
                      {u"CommandClip", false, u"", paste, u""}};
        QStringList seen;
        for (const auto &[name, selected, typed, key, offered] : rows) {
            auto *focus = h.w().findChild<QWidget *>(QString::fromUtf16(name));
            focus->setFocus();
            QLineEdit *box = qobject_cast<QLineEdit *>(focus);
            if (auto *combo = qobject_cast<QComboBox *>(focus))
                box = combo->lineEdit();
            if (box)
                selected ? box->selectAll() : box->deselect();
            QTest::keyClicks(box ? box : focus, QString::fromUtf16(typed));
            h.clipboard.content = QString::fromUtf16(offered);
            QGuiApplication::clipboard()->setText(h.clipboard.content);
            h.clipboard.log.clear();
            h.messages.clear();
            QTest::keyClick(focus, key.key(), key.keyboardModifiers());
            const QString system = QGuiApplication::clipboard()->text();
            QStringList told;
            for (const QString &message : std::as_const(h.messages))
                told << message.section(u'」', 0, 0);
            seen << QString::fromUtf16(name) + u':' + h.clipboard.log.join(u',') + u':' +
                        (system == h.clipboard.content ? QString() : system) + u':' +
                        told.join(u',') + u' ' + h.code();
            if (FrmGetColor *eyedropper = openEyedropper()) {
                seen.last() += u" eyedropper"_s;
                QTest::keyClick(eyedropper, Qt::Key_Return);
            }
        }
        QCOMPARE(
            seen.join(u'\n'),
            QStringList({u"SliderRed:clear,set:#0a0000:: #0a0000"_s,
                         u"TextRed:clear,set:#0a0000:: #0a0000"_s, u"TextRed:::beep #0a0000"_s,
                         u"Combo1::なし: #0a0000"_s, u"TextCode::#0a0000: #0a0000"_s,
                         u"TextBlueHex::: #0a0000 eyedropper"_s, u"TextCode::: #000080"_s,
                         u"TextRedHex::: #c80080"_s, u"TextGreen:::beep #c80080"_s,
                         u"Combo1::: #c80080"_s, u"Combo1:clear,set:red=\"#c80080\":: #c80080"_s,
                         u"Combo1:clear,set:b=\"#c80080\":: #c80080"_s,
                         u"Combo1:clear,set: width =\"#c80080\":: #c80080"_s,
                         u"SliderBlue:::「<b>not</b> a colour #c80080"_s,
                         u"CommandClip:::「 #c80080"_s})
                .join(u'\n'));
        // The menu item, and text dropped on the window.
        h.clipboard.content = u"#abc"_s;
        h.w().findChild<QAction *>(u"paste"_s)->trigger();
        QCOMPARE(h.code(), u"#aabbcc"_s);
        QMimeData dropped;
        dropped.setText(u"oklch(0% 0 0)"_s);
        QDragEnterEvent enter(QPoint(5, 60), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(&h.w(), &enter);
        QDropEvent drop(QPointF(5, 60), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(&h.w(), &drop);
        QTRY_COMPARE_WITH_TIMEOUT(h.code(), u"#000000"_s, 10000);

        // Copies and picks go on top of the stored list once each, in the
        // window's letter case; an item sets the colour; 履歴を消去 empties the
        // list; the close stores what was copied since and empties the rest.
        auto *menu = h.w().findChild<QMenu *>(u"recent"_s);
        const auto listed = [&] {
            menu->popup(QPoint(0, 0));
            QStringList items;
            for (QAction *item : menu->actions())
                items << (item->isEnabled() ? u""_s : u"-"_s) + item->text();
            menu->hide();
            return items.join(u' ');
        };
        h.c().codeBox()->setText(u"#12"_s); // a half-typed code is not remembered
        h.w().CommandClip_Click();
        QCOMPARE(listed(), u"#c80080 #0ab0fe #0a0000 #00ff00 #0000ff  履歴を消去"_s);
        menu->actions().at(3)->trigger();
        QCOMPARE(h.code(), u"#00ff00"_s);
        // The codes follow the option at once, also when set by its access
        // key: a copy right after it has the new letter case.
        h.w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.w()));
        QTest::keyClick(&h.w(), Qt::Key_K, Qt::AltModifier);
        QCOMPARE(h.code(), u"#00FF00"_s);
        menu->findChild<QAction *>(u"ClearHistory"_s)->trigger();
        QCOMPARE(listed(), u"-履歴を消去"_s);
        h.w().CommandClip_Click();
        h.w().close();
        QCOMPARE(h.settings.log.filter(u"write History/"_s).join(u' ').remove(u"write History/"_s),
                 u"1=#00FF00 2= 3= 4="_s);
    }

    void eyedropper()
    {
        // Out of front while it runs, the main window shown (HideDokodemo 2 is
        // not 1), the loupe in the window's letter case; Esc picks nothing.
        // Picks are the end-to-end tests'.
        FakeCapture capture(qRgb(0x0A, 0xB0, 0xFE));
        MainHarness h(u"Color/Red=1 Check/Komozi=1 Setting/Top=1 Setting/HideDokodemo=2"_s,
                      &capture);
        QVERIFY(h.show());
        h.w().GetColor_Click();
        QPointer<FrmGetColor> eyedropper = openEyedropper();
        QVERIFY(eyedropper);
        QVERIFY(QTest::qWaitForWindowExposed(eyedropper));
        QVERIFY(h.w().isVisible() && !h.inFront());
        QCOMPARE(eyedropper->loupe()->code(), u"#0ab0fe"_s);
        QTest::keyClick(eyedropper, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(eyedropper.isNull(), 10000);
        QCOMPARE(h.code(), u"#010000"_s);

        // The user gave up waiting for the capture: no eyedropper opens, the
        // colour stays and the hidden main window is back, without a word (a
        // capture that saw nothing says why: see the commands' test).
        capture.picture = QImage();
        capture.givenUp = true;
        h.w().options().hideDokodemo = 1;
        h.w().GetColor_Click();
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(h.code(), u"#010000"_s);
        QVERIFY(h.w().isVisible());
        QVERIFY(!openEyedropper());
    }

    void paletteSetsTheColour()
    {
        // Which pixel a press takes is the palette's own test.
        MainHarness h;
        QVERIFY(h.show());
        h.w().pal_Click();
        QWidget *picture = h.w().palette()->findChild<QWidget *>(u"Picture1"_s);
        // The pure yellow of column 36, row 18, inside the picture's 2-pixel border.
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(38, 20));
        QCOMPARE(h.code(), u"#FFFF00"_s);
        QTest::mouseClick(h.w().palette()->findChild<QWidget *>(u"nowColorR"_s), Qt::LeftButton);
        QCOMPARE(h.code(), u"#FFFFFF"_s);

        // Asked for while open, the palette is only brought forward: it stays
        // where the user put it and keeps its swatches. Closed and asked for
        // again, it is a new window, docked again, with its swatches reset.
        const auto left = [&] {
            return h.w().palette()->findChild<ColorBox *>(u"nowColorL"_s)->backColor();
        };
        const colour::ColourValue picked = left();
        const QPoint docked = h.w().palette()->pos();
        h.w().palette()->move(docked + QPoint(50, 50));
        h.w().pal_Click();
        QCOMPARE(h.w().palette()->pos(), docked + QPoint(50, 50));
        QCOMPARE(left(), picked);
        h.w().palette()->close();
        QTRY_VERIFY_WITH_TIMEOUT(!h.w().palette(), 10000);
        h.w().pal_Click();
        QCOMPARE(h.w().palette()->pos(), docked);
        QCOMPARE(left(), 0u);
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"
