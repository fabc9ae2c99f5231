#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Saves a screenshot of Vandrel's main window. Run on a display of its own,
such as tests/support/on-xvfb.sh gives: the end-to-end tests' session starts a
window manager there and a copy of the program.

Usage: screenshot.py <program> <picture.png>"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
os.environ["VANDREL_BIN"] = os.path.abspath(sys.argv[1])
from vandrel_e2e import Session  # noqa: E402

out = os.path.abspath(sys.argv[2])
s = Session()
try:
    s.start()
    x, y, w, h = s.geometry(s.main)
    s._run(["import", "-silent", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y),
            "+repage", out])
    s.close_main_by_menu()
finally:
    s.close()
print("Screenshot of the main window: " + out)
