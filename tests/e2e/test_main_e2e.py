# SPDX-License-Identifier: MIT
"""The main window driven as a user would: real X key and mouse events."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, px, wait_until, MENU_BAR_HEIGHT  # noqa: E402

# Controls in client twips: left, top, width, height.
TEXT_RED = (3840, 480, 495, 270)
TEXT_BLUE = (3840, 1200, 495, 270)
TEXT_GREEN_HEX = (4560, 840, 375, 270)
TEXT_RED_HEX = (4560, 480, 375, 270)
COLOR_BOX = (240, 1920, 615, 855)
COMBO1 = (120 + 960, 1560 + 480, 2175, 300)
CHECK_KOMOZI = (120 + 840 + 120, 1560 + 240 + 600, 2175, 255)


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
        return self.s.clipboard_becomes(expected)

    def preview_colour(self):
        x, y = self.s.client_point(COLOR_BOX[0] + COLOR_BOX[2] // 2,
                                   COLOR_BOX[1] + COLOR_BOX[3] // 2)
        return self.s.pixel(x, y)

    def test_typing_sets_the_colour_and_enter_copies(self):
        s = self.s
        s.start()
        self.assertEqual(ini_value(s.read_config(), "Use", "NumberOfUse"), "1")
        # A copy straight after a first start gives the colour's code.
        self.copied("#000000")

        self.replace_text(TEXT_RED, "255")
        self.replace_text(TEXT_GREEN_HEX, "80")
        self.copied("#FF8000")
        self.assertEqual(self.preview_colour(), "FF8000")

        # Ctrl+V and letters typed into a decimal box change nothing.
        s.set_clipboard("123")
        s.click_control(*TEXT_BLUE)
        s.key("End", "shift+Home", "ctrl+v")
        s.type("ab-")
        s.activate(s.main)
        self.copied("#FF8000")

        # A typed 300: the message, and after OK the box is back as it was.
        s.click_control(*TEXT_GREEN_HEX)  # take the caret out of the red box
        shot = s.screenshot()
        x, y = s.client_point(TEXT_RED[0], TEXT_RED[1])
        before = s.crop(shot, x, y, px(TEXT_RED[2]), px(TEXT_RED[3]))
        self.replace_text(TEXT_RED, "300")
        wait_until(lambda: len(s.find_windows("^Vandrel$")) == 2, what="message box")
        s.key("Return")
        wait_until(lambda: len(s.find_windows("^Vandrel$")) == 1, what="message box closed")
        s.click_control(*TEXT_GREEN_HEX)
        after = s.crop(s.screenshot(), x, y, px(TEXT_RED[2]), px(TEXT_RED[3]))
        self.assertTrue(s.same_image(before, after), "the red box shows what it showed before")
        self.copied("#FF8000")

        # An attribute name from the keyboard, then the whole text in upper case.
        self.replace_text(COMBO1, "bgcolor")
        self.copied('BGCOLOR="#FF8000"')
        s.click_control(*CHECK_KOMOZI)
        self.copied('bgcolor="#ff8000"')

    def test_close_and_restart_restore_the_state(self):
        s = self.s
        s.write_config("[Position]\r\nTop=1500\r\nLeft=3000\r\n")
        s.start()
        x, y, _, _ = s.geometry(s.main)
        self.replace_text(TEXT_RED_HEX, "12")
        self.replace_text(TEXT_GREEN_HEX, "ab")
        s.click_control(*CHECK_KOMOZI)
        self.assertEqual(s.close_main_by_menu(), 0)
        text = s.read_config()
        for section, key, value in (("Color", "Red", "18"), ("Color", "Green", "171"),
                                    ("Color", "Blue", "0"), ("Check", "Komozi", "1"),
                                    ("Position", "ColorP", "0"), ("Setting", "Top", "0"),
                                    ("Setting", "HideDokodemo", "0"), ("Use", "NumberOfUse", "1")):
            self.assertEqual(ini_value(text, section, key), value, (section, key, text))
        top = int(ini_value(text, "Position", "Top"))
        left = int(ini_value(text, "Position", "Left"))

        s.start()
        self.copied("#12ab00")
        self.assertEqual(self.preview_colour(), "12AB00")
        # The frame is where it was at close.
        s.close_main_by_menu()
        text = s.read_config()
        self.assertEqual(int(ini_value(text, "Position", "Top")), top)
        self.assertEqual(int(ini_value(text, "Position", "Left")), left)
        self.assertEqual(ini_value(text, "Use", "NumberOfUse"), "2")
        self.assertGreater(y, 0)
        self.assertGreater(x, 0)


if __name__ == "__main__":
    unittest.main()
