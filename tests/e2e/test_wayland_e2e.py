# SPDX-License-Identifier: MIT
"""The screen eyedropper on a Wayland desktop: a private headless sway session
(wayland-session.sh beside this file) whose background, #336699, only the
compositor can see. The real program picks it through the desktop portal on
Xwayland, with the main window shown and hidden, and on Qt's Wayland platform
when there is no Xwayland.

Run by CTest outside the session: the script stages the program and itself in
a folder any user can read (the session runs as nobody when started as root)
and runs itself again inside the session."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from vandrel_e2e import BIN, Session, ini_value, wait_until  # noqa: E402
from test_pickers_e2e import TOOLBAR_DROPPER, wait_eyedropper  # noqa: E402

SKIPPED = 77
SESSION_FAILED = 70
BACKGROUND = "#336699"
WIDTH, HEIGHT = 1280, 720
MENU_BAR_HEIGHT = 20
APP_ID = "io.github.vandrel.Vandrel"
NEEDED = ["sway", "Xwayland", "grim", "pipewire", "dbus-daemon", "dbus-send"]
PORTALS = ["/usr/libexec/xdg-desktop-portal", "/usr/libexec/xdg-desktop-portal-wlr",
           "/usr/libexec/xdg-desktop-portal-gtk"]


def outside():
    missing = [t for t in NEEDED if not shutil.which(t)] + [p for p in PORTALS
                                                           if not os.path.exists(p)]
    if missing:
        print("SKIPPED: the Wayland session needs %s (scripts/setup.sh installs them)"
              % ", ".join(missing))
        return SKIPPED
    stage = tempfile.mkdtemp(prefix="vandrel-wl-stage-")
    try:
        os.chmod(stage, 0o755)
        for name in ("test_wayland_e2e.py", "test_pickers_e2e.py", "vandrel_e2e.py",
                     "wlpointer.py"):
            shutil.copy(os.path.join(HERE, name), stage)
        shutil.copy(BIN, os.path.join(stage, "vandrel"))
        for name in os.listdir(stage):
            os.chmod(os.path.join(stage, name), 0o755)
        env = dict(os.environ, VANDREL_BIN=os.path.join(stage, "vandrel"))
        rc = subprocess.run([os.path.join(HERE, "wayland-session.sh"), "--", "/usr/bin/python3",
                             os.path.join(stage, "test_wayland_e2e.py"), "--inside"],
                            env=env, timeout=600).returncode
    finally:
        shutil.rmtree(stage, ignore_errors=True)
    if rc == SESSION_FAILED:
        print("SKIPPED: the Wayland session could not start (see the message above)")
        return SKIPPED
    return rc


class WaylandSession(Session):
    """The program in the running Wayland session, on Xwayland (DISPLAY) or,
    with x11=False, on Qt's Wayland platform."""

    def __init__(self, config=None, x11=True):  # pylint: disable=super-init-not-called
        self.tmp = tempfile.mkdtemp(prefix="vandrel-wl-")
        self.appdir = os.path.join(self.tmp, "app")
        os.makedirs(self.appdir)
        self.binary = os.path.join(self.appdir, "vandrel")
        shutil.copy2(BIN, self.binary)
        if config is not None:
            self.write_config(config)
        self.procs = []
        self.app = None
        self.env = dict(os.environ)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.tmp, "config")
        if not x11:
            self.env.pop("DISPLAY", None)

    def start_native(self):
        """Starts the program on the Wayland platform; gives its window's
        content rectangle as sway reports it."""
        self.app = self._spawn([self.binary], stderr=subprocess.PIPE)
        return wait_until(lambda: self.native_windows()[:1], what="main window")[0]

    def native_windows(self):
        """Content rectangles of the program's native Wayland windows."""
        tree = json.loads(self._run(["swaymsg", "-t", "get_tree"]))
        found = []

        def walk(node):
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                if child.get("app_id") == APP_ID and child.get("shell") == "xdg_shell":
                    r, w = child["rect"], child["window_rect"]
                    found.append((r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"]))
                walk(child)
        walk(tree)
        return found


class OnXwayland(unittest.TestCase):
    def test_picks_what_only_the_compositor_shows(self):
        for hide in (0, 1):
            with self.subTest(HideDokodemo=hide):
                s = WaylandSession(config="[Setting]\nHideDokodemo=%d\n" % hide)
                self.addCleanup(s.close)
                s.start()
                x, y = s.client_point(0, 0)
                # Under the main window: with the window hidden the picture
                # shows the desktop there; beside it, the desktop in any case.
                spot = (x + 100, y + 100) if hide else (20, 20)
                s.click_at(x + TOOLBAR_DROPPER[0], y + TOOLBAR_DROPPER[1])
                wait_eyedropper(s, WIDTH, HEIGHT)
                self.assertEqual(s.is_viewable(s.main), not hide)
                s.click_at(*spot)
                wait_eyedropper(s, WIDTH, HEIGHT, shown=False)
                wait_until(lambda: s.is_viewable(s.main), what="main window back")
                s.activate(s.main)
                s.key("Return")
                s.clipboard_becomes(BACKGROUND)
                s.close_main_by_menu()


class OnWaylandPlatform(unittest.TestCase):
    def test_starts_picks_and_keeps_its_settings(self):
        from wlpointer import VirtualPointer  # pylint: disable=import-outside-toplevel
        pointer = VirtualPointer(WIDTH, HEIGHT)
        self.addCleanup(pointer.close)
        # A position stored on X11: the compositor places the window here, and
        # the stored one is kept for the next X11 session.
        s = WaylandSession(config="[Position]\nTop=3000\nLeft=4500\n", x11=False)
        self.addCleanup(s.close)
        x, y, _, _ = s.start_native()
        pointer.click(x + TOOLBAR_DROPPER[0], y + MENU_BAR_HEIGHT + TOOLBAR_DROPPER[1])
        wait_until(lambda: len(s.native_windows()) == 2, what="eyedropper")
        self.assertIn((0, 0, WIDTH, HEIGHT), s.native_windows())
        pointer.click(20, 20)
        wait_until(lambda: len(s.native_windows()) == 1, what="eyedropper closed")

        s._run(["swaymsg", "[app_id=%s] kill" % APP_ID])
        _, errors = s.app.communicate(timeout=20)
        self.assertEqual(s.app.returncode, 0)
        self.assertNotIn("qt.qpa", errors.decode())
        config = s.read_config()
        written = [ini_value(config, section, key) for section, key in (
            ("Color", "Red"), ("Color", "Green"), ("Color", "Blue"), ("Use", "NumberOfUse"),
            ("Position", "Top"), ("Position", "Left"))]
        self.assertEqual(written, ["51", "102", "153", "1", "3000", "4500"])


def inside():
    # The portal starts on the first call; start it before the tests, so
    # their bounded waits measure the program, not the start.
    subprocess.run(["dbus-send", "--session", "--print-reply", "--reply-timeout=30000",
                    "--dest=org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                    "org.freedesktop.DBus.Properties.Get",
                    "string:org.freedesktop.portal.Screenshot", "string:version"],
                   stdout=subprocess.DEVNULL, check=True, timeout=40)
    result = unittest.main(argv=[sys.argv[0], "-v"], exit=False).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(inside() if "--inside" in sys.argv else outside())
