# SPDX-License-Identifier: MIT
"""The screen eyedropper and the palette window on a real X server: started
from the main window's toolbar, driven with real pointer and key events, the
picked colour read back through the clipboard (Return copies the code while
the attribute combo shows "なし")."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, px, wait_until  # noqa: E402

TOOLBAR_DROPPER = (138, 12)  # the toolbar button's middle in the main window's client pixels

PATCH = "12AB34"
PALETTE_TITLE = "^Color$"


def eyedroppers(s, width, height):
    """The program's visible windows that cover the whole screen."""
    out = s._run(["xdotool", "search", "--onlyvisible", "--classname", "vandrel"], check=False)
    found = []
    for window in out.split():
        try:
            if s.geometry(window) == (0, 0, width, height):
                found.append(window)
        except (subprocess.CalledProcessError, KeyError):
            pass  # gone in between
    return found


def wait_eyedropper(s, width, height, shown=True):
    """Waits for the eyedropper mapped (gives its window), or closed."""
    if not shown:
        return wait_until(lambda: not eyedroppers(s, width, height), what="eyedropper closed")
    window = wait_until(lambda: eyedroppers(s, width, height), what="eyedropper")[0]
    wait_until(lambda: s.is_viewable(window), what="eyedropper mapped")
    return window


def masked(s, shot, rect):
    """The screenshot with rect (left, top, right, bottom) painted black."""
    path = shot + ".masked.png"
    s._run(["convert", shot, "-fill", "black", "-draw", "rectangle %d,%d %d,%d" % rect, path])
    return path


class Pickers(unittest.TestCase):
    def session(self, **kwargs):
        s = Session(**kwargs)
        self.addCleanup(s.close)
        return s

    def show_patch(self, s, x, y, width, height):
        """A window of one colour at x, y (its frame's corner); gives its id."""
        png = os.path.join(s.tmp, "patch.png")
        subprocess.run(["convert", "-size", "%dx%d" % (width, height), "xc:#" + PATCH, png],
                       check=True)
        s._spawn(["display", "-title", "patch", "-geometry", "+%d+%d" % (x, y), png],
                 stderr=subprocess.DEVNULL)
        window = wait_until(lambda: s.find_window("^patch$"), what="patch window")
        wait_until(lambda: s.is_viewable(window), what="patch window mapped")
        wait_until(lambda: s.pixel(x + width // 2, y + height // 2) == PATCH, what="patch painted")
        return window

    def frame(self, s, window):
        """The window's outer rectangle, frame included."""
        x, y, w, h = s.geometry(window)
        out = s._run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"])
        left, right, top, bottom = (int(v) for v in out.split("=")[1].split(","))
        return x - left, y - top, w + left + right, h + top + bottom

    # --- the eyedropper ---------------------------------------------------
    def test_hidden_main_window_is_not_picked(self):
        width, height = 1280, 800
        s = self.session(width=width, height=height, config="[Setting]\nHideDokodemo=1\n")
        # The patch lies under the main window, which opens at the top-left.
        self.show_patch(s, 0, 0, 500, 400)
        s.start()
        x, y = s.client_point(0, 0)
        s.click_at(x + TOOLBAR_DROPPER[0], y + TOOLBAR_DROPPER[1])
        wait_eyedropper(s, width, height)
        self.assertFalse(s.is_viewable(s.main))
        s.click_at(*s.client_point(2000, 1400))
        wait_eyedropper(s, width, height, shown=False)
        wait_until(lambda: s.is_viewable(s.main), what="main window back")
        s.activate(s.main)
        s.key("Return")  # copies the code
        s.clipboard_becomes("#" + PATCH)

    def test_picture_shown_is_the_screen_without_the_menu(self):
        # Started from the menu, the eyedropper shows the screen as it was
        # before the menu opened, every pixel of it, and keeps showing it
        # when what lies beneath changes.
        width, height = 1280, 800
        s = self.session(width=width, height=height)
        patch = self.show_patch(s, 700, 300, 200, 150)
        s.start()
        s._run(["xdotool", "mousemove", "--sync", str(width - 5), str(height - 5)])
        x, y = s.client_point(0, 0)
        area = (x, y, px(5055), px(3015))
        before = s.screenshot()

        s.activate(s.main)
        s.key("alt+i")
        wait_until(lambda: not s.same_image(s.crop(before, *area),
                                            s.crop(s.screenshot(), *area)),
                   what="menu over the window")
        s.key("g")
        wait_eyedropper(s, width, height)
        s._run(["xdotool", "windowunmap", "--sync", patch])
        # The loupe beside the pointer covers part of the bottom-right corner.
        corner = (width - 150, height - 150, width - 1, height - 1)
        wait_until(lambda: s.same_image(masked(s, before, corner),
                                        masked(s, s.screenshot(), corner)),
                   what="the frozen screen shown")
        s.key("Escape")
        wait_eyedropper(s, width, height, shown=False)

    def test_palette_reopened_at_start_docks_and_stays_closed_once_closed(self):
        s = self.session(config="[Position]\nTop=1500\nLeft=3000\nColorP=1\n")
        s.start()
        palette = wait_until(lambda: s.find_window(PALETTE_TITLE), what="palette window")
        wait_until(lambda: s.is_viewable(palette), what="palette mapped")
        # Flush against the framed main window, as tall as its frame.
        mx, my, mw, mh = self.frame(s, s.main)
        wait_until(lambda: self.frame(s, palette)[:2] == (mx + mw, my),
                   what="palette docked to the main window's frame")
        self.assertEqual(self.frame(s, palette)[3], mh)

        # Closed by its close box (the right end of openbox's title bar), then
        # the program: the next start does not reopen it.
        fx, fy, fw, _ = self.frame(s, palette)
        title = fy + (s.geometry(palette)[1] - fy) // 2
        s.click_at(fx + fw - 12, title)
        wait_until(lambda: not s.find_windows(PALETTE_TITLE), what="palette closed")
        self.assertEqual(s.close_main_by_menu(), 0)
        self.assertEqual(ini_value(s.read_config(), "Position", "ColorP"), "0")
        s.start()
        self.assertEqual(s.find_windows(PALETTE_TITLE), [])


if __name__ == "__main__":
    unittest.main()
