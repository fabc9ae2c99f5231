// SPDX-License-Identifier: MIT
// What the window picture and the end-to-end test do not show: the stored
// letter-case option, the colour rows' chooser, the copied tag and the
// contrast tips.
#include "body/frmbody.h"
#include "colour/colorbox.h"
#include "colour/csscolour.h"
#include "common/services.h"

#include "support/fakeclipboard.h"
#include "support/fakecolourchooser.h"
#include "support/fakesettingsstore.h"
#include "support/picture.h"

#include <QAction>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;
using colour::ColourValue;

namespace {

// The rows in the editor's order; "Text" names TextText, CmdText and LblText.
const QStringList kRows{u"Text"_s, u"Link"_s, u"Vlink"_s, u"Alink"_s, u"Bg"_s};
const QString kUpper = u"#000000 #0000FF #800080 #FF0000 #FFFFFF"_s;

struct Fixture
{
    FakeSettingsStore settings;
    FakeColourChooser chooser;
    FakeClipboard clipboard;
    Services services{&settings, &chooser, &clipboard, nullptr, {}};
};

const auto Child = [](const QWidget &window, const QString &name) {
    return window.findChild<QWidget *>(name);
};

/// The five codes (the first 39 characters), then what each row paints: its
/// caption's text, or the preview's background.
QString State(const QWidget &window)
{
    QStringList state;
    for (const QString &row : kRows)
        state << qobject_cast<QLineEdit *>(Child(window, u"Text"_s + row))->text();
    for (const QString &row : kRows.first(4))
        state << Child(window, u"Lbl"_s + row)->palette().color(QPalette::WindowText).name();
    const ColourValue background = static_cast<ColorBox *>(Child(window, u"PicBg"_s))->backColor();
    return state.join(u' ') + u' ' + QString::number(background, 16);
}

/// The contrast ratio in each text row's tip, which its caption and its code
/// box share (the tip's wording is the contrast functions' test).
QString Tips(const QWidget &window)
{
    QStringList tips;
    for (const QString &row : kRows.first(4)) {
        const QString tip = Child(window, u"Lbl"_s + row)->toolTip();
        tips << (tip == Child(window, u"Text"_s + row)->toolTip()
                     ? tip.section(u' ', 1).section(u'（', 0, 0)
                     : u"apart"_s);
    }
    return tips.join(u' ') + Child(window, u"TextBg"_s)->toolTip();
}

} // namespace

class FrmBodyTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }

    void letterCaseOption()
    {
        // Restored when the window opens, written once when it closes however
        // it closes: stored, clicked, how it closes, written. A click ticks an
        // unticked box and clears a ticked or greyed one.
        const std::tuple<int, bool, const char *, int> rows[] = {
            {-1, true, "CmdUnload", 1}, {1, true, "Esc", 0}, {2, false, "", 2}, {2, true, "", 0}};
        for (const auto &[stored, click, how, written] : rows) {
            Fixture f;
            if (stored >= 0)
                f.settings.values.insert(u"Body/Komozi"_s, QString::number(stored));
            {
                // A stored 1 lower-cases the codes (the click takes them back
                // to upper case); 2 leaves them.
                FrmBody dialog(f.services);
                dialog.show();
                QVERIFY(QTest::qWaitForWindowExposed(&dialog));
                if (click)
                    QTest::mouseClick(Child(dialog, u"CheckKomozi"_s), Qt::LeftButton);
                QCOMPARE(State(dialog).left(39), written == 1 ? kUpper.toLower() : kUpper);
                // Enter copies, in upper case only under option 0.
                QTest::keyClick(&dialog, Qt::Key_Return);
                const QString tag = u"<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" "
                                    u"VLINK=\"#800080\" ALINK =\"#FF0000\">"_s;
                QCOMPARE(f.clipboard.log,
                         (QStringList{u"clear"_s, u"set:"_s + (written ? tag.toLower() : tag)}));
                if (QByteArrayView(how) == "Esc")
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                else if (*how)
                    QTest::mouseClick(Child(dialog, QString::fromLatin1(how)), Qt::LeftButton);
                else
                    dialog.close(); // the title bar's close button
                QVERIFY(!dialog.isVisible());
                dialog.close(); // asked again once closed
                dialog.reject();
            }
            QCOMPARE(f.settings.log,
                     (QStringList{u"read Body/Komozi"_s, u"write Body/Komozi=%1"_s.arg(written)}));
        }
    }

    void rowColours()
    {
        // A cancel changes nothing; a confirmed colour becomes the row's code,
        // in upper case beside the lower-case defaults, and its preview colour.
        Fixture f;
        f.settings.values.insert(u"Body/Komozi"_s, u"1"_s);
        QStringList messages;
        f.services.feedback.message = [&](QWidget *, const QString &text) { messages << text; };
        FrmBody dialog(f.services);
        QCOMPARE(Tips(dialog), u"21.0:1 8.5:1 9.4:1 3.9:1"_s);
        // Each row gets a colour of its own, so one landing in another row's
        // place shows in the end state.
        const ColourValue chosen[] = {0x0C0B0A, 0, 0x030201, 0x0080FF, 0x777777};
        for (int row = 0; row < kRows.size(); ++row) {
            f.chooser.answers = {std::nullopt, chosen[row]};
            const QString before = State(dialog);
            QTest::mouseClick(Child(dialog, u"Cmd"_s + kRows[row]), Qt::LeftButton);
            QCOMPARE(State(dialog), before);
            QTest::mouseClick(Child(dialog, u"Cmd"_s + kRows[row]), Qt::LeftButton);
        }
        QCOMPARE(
            State(dialog),
            u"#0A0B0C #000000 #010203 #FF8000 #777777 #0a0b0c #000000 #010203 #ff8000 777777"_s);
        // The tips follow the text colours and the background.
        QCOMPARE(Tips(dialog), u"4.3:1 4.6:1 4.6:1 1.7:1"_s);
        // Each code in its place, all in the option's case.
        QTest::mouseClick(Child(dialog, u"CmdCopy"_s), Qt::LeftButton);
        QCOMPARE(f.clipboard.log.last(),
                 u"set:<body bgcolor=\"#777777\" text=\"#0a0b0c\" "
                 u"link=\"#000000\" vlink=\"#010203\" alink =\"#ff8000\">"_s);

        // Ctrl+V on a row's code box or button, or the code box's menu item,
        // sets that row's colour as its chooser does; a text that is no colour
        // changes nothing and says why.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const std::pair<const char16_t *, const char16_t *> pastes[] = {
            {u"TextLink", u"rgb(1 2 3)"}, {u"CmdBg", u"navy"}, {u"CmdText", u"no colour"}};
        for (const auto &[name, text] : pastes) {
            f.clipboard.content = QString::fromUtf16(text);
            Child(dialog, QString::fromUtf16(name))->setFocus();
            QTest::keyClick(Child(dialog, QString::fromUtf16(name)), Qt::Key_V,
                            Qt::ControlModifier);
        }
        f.clipboard.content = u"#ff8000"_s;
        dialog.findChild<QAction *>(u"TextVlink_paste"_s)->trigger();
        QCOMPARE(State(dialog), u"#0A0B0C #010203 #FF8000 #FF8000 #000080 #0a0b0c #010203 #ff8000 "
                                u"#ff8000 800000"_s);
        QCOMPARE(messages, QStringList{colour::ColourTextRefusedMessage(u"no colour"_s)});

        // The chooser opens on the row's colour, its default in a new window.
        FrmBody second(f.services);
        QTest::mouseClick(Child(second, u"CmdVlink"_s), Qt::LeftButton);
        QCOMPARE(f.chooser.initials,
                 (QList<ColourValue>{0, 0, 0xFF0000, 0xFF0000, 0x800080, 0x800080, 0x0000FF,
                                     0x0000FF, 0xFFFFFF, 0xFFFFFF, 0x800080}));
    }

    void windowAndControls()
    {
        Fixture f;
        FrmBody dialog(f.services);
        VERIFY_PICTURE(dialog, u"FrmBody"_s);
        for (const QString &row : kRows)
            QVERIFY(qobject_cast<QLineEdit *>(Child(dialog, u"Text"_s + row))->isReadOnly());
    }
};

QTEST_MAIN(FrmBodyTest)
#include "test_frmbody.moc"
