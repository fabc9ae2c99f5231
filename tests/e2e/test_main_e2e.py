# SPDX-License-Identifier: MIT
"""The main window, the BODY tag editor and the always-in-front option driven
as a user would: real X key and mouse events, read back through the clipboard,
screenshots and the window manager's properties."""
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
# The BODY tag editor's, and a point inside its preview below the lowest caption.
BODY_BG = (3000, 1800, 615, 255)
BODY_UNLOAD = (2520, 2160, 1095, 375)
BODY_PREVIEW = (200, 1635)
BODY_TITLE = "^<BODY>の編集$"
TOOLBAR_BODY = (47, 12)  # the middle of the button in the main window's client pixels
ABOVE = "_NET_WM_STATE_ABOVE"


class MainWindow(unittest.TestCase):
    def setUp(self):
        self.s = Session()
        self.addCleanup(self.s.close)

    def replace_text(self, control, text):
        self.s.click_control(*control)
        self.s.key("End", "shift+Home")
        self.s.type(text)

    def copied(self, expected):
        self.s.key("Return")
        self.s.clipboard_becomes(expected)

    def preview(self, window=None):
        spot = BODY_PREVIEW if window else (COLOR_BOX[0] + 300, COLOR_BOX[1] + 420)
        return self.s.pixel(*self.s.client_point(*spot, window=window, menu=window is None))

    def test_typing_copies_and_a_restart_restores_the_state(self):
        s = self.s
        s.write_config("[Position]\r\nTop=1500\r\nLeft=3000\r\n")
        s.start()
        self.copied("#000000")  # straight after a first start
        self.replace_text(TEXT_RED, "255")
        self.replace_text(TEXT_GREEN_HEX, "ab")
        self.copied("#FFAB00")
        self.assertEqual(self.preview(), "FFAB00")
        # An attribute name from the keyboard, then the whole text in lower case.
        self.replace_text(COMBO1, "bgcolor")
        self.copied('BGCOLOR="#FFAB00"')
        s.click_control(*CHECK_KOMOZI)
        self.copied('bgcolor="#ffab00"')
        self.assertEqual(s.close_main_by_menu(), 0)
        first = s.read_config()
        self.assertEqual([ini_value(first, *key) for key in (
            ("Color", "Red"), ("Color", "Green"), ("Color", "Blue"), ("Check", "Komozi"),
            ("Use", "NumberOfUse"))], ["255", "171", "0", "1", "1"], first)
        s.start()
        self.copied("#ffab00")
        self.assertEqual(self.preview(), "FFAB00")
        s.close_main_by_menu()
        # The frame is where it was at close.
        second = s.read_config()
        for key in ("Top", "Left"):
            self.assertEqual(ini_value(second, "Position", key), ini_value(first, "Position", key))
        self.assertEqual(ini_value(second, "Use", "NumberOfUse"), "2")

    def test_body_editor_with_the_system_chooser(self):
        s = self.s
        s.start()
        x, y = s.client_point(0, 0)
        for colour in ("FF8000", "FFFFFF"):  # reopened, it starts at the defaults again
            s.click_at(x + TOOLBAR_BODY[0], y + TOOLBAR_BODY[1])
            body = s.open_window(BODY_TITLE)
            s.assert_centred_over_main(body)
            self.assertEqual(self.preview(body), "FFFFFF")
            if colour == "FFFFFF":
                break
            s.click_control(*BODY_BG, window=body)
            s.open_window("^Select Colou?r$")  # the platform's chooser, its HTML field typed
            s.key("alt+h", "ctrl+a")
            s.type("#" + colour)
            s.key("Return")
            s.gone("^Select Colou?r$")
            wait_until(lambda: self.preview(body) == colour, what="orange preview")
            s.click_at(*s.client_point(*BODY_PREVIEW, window=body, menu=False))  # not on a button
            self.copied('<BODY BGCOLOR="#FF8000" TEXT="#000000" LINK="#0000FF" '
                        'VLINK="#800080" ALINK ="#FF0000">')
            s.click_control(*BODY_UNLOAD, window=body)
            s.gone(BODY_TITLE)
        s.key("Escape")
        s.gone(BODY_TITLE)
        self.assertEqual(s.close_main_by_menu(), 0)

    def test_modal_windows_take_always_in_front_out_and_options_put_it_back(self):
        s = self.s
        s.write_config("[Setting]\nTop=1\n")
        s.start()

        def above():
            return ABOVE in s._run(["xprop", "-id", s.main, "_NET_WM_STATE"], check=False)
        wait_until(above, what="main window above")
        for menu, title in (("alt+h", "^バージョン情報$"), ("alt+o", "^オプション$")):
            s.activate(s.main)
            s.key(menu, "a" if menu == "alt+h" else "c")
            s.assert_centred_over_main(s.open_window(title))
            self.assertFalse(above())
            s.key("Return")
            s.gone(title)
            if menu == "alt+h":
                self.assertFalse(above())  # the about box leaves it out
        # The options dialog, opened with the option ticked, puts it back at OK.
        wait_until(above, what="main window above again")
        self.assertEqual(s.close_main_by_menu(), 0)
        self.assertEqual(ini_value(s.read_config(), "Setting", "Top"), "1")


if __name__ == "__main__":
    unittest.main()
