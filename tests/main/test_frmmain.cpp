// SPDX-License-Identifier: MIT
// The main window: start-up and close against a recorded settings file, the
// copy, the letter case, the chooser, Reset, the toolbar and modal windows.
#include "support/fakeclipboard.h"
#include "support/fakecolourchooser.h"
#include "support/fakesettingsstore.h"
#include "support/picture.h"
#include "support/storelog.h"

#include "colour/channelcontrols.h"
#include "colour/channeledit.h"
#include "colour/colorbox.h"
#include "colour/lettercasebox.h"
#include "common/fonts.h"
#include "common/platform.h"
#include "common/twips.h"
#include "main/clipboardtext.h"
#include "main/frmmain.h"
#include "main/preload.h"
#include "main/settingsstore.h"
#include "pickers/frmcolor.h"
#include "pickers/frmgetcolor.h"
#include "pickers/loupeview.h"
#include "pickers/paletteimage.h"
#include "pickers/screencapture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

using colour::Channel;
using namespace Qt::StringLiterals;

namespace {

struct MainHarness
{
    FakeSettingsStore settings;
    FakeColourChooser chooser;
    FakeClipboard clipboard;
    int beeps = 0;
    QStringList messages;
    Services services;
    std::unique_ptr<FrmMain> window;

    explicit MainHarness(std::initializer_list<std::pair<const char *, const char *>> stored = {})
    {
        for (const auto &[key, value] : stored)
            settings.values.insert(QString::fromLatin1(key), QString::fromLatin1(value));
        services =
            Services{&settings, &chooser, &clipboard, nullptr,
                     Feedback{[this] { ++beeps; },
                              [this](QWidget *, const QString &text) { messages.append(text); }}};
        window = std::make_unique<FrmMain>(services);
    }
    FrmMain &w() { return *window; }
    ChannelControls &c() { return window->channels(); }
    QString code() { return c().codeBox()->text(); }
    QString copy()
    {
        clipboard.log.clear();
        window->CommandClip_Click();
        return clipboard.log.value(1).mid(4);
    }
};

/// A capture that hands out a picture made by the test.
struct FakeCapture final : ScreenCapture
{
    QImage picture;
    Result grab() override { return {std::make_unique<FrozenImage>(picture)}; }
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

/// A frameless window of one colour, shown at @p geometry.
std::unique_ptr<QWidget> solidWindow(QColor colour, QRect geometry)
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    QPalette palette;
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
    window->setGeometry(geometry);
    window->show();
    return window;
}

QStringList prefixed(const char *prefix, std::initializer_list<const char *> lines)
{
    QStringList all;
    for (const char *line : lines)
        all << QString::fromLatin1(prefix) + QString::fromLatin1(line);
    return all;
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }
    void layout();
    void preloadEnds();
    void menusAndToolbar();
    void startUpOrder();
    void firstStart();
    void restoredValues_data();
    void restoredValues();
    void closeOrder();
    void optionsWrittenBackAsRead();
    void storedLimits_data();
    void storedLimits();
    void copyTexts();
    void typedNamesStayAsTyped_data();
    void typedNamesStayAsTyped();
    void letterCaseClick();
    void enterCopiesFromAnyBox();
    void chooser();
    void resetAndToolbarDispatch();
    void everyCommandReachesItsOperation_data();
    void everyCommandReachesItsOperation();
    void modalWindowsLeaveAlwaysInFront();
    void optionsTakeEffectWhenApplied();
    void eyedropperStartAndEscape_data();
    void eyedropperStartAndEscape();
    void pickersStoreInOrder();
    void unseenScreenOpensNoEyedropper_data();
    void unseenScreenOpensNoEyedropper();
};

void TestFrmMain::layout()
{
    // The placement, captions, fonts and images of every control in one
    // picture; what a picture does not show is checked by name.
    MainHarness h({{"Color/Red", "255"}, {"Color/Green", "128"}});
    FrmMain &w = h.w();
    w.startUp();
    QCOMPARE(w.windowTitle(), u"Vandrel"_s);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(h.c().codeBox()->isReadOnly());
    VERIFY_PICTURE(w, u"FrmMain"_s);

    // Tab order, from the red slider on.
    QStringList order;
    QWidget *widget = h.c().slider(Channel::Red);
    for (int i = 0; i < 16; ++i) {
        order << widget->objectName();
        widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled() ||
               widget->objectName().isEmpty())
            widget = widget->nextInFocusChain();
    }
    QCOMPARE(order.join(u' '),
             QStringLiteral("SliderRed SliderGreen SliderBlue TextRed TextGreen TextBlue UpDownRed "
                            "UpDownGreen UpDownBlue TextRedHex TextGreenHex TextBlueHex Combo1 "
                            "CheckKomozi TextCode CommandClip"));
}

void TestFrmMain::preloadEnds()
{
    // The start-up worker ends whether or not the application object came
    // up, so leaving main() early never hangs on it.
    for (const bool started : {false, true}) {
        std::promise<void> ended;
        std::future<void> done = ended.get_future();
        std::thread([ended = std::move(ended), started]() mutable {
            {
                StartUpPreload preload;
                if (started)
                    preload.applicationStarted();
            }
            ended.set_value();
        }).detach();
        QVERIFY2(done.wait_for(std::chrono::seconds(20)) == std::future_status::ready,
                 started ? "started" : "not started");
    }
}

void TestFrmMain::menusAndToolbar()
{
    MainHarness h;
    // The menu bar's own captions are in the window's picture.
    QStringList items;
    for (QAction *menu : h.w().menuBar()->actions())
        for (QAction *item : menu->menu()->actions())
            items << item->objectName() + u' ' + (item->isSeparator() ? u"-"_s : item->text());
    QCOMPARE(items, QStringList({u"Reset ﾘｾｯﾄ(&R)"_s, u"sen -"_s, u"end 終了(&X)"_s,
                                 u"body BODYﾀｸﾞの編集(&B)..."_s, u"pal ｶﾗｰﾊﾟﾚｯﾄ(&C)..."_s,
                                 u"coloredit 色の編集(&E)..."_s, u"GetColor どこでもｽﾎﾟｲﾄ(&G)"_s,
                                 u"config 設定(&C)..."_s, u"version ﾊﾞｰｼﾞｮﾝ情報(&A)..."_s}));
    QStringList buttons;
    for (QAction *action : h.w().toolbar()->actions()) {
        if (action->isSeparator()) {
            buttons << u"|"_s;
            continue;
        }
        buttons << action->data().toString() + u'=' + action->toolTip();
        QVERIFY(!action->icon().isNull());
    }
    QCOMPARE(buttons, QStringList({u"ﾘｾｯﾄ=ﾘｾｯﾄする"_s, u"|"_s, u"ﾎﾞﾃﾞｨｰ=BODYﾀｸﾞの編集"_s, u"|"_s,
                                   u"ﾊﾟﾚｯﾄ=ｶﾗｰﾊﾟﾚｯﾄを表示"_s, u"|"_s, u"編集=色の編集"_s,
                                   u"ｽﾎﾟｲﾄ=どこでもｽﾎﾟｲﾄ"_s, u"|"_s, u"設定=設定"_s, u"|"_s,
                                   u"ﾊﾞｰｼﾞｮﾝ=バージョン情報"_s}));
}

void TestFrmMain::startUpOrder()
{
    MainHarness h({{"Use/NumberOfUse", "41"}});
    h.w().startUp();
    QCOMPARE(h.settings.log,
             prefixed("read ", {"Color/Red", "Color/Green", "Color/Blue", "Check/Komozi",
                                "Position/Top", "Position/Left", "Position/ColorP", "Setting/Top",
                                "Setting/HideDokodemo", "Use/NumberOfUse"})
                 << u"write Use/NumberOfUse=42"_s);
}

void TestFrmMain::firstStart()
{
    MainHarness h;
    h.w().startUp();
    QCOMPARE(h.w().pos(), QPoint(0, 0));
    QCOMPARE(h.code(), u"#000000"_s); // never the placeholder
    QCOMPARE(h.w().attributeBox()->currentText(), u"なし"_s);
    QCOMPARE(h.w().attributeBox()->currentIndex(), -1);
}

void TestFrmMain::restoredValues_data()
{
    // Color/Red, Color/Green, Check/Komozi, Position/ColorP; "-" for not stored
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("palette"); // the palette window opens again
    QTest::newRow("0 128 0, palette open") << u"0 128 0 1"_s << u"#008000"_s << 0 << true;
    QTest::newRow("lower case, palette closed") << u"0 255 1 0"_s << u"#00ff00"_s << 1 << false;
    QTest::newRow("greyed, ColorP 2 is closed") << u"171 0 2 2"_s << u"#AB0000"_s << 2 << false;
    QTest::newRow("out of range clamps") << u"999 -5 7 -"_s << u"#FF0000"_s << 0 << false;
}

void TestFrmMain::restoredValues()
{
    QFETCH(QString, stored);
    QFETCH(QString, code);
    QFETCH(int, box);
    QFETCH(bool, palette);
    MainHarness h;
    const char *keys[] = {"Color/Red", "Color/Green", "Check/Komozi", "Position/ColorP"};
    for (int i = 0; i < 4; ++i)
        if (const QString value = stored.section(u' ', i, i); value != u"-")
            h.settings.values.insert(QString::fromLatin1(keys[i]), value);
    h.w().startUp();
    QCOMPARE(h.code(), code);
    QCOMPARE(static_cast<int>(h.w().letterCase()->value()), box);
    QCOMPARE(h.c().hexBox(Channel::Red)->text(), code.mid(1, 2));
    QVERIFY(h.messages.isEmpty());
    // Docking is the palette window's own test.
    QCOMPARE(h.w().palette() && h.w().palette()->isVisible(), palette);
    // A greyed box copies in lower case.
    h.w().attributeBox()->setEditText(u"COLOR"_s);
    const QString attribute = u"COLOR=\""_s + code + u'"';
    QCOMPARE(h.copy(), box == 0 ? attribute.toUpper() : attribute.toLower());
}

void TestFrmMain::closeOrder()
{
    MainHarness h({{"Color/Red", "1"}, {"Color/Green", "2"}, {"Color/Blue", "3"}});
    h.w().startUp();
    h.w().move(40, 60);
    h.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.w()));
    h.w().pal_Click();
    h.settings.log.clear();
    h.w().close();
    QCOMPARE(h.settings.log,
             prefixed("write ", {"Color/Red=1", "Color/Green=2", "Color/Blue=3", "Check/Komozi=0",
                                 "Position/Top=900", "Position/Left=600", "Position/ColorP=1",
                                 "Setting/Top=0", "Setting/HideDokodemo=0"}));
    QTRY_VERIFY_WITH_TIMEOUT(!h.w().palette(), 2000);
    // A second close request writes nothing more.
    h.settings.log.clear();
    h.w().close();
    QCOMPARE(h.settings.log, QStringList());
}

void TestFrmMain::optionsWrittenBackAsRead()
{
    MainHarness h({{"Setting/Top", "2"}, {"Setting/HideDokodemo", "5"}});
    h.w().startUp();
    QVERIFY(!platform::isAlwaysInFront(&h.w())); // 2 counts as off
    h.w().close();
    QCOMPARE(h.settings.values.value(u"Setting/Top"_s), u"2"_s);
    QCOMPARE(h.settings.values.value(u"Setting/HideDokodemo"_s), u"5"_s);
}

void TestFrmMain::storedLimits_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("count"); // NumberOfUse written at the start
    QTest::newRow("count at the limit")
        << u"Use/NumberOfUse"_s << u"2147483647"_s << u"2147483647"_s;
    QTest::newRow("count below the limit")
        << u"Use/NumberOfUse"_s << u"2147483646"_s << u"2147483647"_s;
    QTest::newRow("far left") << u"Position/Left"_s << u"-99999999999"_s << u"1"_s;
    QTest::newRow("far right") << u"Position/Left"_s << u"99999999999"_s << u"1"_s;
    QTest::newRow("far above") << u"Position/Top"_s << u"-99999999999"_s << u"1"_s;
    QTest::newRow("far below") << u"Position/Top"_s << u"99999999999"_s << u"1"_s;
}

void TestFrmMain::storedLimits()
{
    // Values beyond the file's integers read as their limits: the count stays
    // at the limit, the window comes into view, and no arithmetic overflows
    // (the sanitizer build stops at any that does).
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, count);
    MainHarness h;
    h.settings.values.insert(key, value);
    h.w().startUp();
    QCOMPARE(h.settings.values.value(u"Use/NumberOfUse"_s), count);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(h.w().pos()));
    h.w().close();
    const QPoint at(h.settings.values.value(u"Position/Left"_s).toInt(),
                    h.settings.values.value(u"Position/Top"_s).toInt());
    QVERIFY(screen.contains(at / 15));
}

void TestFrmMain::copyTexts()
{
    // The forms and letter cases are the clipboard text's test, typed names
    // typedNamesStayAsTyped's; here, that the window hands over the item
    // picked from the list, in the option's case.
    const std::tuple<const char16_t *, int, const char16_t *> cases[] = {
        {u"BORDERCOLORLIGHT", 0, u"BORDERCOLORLIGHT=\"#00FF80\""},
        {u"VLINK", 1, u"vlink=\"#00ff80\""},
        {u"なし", 0, u"#00FF80"}};
    MainHarness h({{"Color/Green", "255"}, {"Color/Blue", "128"}});
    h.w().startUp();
    for (const auto &[name, letterCase, expected] : cases) {
        h.w().letterCase()->setValue(colour::LetterCaseFromStored(letterCase));
        QComboBox *list = h.w().attributeBox();
        list->setCurrentIndex(list->findText(QString::fromUtf16(name)));
        QCOMPARE(h.copy(), QString::fromUtf16(expected));
    }
}

void TestFrmMain::typedNamesStayAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("start of a list item") << u"BORDER"_s << u"BORDER=\"#000080\""_s;
    QTest::newRow("one letter") << u"b"_s << u"B=\"#000080\""_s;
    QTest::newRow("spaces kept") << u" width "_s << u" WIDTH =\"#000080\""_s;
    QTest::newRow("list item in lower case") << u"link"_s << u"LINK=\"#000080\""_s;
}

void TestFrmMain::typedNamesStayAsTyped()
{
    // Typed key by key, as a user does, then Enter copies.
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    MainHarness h({{"Color/Blue", "128"}});
    h.w().startUp();
    h.w().show();
    QVERIFY(QTest::qWaitForWindowActive(&h.w()));
    QLineEdit *edit = h.w().attributeBox()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    h.clipboard.log.clear();
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(h.clipboard.log, QStringList({u"clear"_s, u"set:"_s + expected}));
    QCOMPARE(h.w().attributeBox()->currentText(), typed);
}

void TestFrmMain::letterCaseClick()
{
    // From greyed, a click clears; a click never greys.
    MainHarness h({{"Color/Red", "160"}, {"Check/Komozi", "2"}});
    h.w().startUp();
    for (const char16_t *code : {u"#A00000", u"#a00000"}) {
        QTest::mouseClick(h.w().letterCase(), Qt::LeftButton);
        QCOMPARE(h.code(), QString::fromUtf16(code));
    }
    QCOMPARE(h.w().letterCase()->value(), colour::LetterCase::Lower);
}

void TestFrmMain::enterCopiesFromAnyBox()
{
    MainHarness h({{"Color/Red", "255"}});
    h.w().startUp();
    h.w().show();
    QVERIFY(QTest::qWaitForWindowActive(&h.w()));
    QWidget *targets[] = {h.c().decimalBox(Channel::Red), h.c().hexBox(Channel::Blue),
                          h.c().slider(Channel::Green), h.w().attributeBox(), h.c().codeBox()};
    for (QWidget *target : targets) {
        target->setFocus();
        h.clipboard.log.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(h.clipboard.log, QStringList({u"clear"_s, u"set:#FF0000"_s}));
    }
    QCOMPARE(h.beeps, 0);
    QCOMPARE(h.w().attributeBox()->count(), 9); // Enter in the combo adds nothing
}

void TestFrmMain::chooser()
{
    MainHarness h({{"Color/Red", "10"}, {"Color/Green", "20"}, {"Color/Blue", "30"}});
    h.w().startUp();
    // Cancelled: nothing changes.
    h.w().coloredit_Click();
    QCOMPARE(h.c().colourValue(), colour::MakeColourValue(10, 20, 30));
    h.chooser.answers.push_back(colour::MakeColourValue(255, 128, 0));
    h.w().coloredit_Click();
    QCOMPARE(h.code(), u"#FF8000"_s);
    // The preview's tooltip follows the colour.
    QCOMPARE(h.c().colorBox()->toolTip(),
             QStringLiteral(u"白とのコントラスト比 2.5:1（AA 不適合、AAA 不適合）\n"
                            u"黒とのコントラスト比 8.3:1（AA 適合、AAA 適合）"));
    // It opens on the last colour confirmed, and a cancel keeps the colour.
    h.c().storeSliders(1, 2, 3);
    h.w().coloredit_Click();
    QCOMPARE(h.chooser.initials, (QList<colour::ColourValue>{0u, 0u, 0x0080FFu}));
    QCOMPARE(h.code(), u"#010203"_s);
    // The preview's double-click opens it too.
    h.chooser.answers.push_back(0x00FF00u);
    QTest::mouseDClick(h.c().colorBox(), Qt::LeftButton);
    QCOMPARE(h.code(), u"#00FF00"_s);
    QCOMPARE(h.c().colorBox()->toolTip(),
             QStringLiteral(u"白とのコントラスト比 1.3:1（AA 不適合、AAA 不適合）\n"
                            u"黒とのコントラスト比 15.3:1（AA 適合、AAA 適合）"));
}

void TestFrmMain::resetAndToolbarDispatch()
{
    MainHarness h({{"Color/Red", "10"}, {"Color/Green", "20"}, {"Color/Blue", "30"}});
    h.w().startUp();
    h.w().attributeBox()->setEditText(u"LINK"_s);
    h.w().letterCase()->setValue(colour::LetterCase::Lower);
    h.w().dispatchToolbarKey(u"nothing"_s);
    h.w().dispatchToolbarKey(QString()); // a separator has no key
    QCOMPARE(h.c().colourValue(), colour::MakeColourValue(10, 20, 30));
    h.w().dispatchToolbarKey(u"ﾘｾｯﾄ"_s);
    QCOMPARE(h.c().colourValue(), 0u);
    QCOMPARE(h.code(), u"#000000"_s);
    QCOMPARE(h.w().attributeBox()->currentText(), u"LINK"_s);
    QCOMPARE(h.w().letterCase()->value(), colour::LetterCase::Lower);
}

void TestFrmMain::everyCommandReachesItsOperation_data()
{
    QTest::addColumn<QString>("menuItem"); // the item's object name, or null for a button
    QTest::addColumn<QString>("button");   // the toolbar button's key
    QTest::addColumn<QString>("reached");
    const auto row = [](const char *item, const char16_t *button, const char *reached) {
        const QString name = item ? QString::fromLatin1(item) : QString::fromUtf16(button);
        QTest::newRow(qPrintable((item ? u"menu "_s : u"button "_s) + name))
            << (item ? name : QString()) << (item ? QString() : name)
            << QString::fromLatin1(reached);
    };
    row("Reset", nullptr, "reset");
    row("end", nullptr, "close");
    row("body", nullptr, "FrmBody");
    row("pal", nullptr, "palette");
    row("coloredit", nullptr, "chooser");
    row("GetColor", nullptr, "eyedropper");
    row("config", nullptr, "FrmOption");
    row("version", nullptr, "FrmAbout");
    row(nullptr, u"ﾘｾｯﾄ", "reset");
    row(nullptr, u"ﾎﾞﾃﾞｨｰ", "FrmBody");
    row(nullptr, u"ﾊﾟﾚｯﾄ", "palette");
    row(nullptr, u"編集", "chooser");
    row(nullptr, u"ｽﾎﾟｲﾄ", "eyedropper");
    row(nullptr, u"設定", "FrmOption");
    row(nullptr, u"ﾊﾞｰｼﾞｮﾝ", "FrmAbout");
}

void TestFrmMain::everyCommandReachesItsOperation()
{
    // Each menu item and toolbar button, triggered as the user does, reaches
    // its own operation and no other.
    QFETCH(QString, menuItem);
    QFETCH(QString, button);
    QFETCH(QString, reached);
    struct CountingCapture final : ScreenCapture
    {
        int grabs = 0;
        Result grab() override
        {
            ++grabs;
            return {std::make_unique<FrozenImage>(QImage(8, 8, QImage::Format_RGB32))};
        }
    } capture;
    MainHarness h({{"Color/Red", "10"}, {"Color/Green", "20"}, {"Color/Blue", "30"}});
    h.services.capture = &capture;
    h.w().startUp();
    h.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.w()));
    QStringList seen;
    h.w().runModal = [&seen](QDialog &dialog) { seen << dialog.objectName(); };
    h.settings.log.clear();

    if (!menuItem.isNull()) {
        QAction *item = nullptr;
        for (QAction *menu : h.w().menuBar()->actions())
            for (QAction *action : menu->menu()->actions())
                item = action->objectName() == menuItem ? action : item;
        QVERIFY(item);
        item->trigger();
    } else {
        QAction *action = nullptr;
        for (QAction *candidate : h.w().toolbar()->actions())
            action = candidate->data().toString() == button ? candidate : action;
        QVERIFY(action);
        QTest::mouseClick(h.w().toolbar()->widgetForAction(action), Qt::LeftButton);
    }

    if (h.c().colourValue() == 0)
        seen << u"reset"_s;
    if (!h.w().isVisible() && h.settings.log.contains(u"write Color/Red=10"_s))
        seen << u"close"_s;
    if (h.w().palette() && h.w().palette()->isVisible())
        seen << u"palette"_s;
    if (!h.chooser.initials.isEmpty())
        seen << u"chooser"_s;
    if (capture.grabs == 1)
        seen << u"eyedropper"_s;
    QCOMPARE(seen, QStringList{reached});
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == u"FrmGetColor"_s)
            window->close();
}

void TestFrmMain::modalWindowsLeaveAlwaysInFront()
{
    MainHarness h({{"Setting/Top", "1"}, {"Use/NumberOfUse", "12"}});
    h.w().startUp();
    QVERIFY(platform::isAlwaysInFront(&h.w()));
    int opened = 0; // which window opens is everyCommandReachesItsOperation's
    h.w().runModal = [&](QDialog &) {
        ++opened;
        QVERIFY(!platform::isAlwaysInFront(&h.w()));
    };
    for (const char16_t *key : {u"ﾎﾞﾃﾞｨｰ", u"設定", u"ﾊﾞｰｼﾞｮﾝ"}) {
        platform::setAlwaysInFront(&h.w(), true);
        h.w().dispatchToolbarKey(QString::fromUtf16(key));
        QVERIFY(!platform::isAlwaysInFront(&h.w())); // not put back afterwards
    }
    QCOMPARE(opened, 3);
    QCOMPARE(h.w().options().temae, 1);
}

void TestFrmMain::optionsTakeEffectWhenApplied()
{
    // The options dialog's 適用 and OK go straight to the options and the
    // always-in-front layer; the dialog itself stays open after 適用.
    MainHarness h;
    h.w().startUp();
    h.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.w()));
    QStringList seen;
    h.w().runModal = [&](QDialog &dialog) {
        for (const auto &[tick, button] : {std::pair{true, u"CmdTekiyou"_s}, {false, u"CmdOK"_s}}) {
            for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
                box->setChecked(tick);
            QTest::mouseClick(dialog.findChild<QWidget *>(button), Qt::LeftButton);
            seen << u"%1 %2 %3 %4"_s.arg(button)
                        .arg(h.w().options().temae)
                        .arg(h.w().options().hideDokodemo)
                        .arg(platform::isAlwaysInFront(&h.w()));
        }
    };
    h.w().config_Click();
    QCOMPARE(seen, (QStringList{u"CmdTekiyou 1 1 1"_s, u"CmdOK 0 0 0"_s}));
}

void TestFrmMain::eyedropperStartAndEscape_data()
{
    QTest::addColumn<int>("hideDokodemo");
    QTest::addColumn<bool>("mainShown");
    QTest::newRow("0: main window stays") << 0 << true;
    QTest::newRow("1: main window hidden") << 1 << false;
    QTest::newRow("2: not 1, stays") << 2 << true;
}

void TestFrmMain::eyedropperStartAndEscape()
{
    // The program's own capture: with the main window hidden it shows what
    // lies under the window, otherwise the window itself.
    QFETCH(int, hideDokodemo);
    QFETCH(bool, mainShown);
    const std::unique_ptr<ScreenCapture> capture = CreateScreenCapture();
    MainHarness h({{"Color/Red", "1"}, {"Color/Green", "2"}, {"Color/Blue", "3"}});
    h.services.capture = capture.get();
    h.w().startUp();
    h.w().move(40, 40);
    const QColor underColour(0x10, 0x60, 0x20);
    const auto under = solidWindow(underColour, h.w().geometry().adjusted(-20, -20, 20, 20));
    QVERIFY(QTest::qWaitForWindowExposed(under.get()));
    h.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.w()));
    platform::setAlwaysInFront(&h.w(), true);
    h.w().options().hideDokodemo = hideDokodemo;
    StoreLog log(h.c());

    h.w().GetColor_Click();
    QPointer<FrmGetColor> eyedropper = openEyedropper();
    QVERIFY(eyedropper);
    QCOMPARE(h.w().isVisible(), mainShown);
    QVERIFY(!platform::isAlwaysInFront(&h.w()));
    const QPoint inside = h.w().geometry().center() * h.w().devicePixelRatio();
    const QRgb captured = eyedropper->screen().pixels(QRect(inside, QSize(1, 1))).pixel(0, 0);
    QCOMPARE(captured == underColour.rgb(), !mainShown);

    // Esc closes without picking, and the main window comes back.
    QVERIFY(QTest::qWaitForWindowExposed(eyedropper));
    QTest::keyClick(eyedropper, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(eyedropper.isNull(), 2000);
    QVERIFY(h.w().isVisible());
    QCOMPARE(log.take(), QStringList());
    QCOMPARE(h.c().colourValue(), colour::MakeColourValue(1, 2, 3));
}

void TestFrmMain::pickersStoreInOrder()
{
    // What the pickers report reaches the channel views as the cascade
    // expects it: the palette picture into the sliders, a swatch and the
    // eyedropper into the hex boxes, red first; the eyedropper paints the
    // colour box before the first store.
    FakeCapture capture;
    MainHarness h;
    h.services.capture = &capture;
    h.w().startUp();
    h.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.w()));
    StoreLog log(h.c());

    h.w().pal_Click();
    QWidget *picture = h.w().palette()->findChild<QWidget *>(u"Picture1"_s);
    const QPoint at(30, 40); // the picture's 2-pixel border included
    QTest::mousePress(picture, Qt::LeftButton, {}, at);
    const QRgb taken = pickers::MakePaletteImage().pixel(at - QPoint(2, 2));
    QCOMPARE(log.take(), (QStringList{u"R=%1"_s.arg(qRed(taken)), u"G=%1"_s.arg(qGreen(taken)),
                                      u"B=%1"_s.arg(qBlue(taken))}));
    QTest::mouseRelease(picture, Qt::LeftButton, {}, at);
    log.take();
    QTest::mouseClick(h.w().palette()->findChild<QWidget *>(u"nowColorR"_s), Qt::LeftButton);
    QCOMPARE(log.take(), (QStringList{u"R=FF"_s, u"G=FF"_s, u"B=FF"_s}));

    capture.picture = QImage(QSize(64, 48) * h.w().devicePixelRatio(), QImage::Format_RGB32);
    capture.picture.fill(qRgb(0x0A, 0xB0, 0xFE));
    colour::ColourValue boxAtFirstStore = colour::kInvalidColour;
    const auto logged = h.c().trace;
    h.c().trace = [&](const QString &line) {
        if (boxAtFirstStore == colour::kInvalidColour && line.startsWith(u"store TextRedHex"))
            boxAtFirstStore = h.c().colorBox()->backColor();
        logged(line);
    };
    h.w().GetColor_Click();
    QPointer<FrmGetColor> eyedropper = openEyedropper();
    QVERIFY(eyedropper);
    QTest::mouseRelease(eyedropper, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(log.take(), (QStringList{u"R=0A"_s, u"G=B0"_s, u"B=FE"_s}));
    QCOMPARE(boxAtFirstStore, colour::MakeColourValue(0x0A, 0xB0, 0xFE));
    QTRY_VERIFY_WITH_TIMEOUT(eyedropper.isNull(), 2000);

    // The loupe writes its code in the letter case the window shows.
    h.w().letterCase()->setValue(colour::LetterCase::Lower);
    h.w().GetColor_Click();
    eyedropper = openEyedropper();
    QVERIFY(eyedropper);
    QCOMPARE(eyedropper->loupe()->code(), u"#0ab0fe"_s);
    eyedropper->close();
}

QTEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"

void TestFrmMain::unseenScreenOpensNoEyedropper_data()
{
    QTest::addColumn<QString>("hideDokodemo");
    QTest::newRow("main window stays") << u"0"_s;
    QTest::newRow("main window hidden") << u"1"_s;
}

void TestFrmMain::unseenScreenOpensNoEyedropper()
{
    // A capture that saw nothing of the screen: no eyedropper opens, the
    // colour stays, the main window is back and a message says why.
    QFETCH(QString, hideDokodemo);
    struct UnseenScreen final : ScreenCapture
    {
        Result grab() override { return {nullptr, true}; }
    } capture;
    MainHarness h({{"Color/Red", "10"}});
    h.settings.values.insert(u"Setting/HideDokodemo"_s, hideDokodemo);
    h.services.capture = &capture;
    h.w().startUp();
    h.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.w()));

    h.w().GetColor_Click();
    QCOMPARE(h.messages, QStringList{kScreenUnreadable});
    QCOMPARE(h.code(), u"#0A0000"_s);
    QVERIFY(h.w().isVisible());
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(window->objectName() != u"FrmGetColor"_s);
}
