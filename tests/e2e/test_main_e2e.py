# SPDX-License-Identifier: MIT
"""The main window, the platform's colour chooser and the always-in-front
option driven as a user would: real X key and mouse events, read back through
the clipboard, the screen, Config.ini and the window manager's properties."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, wait_until  # noqa: E402

KEYS = ("Color/Red", "Color/Green", "Color/Blue", "Check/Komozi", "Use/NumberOfUse",
        "Setting/Top", "Position/Top", "Position/Left")


class MainWindow(unittest.TestCase):
    def replace_text(self, tabs, text):
        """Types text over a box the given number of Tab presses on."""
        self.s.key(*["Tab"] * tabs, "End", "shift+Home")
        self.s._run(["xdotool", "type", "--delay", "30", text])

    def copied(self, expected):
        self.s.key("Return")
        self.s.clipboard_becomes(expected)

    def test_modal_windows_typing_and_the_chooser_and_a_restart(self):
        s = self.s = Session("[Position]\r\nTop=1500\r\nLeft=3000\r\n[Setting]\r\nTop=1\r\n")
        self.addCleanup(s.close)
        s.start()

        def above():
            return "_NET_WM_STATE_ABOVE" in s._run(["xprop", "-id", s.main, "_NET_WM_STATE"])
        wait_until(above, what="main window above")
        # The BODY editor, the about box and the options dialog by their
        # access keys.
        for keys, close, title in ((("alt+e", "b"), "Escape", "^<BODY>の編集$"),
                                   (("alt+h", "a"), "Return", "^バージョン情報$"),
                                   (("alt+o", "c"), "Return", "^オプション$")):
            s.activate(s.main)
            s.key(*keys)
            # Centred over the main window; the frames differ (menu bar, tool
            # window title), so allow some slack.
            (x, y, w, h), (mx, my, mw, mh) = s.geometry(s.open_window(title)), s.geometry(s.main)
            self.assertLess(abs(x + w / 2 - mx - mw / 2), 20, title)
            self.assertLess(abs(y + h / 2 - my - mh / 2), 40, title)
            self.assertFalse(above())
            s.key(close)
            wait_until(lambda: not s.find_windows(title), what=title + " closed")
            # The BODY editor and the about box leave it out; the options
            # dialog, opened with the option ticked, puts it back at OK.
            wait_until(lambda: above() == (title == "^オプション$"), what="above after " + title)

        s.activate(s.main)
        self.copied("#000000")  # straight after a first start
        s.key("alt+i", "e")  # the platform's chooser, in Japanese
        chooser = s.open_dialog()
        self.assertEqual(s.find_windows("^色を選択$"), [chooser])
        # "#0000C0" typed over its HTML field's text, then OK. Titles and
        # access keys change with the language: the field is the third stop
        # back from the basic colours, where the focus starts.
        s.key("shift+Tab", "shift+Tab", "shift+Tab", "ctrl+a", "numbersign", "0", "0", "0", "0",
              "C", "0", "Return")
        wait_until(lambda: not s.is_viewable(chooser), what="chooser closed")
        # From the red slider, which has the focus, to the red decimal box,
        # then on to the green hexadecimal one.
        self.replace_text(3, "255")
        self.replace_text(7, "ab")
        self.copied("#FFABC0")
        wait_until(lambda: s.shows_colour(s.main, "#FFABC0"), what="the preview repainted")
        s.key("Tab", "Tab", "Tab", "space")  # on to 小文字でコピー, and tick it
        self.copied("#ffabc0")
        self.assertEqual(s.close_main_by_menu(), 0)
        first = [ini_value(s.config.read_text(), *key.split("/")) for key in KEYS]
        self.assertEqual(first[:6], ["255", "171", "192", "1", "1", "1"])
        s.start()
        self.copied("#ffabc0")
        s.close_main_by_menu()
        # The count goes up, and the frame is where it was at close.
        self.assertEqual([ini_value(s.config.read_text(), *key.split("/")) for key in KEYS],
                         first[:4] + ["2"] + first[5:])

    def test_settings_that_cannot_be_saved_are_told_of_once(self):
        # A Config.ini too large to be one the program wrote is never
        # rewritten. The first write (the count, at start) says so in a
        # message, read back through its copy to the clipboard; the close
        # says nothing more and ends.
        s = self.s = Session("; " + "x" * (4 << 20) + "\n[Color]\nRed=10\n")
        self.addCleanup(s.close)
        before = s.config.read_bytes()
        s.start()  # the message, which shows before the main window
        s.key("ctrl+c")  # the message box copies its caption and text
        s.clipboard_becomes("Vandrel\n\n設定を保存できませんでした。\n\nファイル: %s\n理由: 通常の"
                            "ファイルでないか、大きすぎるか、読めないため、書き換えません。" % s.config)
        s.key("Return")
        s.main = wait_until(lambda: [w for w in s.find_windows("^Vandrel$") if w != s.main],
                            what="the main window")[0]
        self.assertEqual(s.close_main_by_menu(), 0)
        self.assertEqual(s.config.read_bytes(), before)

if __name__ == "__main__":
    unittest.main()
