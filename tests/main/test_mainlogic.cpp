// SPDX-License-Identifier: MIT
#include "main/clipboardtext.h"
#include "main/platformchoice.h"
#include "main/windowplacement.h"

#include <gtest/gtest.h>

namespace {

TEST(ClipboardText, AttributeFormsAndCase)
{
    struct Case
    {
        const char16_t *name;
        const char16_t *code;
        int letterCase;
        const char16_t *expected;
    };
    const Case cases[] = {
        {u"なし", u"#aBcDeF", 1, u"#aBcDeF"}, // the bare code exactly as shown, in either case
        {u"BGCOLOR", u"#FF8000", 0, u"BGCOLOR=\"#FF8000\""},
        {u"BGCOLOR", u"#FF8000", 1, u"bgcolor=\"#ff8000\""},
        {u"", u"#00FF80", 0, u"=\"#00FF80\""}, // an empty name is not "なし"
        {u"width", u"#FF8000", 0, u"WIDTH=\"#FF8000\""},
        {u"Color", u"#FF8000", 2, u"color=\"#ff8000\""}, // greyed copies in lower case
        {u"なし ", u"#FF8000", 1, u"なし =\"#ff8000\""}, // only the exact name is "none"
        {u"ＡＢ", u"#FF8000", 1, u"ａｂ=\"#ff8000\""},   // the platform's case rules
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClipboardText(QString::fromUtf16(c.name), QString::fromUtf16(c.code),
                                colour::LetterCaseFromStored(c.letterCase)),
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.name).toStdString();
}

TEST(ClipboardText, AttributeListInOrder)
{
    EXPECT_EQ(AttributeNames().join(u' '),
              QStringLiteral(u"なし BGCOLOR LINK ALINK VLINK COLOR "
                             "BORDERCOLOR BORDERCOLORLIGHT BORDERCOLORDARK"));
}

TEST(WindowPlacement, ReachablePositionsAreKept)
{
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QSize size(337, 240);
    struct Case
    {
        QPoint stored;
        QPoint expected;
    };
    const Case cases[] = {
        {{100, 200}, {100, 200}},     {{2500, 100}, {2500, 100}}, // on the second screen
        {{-200, 100}, {-200, 100}},   // partly off the left edge, title bar reachable
        {{1800, 1060}, {1800, 1060}}, // only a corner shows, but enough to grab
        {{1900, 1070}, {1583, 840}},  // too little of the top edge shows
        {{-5000, 300}, {0, 300}},     // far off to the left
        {{4000, 300}, {1583, 300}},   // right of every screen: back on the first
        {{100, -400}, {100, 0}},      // title bar above the top
        {{100, 5000}, {100, 840}},    // below the bottom
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReachablePosition(QRect(c.stored, size), screens), c.expected)
            << c.stored.x() << "," << c.stored.y();
    EXPECT_EQ(ReachablePosition(QRect(QPoint(-9000, -9000), size), {}), QPoint(-9000, -9000));
}

TEST(PlatformChoice, XwaylandWhereItRunsAndTheUsersChoiceFirst)
{
    struct Case
    {
        // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY
        DesktopEnvironment environment;
        const char *expected;
    };
    const Case cases[] = {
        {{"", "", "x11", ":0"}, ""}, // X11: Qt's own choice
        {{"", "", "", ""}, ""},      // nothing known: Qt's own choice
        {{"", "wayland-0", "wayland", ":0"}, "xcb;wayland"},
        {{"", "wayland-1", "", ":1"}, "xcb;wayland"},    // the socket alone tells
        {{"", "", "wayland", ":0"}, "xcb;wayland"},      // the session type alone tells
        {{"", "wayland-0", "wayland", ""}, "wayland"},   // no Xwayland
        {{"wayland", "wayland-0", "wayland", ":0"}, ""}, // the user's choice wins
    };
    for (const Case &c : cases)
        EXPECT_EQ(ChooseQtPlatform(c.environment), QByteArray(c.expected))
            << c.environment.waylandDisplay.constData() << " "
            << c.environment.x11Display.constData();
}

} // namespace
