# SPDX-License-Identifier: MIT
"""The settings file and the stored places on a real X server: a close on a
full disk keeps the old Config.ini and says so in a message read back through
its copy to the clipboard, and windows stored far off the screen come back
wholly on it, the palette beside the main window."""
import errno
import os
import pathlib
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from vandrel_e2e import Session, ini_value, wait_until  # noqa: E402


def frame(s, window):
    """The window's outer rectangle, frame included."""
    x, y, w, h = s.geometry(window)
    out = s._run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"])
    left, right, top, bottom = (int(v) for v in out.split("=")[1].split(","))
    return x - left, y - top, w + left + right, h + top + bottom


def fill(folder):
    """Fills the file system of folder up to its last byte."""
    fd = os.open(os.path.join(folder, "fill"), os.O_WRONLY | os.O_CREAT, 0o600)
    try:
        for chunk in (1 << 16, 1 << 12, 1):
            while True:
                try:
                    os.write(fd, b"x" * chunk)
                except OSError as error:
                    if error.errno != errno.ENOSPC:
                        raise
                    break
    finally:
        os.close(fd)


class Settings(unittest.TestCase):
    def test_a_close_on_a_full_disk_keeps_the_file_and_says_so(self):
        if os.geteuid() != 0:
            self.skipTest("mounting a small file system for the program's folder needs root")
        s = Session()
        self.addCleanup(s.close)
        # The program in a folder of its own file system, with just room to start.
        folder = os.path.join(s.tmp, "small")
        os.mkdir(folder)
        size_kb = os.path.getsize(s.binary) // 1024 + 64
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % size_kb, "tmpfs", folder],
                       check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", folder])
        binary = shutil.copy2(s.binary, folder)
        config = pathlib.Path(folder, "Config.ini")
        config.write_bytes(b"; kept as it was\r\n[Color]\r\nRed=10\r\n")
        s.start([binary])
        wait_until(lambda: ini_value(config.read_text(), "Use", "NumberOfUse") == "1",
                   what="the start counted")
        before = config.read_bytes()
        fill(folder)
        s.activate(s.main)
        s.key("alt+f", "r")  # Reset: a colour that differs from the stored one
        s.key("alt+f", "x")
        box = wait_until(lambda: [w for w in s.find_windows("^Vandrel$") if w != s.main],
                         what="the message")[0]
        s.activate(box)
        s.key("ctrl+c")  # a message box copies its caption and text

        def copied():
            text = s._run(["xclip", "-o", "-selection", "clipboard"])
            return "設定" in text and text
        text = wait_until(copied, what="the message's text")
        self.assertIn("設定を保存できませんでした。", text)
        self.assertIn(str(config), text)
        self.assertIn("ディスクの空き容量が足りません", text)
        s.key("Return")
        self.assertEqual(s.app.wait(timeout=10), 0)
        self.assertEqual(config.read_bytes(), before)
        self.assertEqual(sorted(os.listdir(folder)), ["Config.ini", "fill", "vandrel"])

    def test_windows_stored_off_the_screen_come_back_wholly_on_it(self):
        # Far beyond the bottom-right corner, and reachable but at the right
        # edge: the main window's frame lies on the screen where it was
        # brought back, and the palette docks against its left edge.
        for stored, brought_back in (("Top=999999\nLeft=999999", True), ("Top=1500\nLeft=17500",
                                                                           False)):
            s = Session("[Position]\n%s\nColorP=1\n" % stored)
            self.addCleanup(s.close)
            s.start()
            palette = s.open_window("^Color$")
            width, height = s.size

            def placed():
                (mx, my, mw, mh), (px, py, pw, ph) = frame(s, s.main), frame(s, palette)
                main_inside = mx + mw == width and my + mh == height
                return ((main_inside or not brought_back) and (px + pw, py, ph) == (mx, my, mh)
                        and px >= 0 and py >= 0 and py + ph <= height)
            wait_until(placed, what=lambda: "main %r, palette %r" % (frame(s, s.main),
                                                                     frame(s, palette)))
            s.close_main_by_menu()


if __name__ == "__main__":
    unittest.main()
