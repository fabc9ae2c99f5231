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

TEST(ClipboardText, FormsAndCase)
{
    // name, code, letter case, clipboard text; the bare code, the plain
    // upper- and lower-case forms and the CSS forms of #FF8000 are the
    // end-to-end tests'. The CSS texts'
    // decimals are the fewest that convert back within 0.25 of each channel
    // (the round trip over all colours tests that bound and a grey's hue, a
    // browser the rest).
    const std::tuple<const char16_t *, const char16_t *, int, const char16_t *> cases[] = {
        {u"なし", u"#aBcDeF", 1, u"#aBcDeF"},  // the bare code exactly as shown, in either case
        {u"", u"#00FF80", 0, u"=\"#00FF80\""}, // an empty name is not "なし"
        {u"Color", u"#FF8000", 2, u"color=\"#ff8000\""}, // greyed copies in lower case
        {u"なし ", u"#FF8000", 1, u"なし =\"#ff8000\""}, // only the exact name is "none"
        {u"ＡＢ", u"#FF8000", 1, u"ａｂ=\"#ff8000\""},   // the platform's case rules
        {u"rgb", u"#FF8000", 0, u"RGB=\"#FF8000\""},     // no brackets: an attribute
        // A property keeps its name as typed, trailing blanks left off; the
        // letter case is the code's alone.
        {u"Border-Color :  ", u"#ff8000", 0, u"Border-Color : #FF8000;"},
        {u"--brand:", u"#AbCdEf", 2, u"--brand: #abcdef;"},
        {u" RGB() ", u"#FF8000", 1, u"rgb(255 128 0)"},
        {u"oklch()", u"#FF0000", 0, u"oklch(62.8% 0.2577 29.23)"},
        {u"oklch()", u"#FF800", 0, u"#FF800"}, // half-typed: the code as it stands
    };
    for (const auto &[name, code, letterCase, expected] : cases)
        EXPECT_EQ(ClipboardText(QString::fromUtf16(name), QString::fromUtf16(code),
                                colour::LetterCaseFromStored(letterCase)),
                  QString::fromUtf16(expected))
            << QString::fromUtf16(name).toStdString();
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

TEST(RecentColours, OrderOnceEachLimitAndBadStoredEntries)
{
    // Stored "key=value;...", colours then used (0xBBGGRR), the list newest
    // first. How the list is written is the main window's test.
    const std::tuple<const char16_t *, std::vector<colour::ColourValue>, const char16_t *> cases[] =
        {
            {u"", {}, u""}, // a file from before there was a history
            {u"1=#FF8000;2=#00ff80;3= #0A0B0C ", {}, u"#FF8000 #00FF80 #0A0B0C"},
            {u"1=#GG0000;2=FF8000;3=#FF80000;4=#FF80;5=;6=#ＦＦ0000;9=#123456;17=#000001",
             {},
             u"#123456"},
            {u"2=#000001;3=#abcdef;4=#ABCDEF",
             {0xFF, 0xFF00, 0xFF}, // one entry per colour
             u"#FF0000 #00FF00 #000001 #ABCDEF"},
        };
    for (const auto &[stored, used, listed] : cases) {
        FakeSettingsStore store;
        for (const QString &pair : QString::fromUtf16(stored).split(u';', Qt::SkipEmptyParts))
            store.values.insert(u"History/"_s + pair.section(u'=', 0, 0), pair.section(u'=', 1));
        RecentColours recent = RecentColours::Read(store);
        for (const colour::ColourValue value : used)
            recent.use(value);
        QStringList codes;
        for (const colour::ColourValue value : recent.colours())
            codes << StoredColourCode(value);
        EXPECT_EQ(codes.join(u' '), QString::fromUtf16(listed));
    }
    // Seventeen colours: the oldest drops out.
    RecentColours recent;
    for (colour::ColourValue value = 1; value <= 17; ++value)
        recent.use(value);
    EXPECT_EQ(recent.colours().size(), RecentColours::kLimit);
    EXPECT_EQ(std::pair(recent.colours().front(), recent.colours().back()), std::pair(17u, 2u));
}

TEST(CommandLine, OptionsAndMistakes)
{
    // Arguments after the program's name; what they ask for: the action, then
    // the format, --lower and --copy, or the start of the text shown.
    const std::pair<QStringList, const char16_t *> cases[] = {
        {{}, u"window なし"},
        {{u"--pick"_s, u"--help"_s}, u"help Usage: vandrel"},
        {{u"--version"_s}, u"version vandrel (Vandrel) "},
        {{u"--bogus"_s}, u"error Unknown option 'bogus'"},
        {{u"--pick"_s, u"--format"_s}, u"error Missing value after '--format'"},
        {{u"--copy"_s}, u"error --format, --lower and --copy go with --pick"},
        {{u"--pick"_s, u"red"_s}, u"error unexpected argument 'red'"},
    };
    const char16_t *const actions[] = {u"window", u"pick", u"help", u"version", u"error"};
    for (const auto &[arguments, expected] : cases) {
        const CommandLine c = ParseCommandLine(QStringList{u"vandrel"_s} + arguments);
        const QString action = QString::fromUtf16(actions[static_cast<int>(c.action)]) + u' ';
        const QString seen = c.text.isEmpty()
                                 ? action + c.format + (c.lower ? u" lower"_s : QString()) +
                                       (c.copy ? u" copy"_s : QString())
                                 : (action + c.text).left(QStringView(expected).size());
        EXPECT_EQ(seen, QString::fromUtf16(expected)) << arguments.join(u' ').toStdString();
    }
}

} // namespace
