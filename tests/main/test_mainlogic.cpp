// SPDX-License-Identifier: MIT
#include "main/clipboardtext.h"
#include "main/platformchoice.h"
#include "main/windowplacement.h"

#include <gtest/gtest.h>

#include <tuple>

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

} // namespace
