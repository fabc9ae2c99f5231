// SPDX-License-Identifier: MIT
#include "support/fakesettingsstore.h"

#include "common/recentcolours.h"
#include "main/clipboardtext.h"
#include "main/commandline.h"
#include "main/platformchoice.h"
#include "main/windowplacement.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

TEST(ClipboardText, AttributeFormsAndCase)
{
    // name, code, letter case, clipboard text; the bare code and the plain
    // upper- and lower-case forms are the end-to-end test's.
    const std::tuple<const char16_t *, const char16_t *, int, const char16_t *> cases[] = {
        {u"なし", u"#aBcDeF", 1, u"#aBcDeF"},  // the bare code exactly as shown, in either case
        {u"", u"#00FF80", 0, u"=\"#00FF80\""}, // an empty name is not "なし"
        {u"Color", u"#FF8000", 2, u"color=\"#ff8000\""}, // greyed copies in lower case
        {u"なし ", u"#FF8000", 1, u"なし =\"#ff8000\""}, // only the exact name is "none"
        {u"ＡＢ", u"#FF8000", 1, u"ａｂ=\"#ff8000\""},   // the platform's case rules
    };
    for (const auto &[name, code, letterCase, expected] : cases)
        EXPECT_EQ(ClipboardText(QString::fromUtf16(name), QString::fromUtf16(code),
                                colour::LetterCaseFromStored(letterCase)),
                  QString::fromUtf16(expected))
            << QString::fromUtf16(name).toStdString();
    EXPECT_EQ(AttributeNames().join(u' '),
              QStringLiteral(u"なし BGCOLOR LINK ALINK VLINK COLOR "
                             "BORDERCOLOR BORDERCOLORLIGHT BORDERCOLORDARK"));
}

TEST(WindowPlacement, ReachablePositionsAreKept)
{
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const std::pair<QPoint, QPoint> cases[] = {
        {{2500, 100}, {2500, 100}},   // on the second screen
        {{-200, 100}, {-200, 100}},   // partly off the left edge, title bar reachable
        {{1800, 1060}, {1800, 1060}}, // only a corner shows, but enough to grab
        {{1900, 1070}, {1583, 840}},  // too little of the top edge shows
        {{-5000, 300}, {0, 300}},     // far off to the left
        {{4000, 300}, {1583, 300}},   // right of every screen: back on the first
        {{100, -400}, {100, 0}},      // title bar above the top
        {{100, 5000}, {100, 840}},    // below the bottom
    };
    for (const auto &[stored, expected] : cases)
        EXPECT_EQ(ReachablePosition(QRect(stored, QSize(337, 240)), screens), expected)
            << stored.x() << "," << stored.y();
    EXPECT_EQ(ReachablePosition(QRect(-9000, -9000, 337, 240), {}), QPoint(-9000, -9000));
}

TEST(PlatformChoice, XwaylandWhereItRunsAndTheUsersChoiceFirst)
{
    // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY; the platform
    // asked for. X11, and Wayland with and without Xwayland, are the end-to-end tests'.
    const std::pair<DesktopEnvironment, const char *> cases[] = {
        {{"", "", "", ""}, ""},                          // nothing known: Qt's own choice
        {{"", "wayland-1", "", ":1"}, "xcb;wayland"},    // the socket alone tells
        {{"", "", "wayland", ":0"}, "xcb;wayland"},      // the session type alone tells
        {{"wayland", "wayland-0", "wayland", ":0"}, ""}, // the user's choice wins
    };
    for (const auto &[environment, expected] : cases)
        EXPECT_EQ(ChooseQtPlatform(environment), QByteArray(expected))
            << environment.waylandDisplay.constData() << " " << environment.x11Display.constData();
}

/// The list as stored codes, newest first, blank-separated.
QString Codes(const RecentColours &recent)
{
    QStringList codes;
    for (const colour::ColourValue value : recent.colours())
        codes << StoredColourCode(value);
    return codes.join(u' ');
}

TEST(RecentColours, NewestFirstOnceEachAtMostSixteen)
{
    // Colours used, in order (0xRRGGBB written as the code reads), and the list.
    const std::pair<std::vector<colour::ColourValue>, const char16_t *> cases[] = {
        {{}, u""},
        {{0x0000FF, 0x00FF00}, u"#00FF00 #FF0000"},
        {{1, 2, 1}, u"#010000 #020000"}, // used again: to the top, not twice
        {{1, 1}, u"#010000"},
    };
    for (const auto &[used, expected] : cases) {
        RecentColours recent;
        for (const colour::ColourValue value : used)
            recent.use(value);
        EXPECT_EQ(Codes(recent), QString::fromUtf16(expected));
    }
    // Seventeen colours: the first one drops out; one used again stays.
    RecentColours recent;
    for (colour::ColourValue value = 1; value <= 17; ++value)
        recent.use(value);
    recent.use(5);
    EXPECT_EQ(recent.colours().size(), RecentColours::kLimit);
    EXPECT_EQ(recent.colours().front(), 5u);
    EXPECT_FALSE(recent.colours().contains(1u));
    EXPECT_TRUE(recent.colours().contains(2u));
}

TEST(RecentColours, StoredEntriesReadBackAndBadOnesSkipped)
{
    // What the file holds (History/<key>=<value>;...), and the list read from it.
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"", u""}, // a file from before there was a history
        {u"1=#FF8000;2=#00ff80;3= #0A0B0C ", u"#FF8000 #00FF80 #0A0B0C"},
        {u"1=#GG0000;2=FF8000;3=#FF80000;4=#FF80;5=;6=#ＦＦ0000;7=#123456", u"#123456"},
        {u"2=#000001;16=#000002;17=#000003;0=#000004", u"#000001 #000002"}, // gaps; 1..16 only
        {u"1=#ABCDEF;2=#abcdef;3=#000000", u"#ABCDEF #000000"},             // one entry per colour
    };
    for (const auto &[stored, expected] : cases) {
        FakeSettingsStore store;
        for (const QString &pair : QString::fromUtf16(stored).split(u';', Qt::SkipEmptyParts))
            store.values.insert(u"History/"_s + pair.section(u'=', 0, 0), pair.section(u'=', 1));
        EXPECT_EQ(Codes(RecentColours::Read(store)), QString::fromUtf16(expected))
            << QString::fromUtf16(stored).toStdString();
    }
}

TEST(RecentColours, WrittenUnderOneToSixteenEmptyingWhatIsLeft)
{
    FakeSettingsStore store;
    store.values.insert(u"History/2"_s, u"#000001"_s);
    store.values.insert(u"History/3"_s, u"#000002"_s);
    RecentColours recent;
    recent.use(0x563412);
    recent.write(store);
    // Key 2 held a colour and is emptied; the keys that held nothing stay out.
    EXPECT_EQ(store.log.filter(u"write"_s).join(u' '),
              u"write History/1=#123456 write History/2= write History/3="_s);
    EXPECT_EQ(Codes(RecentColours::Read(store)), u"#123456"_s);
}

TEST(CommandLine, OptionsAndMistakes)
{
    // Arguments after the program's name; what they ask for as action, format,
    // lower, copy; and the start of the text shown.
    using Action = CommandLine::Action;
    struct Case
    {
        QStringList arguments;
        Action action;
        const char16_t *format;
        bool lower;
        bool copy;
        const char16_t *text;
    };
    const Case cases[] = {
        {{}, Action::Window, u"なし", false, false, u""},
        {{u"--pick"_s}, Action::Pick, u"なし", false, false, u""},
        {{u"--pick"_s, u"--format"_s, u"rgb()"_s, u"--lower"_s, u"--copy"_s},
         Action::Pick,
         u"rgb()",
         true,
         true,
         u""},
        {{u"--format=BGCOLOR"_s, u"--pick"_s}, Action::Pick, u"BGCOLOR", false, false, u""},
        {{u"--pick"_s, u"--format"_s, u""_s}, Action::Pick, u"", false, false, u""},
        {{u"--help"_s, u"--pick"_s}, Action::Help, u"なし", false, false, u"Usage: vandrel"},
        {{u"-h"_s}, Action::Help, u"なし", false, false, u"Usage: vandrel"},
        {{u"--version"_s}, Action::Version, u"なし", false, false, u"vandrel (Vandrel) "},
        {{u"--bogus"_s}, Action::Error, u"なし", false, false, u"Unknown option 'bogus'"},
        {{u"--pick"_s, u"--format"_s}, Action::Error, u"なし", false, false, u"Missing value"},
        {{u"--copy"_s}, Action::Error, u"なし", false, false, u"--format, --lower and --copy"},
        {{u"--pick"_s, u"red"_s}, Action::Error, u"なし", false, false, u"unexpected argument"},
    };
    for (const Case &c : cases) {
        const CommandLine command = ParseCommandLine(QStringList{u"vandrel"_s} + c.arguments);
        const std::string what = c.arguments.join(u' ').toStdString();
        EXPECT_EQ(command.action, c.action) << what;
        EXPECT_EQ(command.format, QString::fromUtf16(c.format)) << what;
        EXPECT_EQ(std::pair(command.lower, command.copy), std::pair(c.lower, c.copy)) << what;
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(command.text.left(text.size()), text) << what;
    }
}

} // namespace
