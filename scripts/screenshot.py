#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Starts Vandrel on a private Xvfb, saves a screenshot of its main window."""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
os.environ["VANDREL_BIN"] = os.path.abspath(sys.argv[1])
from vandrel_e2e import Session  # noqa: E402

out = os.path.abspath(sys.argv[2])
with Session(width=1024, height=768) as s:
    window = s.start()
    x, y, w, h = s.geometry(window)
    shot = s.screenshot()
    s._run(["convert", shot, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", out])
    s.close_main_by_menu()
print("Screenshot of the main window: " + out)
