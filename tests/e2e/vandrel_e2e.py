# SPDX-License-Identifier: MIT
"""Drives the real Vandrel binary on a private virtual X display.

Each Session starts its own Xvfb (a free display number chosen by the server
itself), a small window manager, and a copy of the program in a fresh folder,
so the settings file beside it starts as the test wants. Everything is torn
down on exit, also when a test fails.
"""
import os
import re
import shutil
import subprocess
import tempfile
import time

BIN = os.environ.get("VANDREL_BIN", os.path.join(os.path.dirname(__file__), "../../build/vandrel"))
# Every program these tests run: the display, the window manager, input,
# window properties, the clipboard and ImageMagick for screenshots.
TOOLS = ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xclip", "import", "convert",
         "compare", "display")
MENU_BAR_HEIGHT = 20  # the main window's menu bar, above the client area


def px(twips):
    return (twips + 7) // 15


def wait_until(condition, timeout=30.0, what="condition"):
    """Polls condition() until it gives a true value; fails after timeout.

    The bound is generous: a passing wait ends as soon as the condition holds,
    and a busy machine (the sanitizer build, a parallel run) starts slowly."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)  # polling interval of a bounded wait
    return value


def ini_value(text, section, key):
    found = re.search(r"^\[%s\][^\[]*?^%s=(.*?)\r?$" % (re.escape(section), re.escape(key)),
                      text, re.M)
    return found and found.group(1)


class Session:
    def __init__(self, width=1280, height=800, config=None):
        missing = [tool for tool in TOOLS if not shutil.which(tool)]
        if missing:
            raise RuntimeError("end-to-end tests need these programs, missing here: " +
                               ", ".join(missing) + " (scripts/setup.sh installs them)")
        self.tmp = tempfile.mkdtemp(prefix="vandrel-e2e-")
        self.appdir = os.path.join(self.tmp, "app")
        os.makedirs(os.path.join(self.tmp, "runtime"), mode=0o700)
        os.makedirs(self.appdir)
        self.binary = os.path.join(self.appdir, "vandrel")
        shutil.copy2(BIN, self.binary)
        if config is not None:
            self.write_config(config)
        self.procs, self.app = [], None
        read_fd, write_fd = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                     "%dx%dx24" % (width, height), "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
        self.env.update(DISPLAY=":" + number, XDG_CONFIG_HOME=os.path.join(self.tmp, "config"),
                        XDG_RUNTIME_DIR=os.path.join(self.tmp, "runtime"))
        self._spawn(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        wait_until(lambda: "window id" in self._run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                    check=False), what="window manager")

    def _spawn(self, argv, **kwargs):
        kwargs["env"] = kwargs.get("env", self.__dict__.get("env"))
        proc = subprocess.Popen(argv, **kwargs)
        self.procs.append(proc)
        return proc

    def _run(self, argv, check=True, timeout=20):
        return subprocess.run(argv, env=self.env, capture_output=True, timeout=timeout,
                              check=check).stdout.decode("utf-8", "replace")

    def close(self):
        for proc in reversed(self.procs):
            proc.terminate()
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        self.procs = []
        shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # --- the program -----------------------------------------------------
    def write_config(self, text):
        with open(os.path.join(self.appdir, "Config.ini"), "w", newline="") as f:
            f.write(text)

    def read_config(self):
        with open(os.path.join(self.appdir, "Config.ini"), newline="") as f:
            return f.read()

    def start(self, argv=None):
        self.app = self._spawn(argv or [self.binary], stderr=subprocess.DEVNULL)
        self.main = wait_until(lambda: self.find_window("^Vandrel$"), what="main window")
        wait_until(lambda: self.is_viewable(self.main), what="main window mapped")
        self.activate(self.main)
        return self.main

    def find_windows(self, name):
        return self._run(["xdotool", "search", "--onlyvisible", "--name", name],
                         check=False).split()

    def find_window(self, name):
        return (self.find_windows(name) or [None])[0]

    def open_window(self, title):
        """Waits for a window with this title to show and activates it."""
        window = wait_until(lambda: self.find_window(title), what=title)
        wait_until(lambda: self.is_viewable(window), what=title + " mapped")
        self.activate(window)
        return window

    def gone(self, title):
        wait_until(lambda: not self.find_windows(title), what=title + " closed")

    def is_viewable(self, window):
        return "IsViewable" in self._run(["xwininfo", "-id", str(window)], check=False)

    def activate(self, window):
        self._run(["xdotool", "windowactivate", "--sync", str(window)], check=False)

    def geometry(self, window):
        """The window's position and size on the screen, without the frame."""
        out = self._run(["xwininfo", "-id", str(window)])
        return tuple(int(re.search(key + r":\s*(-?\d+)", out).group(1)) for key in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def client_point(self, left_twips, top_twips, window=None, menu=True):
        x, y, _, _ = self.geometry(window or self.main)
        return x + px(left_twips), y + (MENU_BAR_HEIGHT if menu else 0) + px(top_twips)

    # --- input -----------------------------------------------------------
    def click_at(self, x, y, button=1):
        self._run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button)])

    def click_control(self, left, top, width, height, window=None):
        """Clicks the middle of a control given in client twips (below the
        menu bar in the main window)."""
        self.click_at(*self.client_point(left + width // 2, top + height // 2, window=window,
                                         menu=window is None))

    def key(self, *keys):
        self._run(["xdotool", "key", "--delay", "30"] + list(keys))

    def type(self, text):
        self._run(["xdotool", "type", "--delay", "30", text])

    def clipboard(self):
        return self._run(["xclip", "-o", "-selection", "clipboard"], check=False, timeout=5)

    def clipboard_becomes(self, expected, timeout=15):
        return wait_until(lambda: self.clipboard() == expected, timeout=timeout,
                          what="clipboard %r (last %r)" % (expected, self.clipboard()))

    def screenshot(self):
        path = os.path.join(self.tmp, "shot-%d.png" % time.monotonic_ns())
        self._run(["import", "-silent", "-window", "root", path])
        return path

    def pixel(self, x, y, shot=None):
        out = self._run(["convert", shot or self.screenshot(), "-crop", "1x1+%d+%d" % (x, y),
                         "-depth", "8", "txt:-"])
        return re.search(r"#([0-9A-Fa-f]{6})", out).group(1).upper()

    def crop(self, shot, x, y, w, h):
        path = shot + ".%d_%d_%d_%d.png" % (x, y, w, h)
        self._run(["convert", shot, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path])
        return path

    def same_image(self, a, b):
        out = subprocess.run(["compare", "-metric", "AE", a, b, "null:"],
                             capture_output=True).stderr.decode()
        return out.strip().split()[0] == "0"

    def assert_centred_over_main(self, window):
        mx, my, mw, mh = self.geometry(self.main)
        x, y, w, h = self.geometry(window)
        # The frames differ (menu bar, tool window title), so allow some slack.
        if abs((x + w / 2) - (mx + mw / 2)) >= 20 or abs((y + h / 2) - (my + mh / 2)) >= 40:
            raise AssertionError("%r is not centred over the main window %r" %
                                 ((x, y, w, h), (mx, my, mw, mh)))

    def close_main_by_menu(self):
        self.activate(self.main)
        self.key("alt+f", "x")
        return self.app.wait(timeout=10)
