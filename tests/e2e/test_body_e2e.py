# SPDX-License-Identifier: MIT
"""The BODY tag editor, opened from the main window's toolbar and driven with
real X key and mouse events."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, wait_until  # noqa: E402

# Toolbar buttons, as the middle of each in the main window's client pixels
# (the toolbar lies under the menu bar).
TOOLBAR_BODY = (47, 12)

# Controls of the BODY tag editor in its client twips: left, top, width, height.
CMD_BG = (3000, 1800, 615, 255)
CHECK_KOMOZI = (120, 2160, 1095, 375)
CMD_UNLOAD = (2520, 2160, 1095, 375)
# A point inside the preview, below the lowest caption.
PREVIEW_SPOT = (200, 1635)

BODY_TITLE = "^<BODY>の編集$"
CHOOSER_TITLE = "^Select Colou?r$"

LOWER_DEFAULTS = ('<body bgcolor="#ffffff" text="#000000" link="#0000ff" vlink="#800080" '
                  'alink ="#ff0000">')


class Dialogs(unittest.TestCase):
    def setUp(self):
        self.s = Session()
        self.addCleanup(self.s.close)

    # --- helpers ----------------------------------------------------------
    def toolbar(self, button):
        x, y = self.s.client_point(0, 0)
        self.s.click_at(x + button[0], y + button[1])

    def open_window(self, button, title):
        self.toolbar(button)
        window = wait_until(lambda: self.s.find_window(title), what=title)
        wait_until(lambda: self.s.is_viewable(window), what=title + " mapped")
        self.s.activate(window)
        return window

    def gone(self, title):
        wait_until(lambda: not self.s.find_windows(title), what=title + " closed")

    def click_in(self, window, control):
        left, top, width, height = control
        x, y = self.s.client_point(left + width // 2, top + height // 2, window=window,
                                   menu=False)
        self.s.click_at(x, y)

    def preview_colour(self, window):
        x, y = self.s.client_point(*PREVIEW_SPOT, window=window, menu=False)
        return self.s.pixel(x, y)

    # --- tests ------------------------------------------------------------
    def test_choose_tick_copy_close_and_reopen(self):
        s = self.s
        s.start()
        body = self.open_window(TOOLBAR_BODY, BODY_TITLE)
        self.s.assert_centred_over_main(body)
        self.assertEqual(self.preview_colour(body), "FFFFFF")

        # The background row through the system chooser: type into its HTML field.
        self.click_in(body, CMD_BG)
        chooser = wait_until(lambda: s.find_window(CHOOSER_TITLE), what="colour chooser")
        wait_until(lambda: s.is_viewable(chooser), what="colour chooser mapped")
        s.activate(chooser)
        s.key("alt+h", "ctrl+a")
        s.type("#FF8000")
        s.key("Return")
        self.gone(CHOOSER_TITLE)
        wait_until(lambda: self.preview_colour(body) == "FF8000", what="orange preview")

        self.click_in(body, CHECK_KOMOZI)
        s.activate(body)
        s.key("Return")
        s.clipboard_becomes('<body bgcolor="#ff8000" text="#000000" link="#0000ff" '
                            'vlink="#800080" alink ="#ff0000">')

        self.click_in(body, CMD_UNLOAD)
        self.gone(BODY_TITLE)
        self.assertEqual(ini_value(s.read_config(), "Body", "Komozi"), "1")

        # Reopened: the option as it was, the codes and the preview back at
        # their defaults; Esc closes it.
        body = self.open_window(TOOLBAR_BODY, BODY_TITLE)
        self.assertEqual(self.preview_colour(body), "FFFFFF")
        s.key("Return")
        s.clipboard_becomes(LOWER_DEFAULTS)
        s.key("Escape")
        self.gone(BODY_TITLE)
        self.assertEqual(s.close_main_by_menu(), 0)


if __name__ == "__main__":
    unittest.main()
