# SPDX-License-Identifier: MIT
"""The main window, the platform's colour chooser and the always-in-front
option driven as a user would: real X key and mouse events, read back through
the clipboard, the screen, Config.ini and the window manager's properties."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, wait_until  # noqa: E402

# Controls in client twips: left, top, width, height.
TEXT_RED = (3840, 480, 495, 270)
TEXT_GREEN_HEX = (4560, 840, 375, 270)
COLOR_BOX = (240, 1920, 615, 855)
COMBO1 = (1080, 2040, 2175, 300)
CHECK_KOMOZI = (1080, 2400, 2175, 255)
KEYS = ("Color/Red", "Color/Green", "Color/Blue", "Check/Komozi", "Use/NumberOfUse",
        "Setting/Top", "Position/Top", "Position/Left")


class MainWindow(unittest.TestCase):
    def replace_text(self, control, text):
        self.s.click_control(*control)
        self.s.key("End", "shift+Home")
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
        # The BODY editor from its toolbar button, the about box and the
        # options dialog by their access keys.
        bx, by = s.client_point(705, 180)  # the button's middle in client twips
        for xdo, close, title in ((["mousemove", str(bx), str(by), "click", "1"], "Escape",
                                   "^<BODY>の編集$"), (["key", "alt+h", "a"], "Return", "^バージョン情報$"),
                                  (["key", "alt+o", "c"], "Return", "^オプション$")):
            s.activate(s.main)
            s._run(["xdotool"] + xdo)
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
        s.click_control(*COLOR_BOX, clicks=2)  # the platform's chooser
        chooser = s.open_dialog()
        # "#0000C0" typed over its HTML field's text, then OK. Titles and
        # access keys change with the language: the field is the third stop
        # back from the basic colours, where the focus starts.
        s.key("shift+Tab", "shift+Tab", "shift+Tab", "ctrl+a", "numbersign", "0", "0", "0", "0",
              "C", "0", "Return")
        wait_until(lambda: not s.is_viewable(chooser), what="chooser closed")
        self.replace_text(TEXT_RED, "255")
        self.replace_text(TEXT_GREEN_HEX, "ab")
        self.copied("#FFABC0")
        wait_until(lambda: s.grab(s.client_point(540, 2340) + (1, 1)).hex() == "ffabc0",
                   what="the preview repainted")
        # An attribute name from the keyboard, then the whole text in lower case.
        self.replace_text(COMBO1, "bgcolor")
        self.copied('BGCOLOR="#FFABC0"')
        s.click_control(*CHECK_KOMOZI)
        self.copied('bgcolor="#ffabc0"')
        self.assertEqual(s.close_main_by_menu(), 0)
        first = [ini_value(s.config.read_text(), *key.split("/")) for key in KEYS]
        self.assertEqual(first[:6], ["255", "171", "192", "1", "1", "1"])
        s.start()
        self.copied("#ffabc0")
        s.close_main_by_menu()
        # The count goes up, and the frame is where it was at close.
        self.assertEqual([ini_value(s.config.read_text(), *key.split("/")) for key in KEYS],
                         first[:4] + ["2"] + first[5:])


if __name__ == "__main__":
    unittest.main()
