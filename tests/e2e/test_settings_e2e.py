# SPDX-License-Identifier: MIT
"""The settings file and the stored places on a real X server: a close on a
full disk keeps the old Config.ini and says so in a message read back through
its copy to the clipboard, and windows stored far off the screen come back
wholly on it, the palette beside the main window."""
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


class Settings(unittest.TestCase):
    def test_a_close_on_a_full_disk_keeps_the_file_and_says_so(self):
        if os.geteuid() != 0:
            self.skipTest("mounting a small file system for the program's folder needs root")
        s = Session()
        self.addCleanup(s.close)
        # The program in a folder of its own file system, with just room to start.
        folder = os.path.join(s.tmp, "small")
        os.mkdir(folder)
        size = "size=%dk" % (os.path.getsize(s.binary) // 1024 + 64)
        mount = subprocess.run(["mount", "-t", "tmpfs", "-o", size, "tmpfs", folder],
                               capture_output=True, text=True)
        if mount.returncode:  # as in a container without the right to mount
            print("SKIPPED: a close on a full disk: this machine does not let root mount a small "
                  "file system (CAP_SYS_ADMIN): " + mount.stderr.strip())
            self.skipTest("no right to mount")
        self.addCleanup(subprocess.run, ["umount", "-l", folder])
        config = pathlib.Path(folder, "Config.ini")
        config.write_bytes(b"; kept as it was\r\n[Color]\r\nRed=10\r\n")
        s.start([shutil.copy2(s.binary, folder)])
        wait_until(lambda: ini_value(config.read_text(), "Use", "NumberOfUse") == "1",
                   what="the start counted")
        before = config.read_bytes()
        with open(os.path.join(folder, "fill"), "wb", buffering=0) as fill:
            try:
                while fill.write(b"x" * 4096):  # the file system's pages, to the last
                    pass
            except OSError:
                pass
        s.activate(s.main)
        s.key("alt+f", "r", "alt+f", "x")  # Reset, a colour to save, then close
        box = wait_until(lambda: [w for w in s.find_windows("^Vandrel$") if w != s.main],
                         what="the message")[0]
        s.activate(box)
        s.key("ctrl+c")  # the message box copies its caption and text
        text = s.clipboard_becomes(
            "Vandrel\n\n設定を保存できませんでした。\n\nファイル: %s\n理由: 新しい内容を書き込めません"
            "（ディスクの空き容量が足りません）。元のファイルはそのままです。" % config)
        s.key("Return")
        self.assertEqual(s.app.wait(timeout=10), 0, text)
        self.assertEqual(config.read_bytes(), before)
        self.assertEqual(sorted(os.listdir(folder)), ["Config.ini", "fill", "vandrel"])

    def test_windows_stored_off_the_screen_come_back_wholly_on_it(self):
        # Far beyond the bottom-right corner: the main window comes back with
        # its frame against the screen's edges, and the palette, with no room
        # on its right, docks against its left edge.
        s = Session("[Position]\nTop=999999\nLeft=999999\nColorP=1\n")
        self.addCleanup(s.close)
        s.start()
        palette = s.open_window("^Color$")

        def placed():
            (mx, my, mw, mh), (px, py, pw, ph) = frame(s, s.main), frame(s, palette)
            return (mx + mw, my + mh) == s.size and (px + pw, py, ph) == (mx, my, mh)
        wait_until(placed, what=lambda: "main %r, palette %r" % (frame(s, s.main),
                                                                 frame(s, palette)))


if __name__ == "__main__":
    unittest.main()
