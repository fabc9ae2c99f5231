# SPDX-License-Identifier: MIT
"""The screen eyedropper, its loupe and the palette window on a real X server:
started from the main window's keys or menu, or from the command line,
driven with real pointer and key events, the screen read back, and the picked
colour read back through the clipboard (Ctrl+C copies the code while the
attribute combo shows "なし") or the program's output and exit status; and
windows stored off the screen brought back wholly onto it. A write on a full
disk is the settings store's test, the message it brings the main window's;
which box keeps Ctrl+C and Ctrl+P, and the recent colours, are the window
tests'."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, wait_until  # noqa: E402


SPOT = (5, 5)  # a pixel of the desktop


class Pickers(unittest.TestCase):
    def pick(self, *options, act):
        proc = self.s._spawn([self.s.binary, "--pick"] + list(options), stdout=subprocess.PIPE)
        self.s.wait_eyedropper(keys=True)
        act()
        return proc.communicate(timeout=30)[0].decode(), proc.returncode

    def test_hidden_main_window_loupe_keys_and_pick(self):
        # A picture whose every pixel differs from its neighbours lies under
        # the main window, which opens at the top-left and hides itself while
        # the eyedropper runs.
        s = Session("[Setting]\nHideDokodemo=1\n")
        self.addCleanup(s.close)
        ppm = os.path.join(s.tmp, "patch.ppm")
        pixels = bytes(c for row in range(120) for column in range(160)
                       for c in ((column * 5) & 0xFF, row * 2, 0x40))
        with open(ppm, "wb") as f:
            f.write(b"P6 160 120 255\n" + pixels)
        s._spawn(["display", "-title", "patch", "-geometry", "+0+0", ppm])
        patch_window = s.open_window("^patch$")
        patch = s.geometry(patch_window)
        wait_until(lambda: s.grab(patch[:2] + (160, 120)) == pixels, what="the picture drawn")
        s.start()
        s.key("ctrl+p")  # the toolbar's button is the Wayland test's
        s.wait_eyedropper(keys=True)
        self.assertFalse(s.is_viewable(s.main))
        # It picks from the picture taken: the patch beneath goes. What the
        # loupe shows of the program's own capture, and that it leaves the
        # pixel at the pointer uncovered, are the eyedropper's own test (run
        # on an X server too).
        s._run(["xdotool", "windowunmap", "--sync", patch_window])
        # The arrow keys move the real pointer.
        s._run(["xdotool", "mousemove", "--sync", str(patch[0] + 30), str(patch[1] + 60)])
        s.key("Right", "Right", "shift+Down", "Up")
        x, y = 32, 69
        wait_until(lambda: s._run(["xdotool", "getmouselocation", "--shell"]).split()[:2]
                   == ["X=%d" % (patch[0] + x), "Y=%d" % (patch[1] + y)], what="pointer moved")
        s.key("Return")
        wait_until(lambda: s.is_viewable(s.main), what="main window back")
        s.activate(s.main)
        s.key("ctrl+c")  # copies the code, the focus on a slider
        s.clipboard_becomes("#" + pixels[(y * 160 + x) * 3:][:3].hex().upper())

    def test_palette_and_the_eyedropper_shows_the_screen_without_the_menu(self):
        s = Session("[Position]\nTop=1500\nLeft=3000\nColorP=1\n")
        self.addCleanup(s.close)
        s.start()
        palette = s.open_window("^Color$")

        # Started from the menu, the eyedropper shows the screen as it was
        # before the menu opened. The loupe beside the pointer in the
        # bottom-right corner stays out of the compared part.
        s.activate(s.main)
        width, height = s.size
        s._run(["xdotool", "mousemove", "--sync", str(width - 5), str(height - 5)])
        top = (0, 0, width, height - 150)
        before = s.grab(top)
        s.key("alt+i")
        wait_until(lambda: s.grab(top) != before, what="menu over the window")
        s.key("g")
        s.wait_eyedropper(keys=True)
        wait_until(lambda: s.grab(top) == before, what="the screen shown without the menu")
        s.key("Escape")
        s.wait_eyedropper(shown=False)

        # Closed by the window manager, as by its close box, it is stored as
        # closed when the program closes.
        s.close_window(palette)
        wait_until(lambda: not s.find_windows("^Color$"), what="palette closed")
        self.assertEqual(s.close_main_by_menu(), 0)
        self.assertEqual(ini_value(s.config.read_text(), "Position", "ColorP"), "0")

    def test_windows_stored_off_the_screen_come_back_wholly_on_it(self):
        # Far beyond the bottom-right corner: the main window comes back with
        # its frame against the screen's edges, and the palette, with no room
        # on its right, docks against its left edge.
        s = Session("[Position]\nTop=999999\nLeft=999999\nColorP=1\n")
        self.addCleanup(s.close)
        s.start()
        palette = s.open_window("^Color$")

        def placed():
            (mx, my, mw, mh), (px, py, pw, ph) = s.frame(s.main), s.frame(palette)
            return (mx + mw, my + mh) == s.size and (px + pw, py, ph) == (mx, my, mh)
        wait_until(placed, what=lambda: "main %r, palette %r" % (s.frame(s.main),
                                                                 s.frame(palette)))

    def test_picks_from_the_command_line(self):
        s = self.s = Session("[Use]\nNumberOfUse=1\n")
        self.addCleanup(s.close)
        spot = "#" + s.grab(SPOT + (1, 1)).hex().upper()
        # From the command line: nothing on Esc; a click prints the code in
        # the form asked for and leaves it on the clipboard after the command
        # has ended, until another program takes it. The recent colours are
        # the only setting written.
        self.assertEqual(self.pick(act=lambda: s.key("Escape")), ("", 1))
        attribute = 'bgcolor="%s"' % spot.lower()
        self.assertEqual(self.pick("--format", "BGCOLOR", "--lower", "--copy",
                                   act=lambda: s.click_at(*SPOT)), (attribute + "\n", 0))
        s.clipboard_becomes(attribute)
        self.assertEqual(s.config.read_text(), "[Use]\nNumberOfUse=1\n[History]\n1=%s\n" % spot)
        subprocess.run(["xclip", "-i", "-selection", "clipboard", "-loops", "1"], input=b"taken",
                       env=s.env, timeout=10)
        s.clipboard_becomes("taken")


if __name__ == "__main__":
    unittest.main()
