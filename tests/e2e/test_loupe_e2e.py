# SPDX-License-Identifier: MIT
"""The eyedropper's loupe on a real X server: it shows the frozen screen's
pixels round the pointer, enlarged, beside the pointer and whole on the screen
near its edges; the arrow keys move the real pointer and Return picks the
pixel they reached."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, wait_until  # noqa: E402

TOOLBAR_DROPPER = (138, 12)
WIDTH, HEIGHT = 1024, 768
# The loupe on the screen: 11 x 11 blocks of 8 pixels at a pitch of 9 inside
# a one-pixel grid, a strip for the code under them, 16 pixels off the hotspot.
BLOCKS, PITCH, GRID, HEIGHT_WITH_CODE, GAP = 11, 9, 100, 118, 16


def patch_colour(x, y):
    return (x * 5) & 0xFF, (y * 5) & 0xFF, 0x40


class Loupe(unittest.TestCase):
    def setUp(self):
        self.s = Session(width=WIDTH, height=HEIGHT)
        self.addCleanup(self.s.close)
        s = self.s
        # A picture in which every pixel differs from its neighbours.
        size = 48
        ppm = os.path.join(s.tmp, "patch.ppm")
        with open(ppm, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (size, size))
            f.write(bytes(c for y in range(size) for x in range(size) for c in patch_colour(x, y)))
        s._spawn(["display", "-title", "patch", "-geometry", "+600+300", ppm],
                 stderr=subprocess.DEVNULL)
        window = wait_until(lambda: s.find_window("^patch$"), what="patch window")
        wait_until(lambda: s.is_viewable(window), what="patch window mapped")
        self.patch = s.geometry(window)
        wait_until(lambda: self.screen()[self.patch[:2]] == patch_colour(0, 0), what="patch shown")
        s.start()
        self.truth = self.screen()
        x, y = s.client_point(0, 0)
        s.click_at(x + TOOLBAR_DROPPER[0], y + TOOLBAR_DROPPER[1])

    def screen(self):
        """The screen as a dictionary-like reader of (x, y) -> (r, g, b)."""
        shot = self.s.screenshot()
        data = subprocess.run(["convert", shot, "-depth", "8", "rgb:-"], check=True,
                              capture_output=True).stdout

        class Pixels:
            def __getitem__(self, point):
                x, y = point
                i = (y * WIDTH + x) * 3
                return tuple(data[i:i + 3])
        return Pixels()

    def truth_at(self, x, y):
        inside = 0 <= x < WIDTH and 0 <= y < HEIGHT
        return self.truth[x, y] if inside else (0, 0, 0)

    def loupe_mismatches(self, hotspot, corner):
        """Blocks of the loupe at corner that do not show the frozen pixel."""
        shown = self.screen()
        wrong = []
        for row in range(BLOCKS):
            for column in range(BLOCKS):
                block = (corner[0] + 1 + column * PITCH + 4, corner[1] + 1 + row * PITCH + 4)
                source = (hotspot[0] + column - 5, hotspot[1] + row - 5)
                if shown[block] != self.truth_at(*source):
                    wrong.append((column, row))
        # The hotspot itself is never covered.
        if shown[hotspot] != self.truth_at(*hotspot):
            wrong.append("hotspot")
        return wrong

    def move(self, x, y):
        self.s._run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def test_loupe_beside_the_pointer_and_whole_near_edges(self):
        px_, py_, _, _ = self.patch
        right, bottom = WIDTH - 1, HEIGHT - 1
        cases = [
            ((px_ + 20, py_ + 20), (px_ + 20 + GAP, py_ + 20 + GAP)),  # below right
            # A quick move onto the loupe: the pointer passes through it.
            ((px_ + 40, py_ + 40), (px_ + 40 + GAP, py_ + 40 + GAP)),
            ((right, py_ + 5), (right - GAP - GRID, py_ + 5 + GAP)),  # flipped left
            ((3, bottom), (3 + GAP, bottom - GAP - HEIGHT_WITH_CODE)),  # flipped up
            ((right, bottom), (right - GAP - GRID, bottom - GAP - HEIGHT_WITH_CODE)),
            ((0, 0), (GAP, GAP)),
        ]
        for hotspot, corner in cases:
            with self.subTest(hotspot=hotspot):
                self.move(*hotspot)
                wait_until(lambda: not self.loupe_mismatches(hotspot, corner),
                           what="loupe at %r showing the pixels round %r (wrong: %r)"
                                % (corner, hotspot, self.loupe_mismatches(hotspot, corner)[:5]))

    def test_arrow_keys_move_the_pointer_and_return_picks(self):
        s = self.s
        start = (self.patch[0] + 10, self.patch[1] + 12)
        self.move(*start)
        s.key("Right", "Right", "shift+Down", "Up")
        reached = (start[0] + 2, start[1] + 9)
        wait_until(lambda: s._run(["xdotool", "getmouselocation", "--shell"]).split()[:2]
                   == ["X=%d" % reached[0], "Y=%d" % reached[1]], what="pointer moved")
        corner = (reached[0] + GAP, reached[1] + GAP)
        wait_until(lambda: not self.loupe_mismatches(reached, corner),
                   what="loupe round the reached pixel")
        s.key("Return")
        wait_until(lambda: s.is_viewable(s.main), what="main window back")
        s.activate(s.main)
        s.key("Return")
        expected = "#%02X%02X%02X" % patch_colour(reached[0] - self.patch[0],
                                                  reached[1] - self.patch[1])
        s.clipboard_becomes(expected)


if __name__ == "__main__":
    unittest.main()
