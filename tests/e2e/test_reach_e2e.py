# SPDX-License-Identifier: MIT
"""A pick from the command line, driven with real X events and read back
through the clipboard, the program's output and its exit status. Which box
keeps Ctrl+C and Ctrl+P, and the recent colours, are the window tests'."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session  # noqa: E402

SPOT = (5, 5)  # a pixel of the desktop


class Reach(unittest.TestCase):
    def pick(self, *options, act):
        proc = self.s._spawn([self.s.binary, "--pick"] + list(options), stdout=subprocess.PIPE)
        self.s.wait_eyedropper(keys=True)
        act()
        return proc.communicate(timeout=30)[0].decode(), proc.returncode

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
