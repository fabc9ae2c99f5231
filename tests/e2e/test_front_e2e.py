# SPDX-License-Identifier: MIT
"""The always-in-front option as the window manager sees it (_NET_WM_STATE),
and the modal windows that leave and restore it, centred over the main window."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, wait_until  # noqa: E402

ABOVE = "_NET_WM_STATE_ABOVE"


class AlwaysInFront(unittest.TestCase):
    def test_modal_windows_take_it_out_and_options_put_it_back(self):
        with Session(config="[Setting]\nTop=1\n") as s:
            main = s.start()
            wait_until(lambda: ABOVE in s.net_wm_state(main), what="main window above")

            # The about box: the main window leaves the layer and stays out.
            s.key("alt+h")
            s.key("a")
            about = wait_until(lambda: s.find_window(u"^バージョン情報$"), what="about box")
            wait_until(lambda: s.is_viewable(about), what="about box mapped")
            s.assert_centred_over_main(about)
            self.assertNotIn(ABOVE, s.net_wm_state(main))
            s.activate(about)
            s.key("Return")
            wait_until(lambda: not s.find_window(u"^バージョン情報$"), what="about box closed")
            self.assertNotIn(ABOVE, s.net_wm_state(main))

            # The options dialog opens with the option ticked; OK puts it back.
            s.activate(main)
            s.key("alt+o")
            s.key("c")
            options = wait_until(lambda: s.find_window(u"^オプション$"), what="options dialog")
            wait_until(lambda: s.is_viewable(options), what="options dialog mapped")
            s.assert_centred_over_main(options)
            s.activate(options)
            s.key("Return")
            wait_until(lambda: not s.find_window(u"^オプション$"), what="options closed")
            wait_until(lambda: ABOVE in s.net_wm_state(main), what="main window above again")
            self.assertEqual(s.close_main_by_menu(), 0)
            self.assertEqual(ini_value(s.read_config(), "Setting", "Top"), "1")


if __name__ == "__main__":
    unittest.main()
