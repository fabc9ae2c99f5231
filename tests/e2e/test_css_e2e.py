# SPDX-License-Identifier: MIT
"""The CSS forms as a user meets them: colours pasted in with Ctrl+V from a
clipboard another program holds, a text that is no colour refused with a
message, and each CSS item of the attribute list picked and copied."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, wait_until  # noqa: E402


class CssForms(unittest.TestCase):
    def offer(self, text):
        """Puts text on the clipboard from another program, as a user's copy
        would, and waits until it is there: xclip takes the clipboard in a
        process of its own after it has returned."""
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=text.encode(),
                       env=self.s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=True, timeout=20)
        self.s.clipboard_becomes(text)

    def test_paste_refuse_and_copy_each_css_form(self):
        s = self.s = Session()
        self.addCleanup(s.close)
        s.start()
        # Ctrl+V with the focus on the red slider, then Enter copies the code
        # as the window shows it ("なし" is the attribute name at start).
        for text, code in (("rgb(255 128 0)", "#FF8000"), ("  color: navy;\n", "#000080"),
                           ('BGCOLOR="#abc"', "#AABBCC"), ("hsl(120, 100%, 25%)", "#008000"),
                           ("RebeccaPurple", "#663399"), ("oklch(73.2% 0.1858 53)", "#FF8000")):
            self.offer(text)
            s.activate(s.main)
            s.key("ctrl+v", "Return")
            s.clipboard_becomes(code)

        # A text that is no colour: a message box (its text is the window
        # test's) until the user closes it, and the colour stays.
        self.offer("hello world")
        s.activate(s.main)
        s.key("ctrl+v")
        box = wait_until(lambda: [w for w in s.find_windows("^Vandrel$") if w != s.main],
                         what="the message box")[0]
        s.activate(box)
        s.key("Return")
        wait_until(lambda: s.find_windows("^Vandrel$") == [s.main], what="the message box closed")
        s.activate(s.main)
        s.key("Return")
        s.clipboard_becomes("#FF8000")

        # Each CSS item picked from the list (the last five), then copied.
        # The list is four steps back from the red slider, where the focus is.
        s.key(*["shift+Tab"] * 4)
        for up, copied in ((4, "color: #FF8000;"), (3, "background-color: #FF8000;"),
                           (2, "rgb(255 128 0)"), (1, "hsl(30.1 100% 50%)"),
                           (0, "oklch(73.2% 0.1858 53)")):
            s.key("F4", "End", *["Up"] * up, "Return", "Return")
            s.clipboard_becomes(copied)


if __name__ == "__main__":
    unittest.main()
