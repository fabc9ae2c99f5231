# SPDX-License-Identifier: MIT
"""Drives the real Vandrel binary on an X display of its own.

CTest runs each test file on a private Xvfb (tests/support/on-xvfb.sh), where
the first Session starts a small window manager (not on the Wayland test's
desktop, which has its own). Each Session runs a copy of the program in a
fresh folder, so the settings file beside it starts as the test wants, and is
torn down when the test ends, also when it fails.
"""
import ctypes
import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import time

BIN = os.environ.get("VANDREL_BIN", os.path.join(os.path.dirname(__file__), "../../build/vandrel"))
# Every program these tests run on the display: the window manager and its
# close request, input, window properties, the clipboard, and ImageMagick's
# screen reader and viewer.
TOOLS = ("openbox", "wmctrl", "xdotool", "xprop", "xwininfo", "xclip", "import", "display")
# The two controls the tests click, where a click is what they test or keys
# cannot reach them (sway gives no focus on request): in client twips, below
# the main window's menu bar.
MENU_BAR_HEIGHT = 20
TOOLBAR_DROPPER = (2070, 180)  # the eyedropper button's middle
COPY_BUTTON = (4140, 2587)  # the copy button's middle


def wait_until(condition, timeout=30.0, what="condition"):
    """Polls condition() until it gives a true value; fails after timeout.

    The bound is generous: a passing wait ends as soon as the condition holds,
    and a busy machine (the sanitizer build, a parallel run) starts slowly.
    what may be a function, called for the message only on failure."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + (what() if callable(what) else what))
        time.sleep(0.05)  # polling interval of a bounded wait
    return value


def keyboard_grabbed(display):
    """Whether a program on the display holds the keyboard grabbed. Asks for
    the grab at a time still to come, which the X server refuses without ever
    taking it: as already grabbed when a program holds it, else as an invalid
    time (its clock is the system's monotonic one)."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype, x.XOpenDisplay.argtypes = ctypes.c_void_p, [ctypes.c_char_p]
    x.XDefaultRootWindow.restype, x.XDefaultRootWindow.argtypes = ctypes.c_ulong, [ctypes.c_void_p]
    x.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 3 + [
        ctypes.c_ulong]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x.XOpenDisplay(display.encode())
    later = (int(time.monotonic() * 1000) + 600000) & 0xFFFFFFFF
    status = x.XGrabKeyboard(connection, x.XDefaultRootWindow(connection), 0, 1, 1, later)
    x.XCloseDisplay(connection)  # which would also end a grab taken after all
    if status not in (1, 2):  # AlreadyGrabbed, GrabInvalidTime
        raise RuntimeError("the keyboard probe was answered %d" % status)
    return status == 1


def ini_value(text, section, key):
    found = re.search(r"^\[%s\][^\[]*?^%s=(.*?)\r?$" % (section, key), text, re.M)
    return found and found.group(1)


class Session:
    def __init__(self, config=None, window_manager=True):
        missing = ", ".join(tool for tool in TOOLS if not shutil.which(tool))
        if missing:
            raise RuntimeError("end-to-end tests need " + missing + " (scripts/setup.sh has them)")
        self.tmp = tempfile.mkdtemp(prefix="vandrel-e2e-")
        self.binary = shutil.copy2(BIN, self.tmp)
        self.config = pathlib.Path(self.tmp, "Config.ini")
        self.config.write_text(config or "")
        self.procs = []
        self.env = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.tmp, "config")
        # One window manager for the display, started by the first session:
        # one started anew can miss a window whose number a window of the
        # former program had. It ends with the display. NOTE: a window mapped
        # while openbox starts may stay unmanaged until some other event comes;
        # its start-up command, run as its event loop begins, says it is ready.
        check = ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]
        if window_manager and "window id" not in self._run(check):
            subprocess.Popen(["openbox", "--sm-disable", "--startup",
                              "xprop -root -f VANDREL_WM_READY 8s -set VANDREL_WM_READY 1"],
                             env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_until(lambda: '"1"' in self._run(["xprop", "-root", "VANDREL_WM_READY"]),
                       what="window manager")
        self.size = tuple(int(v) for v in self._run(["xdotool", "getdisplaygeometry"]).split())

    def _spawn(self, argv, **kwargs):
        proc = subprocess.Popen(argv, env=self.env, **kwargs)
        self.procs.append(proc)
        return proc

    def _run(self, argv, raw=False):
        out = subprocess.run(argv, env=self.env, capture_output=True, timeout=20).stdout
        return out if raw else out.decode("utf-8", "replace")

    def close(self):
        for proc in reversed(self.procs):
            proc.terminate()
            proc.wait(timeout=10)
        shutil.rmtree(self.tmp, ignore_errors=True)

    # --- the program and its windows --------------------------------------
    def start(self, argv=None):
        self.app = self._spawn(argv or [self.binary], stderr=subprocess.DEVNULL)
        self.main = self.open_window("^Vandrel$")

    def find_windows(self, name, option="--name"):
        """The windows mapped and viewable whose title (or option) matches."""
        return self._run(["xdotool", "search", "--onlyvisible", option, name]).split()

    def open_window(self, title):
        """Waits for a window with this title to show and activates it."""
        window = wait_until(lambda: self.find_windows(title), what=title)[0]
        self.activate(window)
        return window

    def wait_eyedropper(self, shown=True, timeout=30.0, keys=False):
        """Waits for the eyedropper, the program's window over the whole
        screen, to show or to close; with keys, also until it has the
        keyboard, which it takes only once it shows (the window manager may
        keep the focus elsewhere; its grab is what counts)."""
        def found():
            return [w for w in self.find_windows("vandrel", "--classname")
                    if self.geometry(w) == (0, 0) + self.size]
        wait_until(lambda: bool(found()) == shown, timeout=timeout,
                   what="eyedropper " + ("shown" if shown else "closed"))
        if keys:
            wait_until(lambda: keyboard_grabbed(self.env["DISPLAY"]), what="eyedropper's keyboard")

    def open_dialog(self):
        """Waits for a window the program shows for its main window (found as
        the window manager finds it, not by a title another language changes)
        and activates it."""
        owner = "# %#x" % int(self.main)
        window = wait_until(lambda: [w for w in self.find_windows("vandrel", "--classname")
                                     if self._run(["xprop", "-id", w, "WM_TRANSIENT_FOR"])
                                     .rstrip().endswith(owner)], what="a window for the main")[0]
        self.activate(window)
        return window

    def close_window(self, window):
        """Asks the window manager to close the window, as its close box does."""
        self._run(["wmctrl", "-i", "-c", str(window)])

    def is_viewable(self, window):
        return "IsViewable" in self._run(["xwininfo", "-id", str(window)])

    def activate(self, window):
        self._run(["xdotool", "windowactivate", "--sync", str(window)])

    def geometry(self, window):
        """The window's position and size on the screen, without the frame;
        None for a window that is gone."""
        found = re.findall(r"(?:Absolute upper-left [XY]|Width|Height):\s*(-?\d+)",
                           self._run(["xwininfo", "-id", str(window)]))
        return tuple(int(v) for v in found) if len(found) == 4 else None

    def frame(self, window):
        """The window's outer rectangle, frame included."""
        x, y, w, h = self.geometry(window)
        out = self._run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"])
        left, right, top, bottom = (int(v) for v in out.split("=")[1].split(","))
        return x - left, y - top, w + left + right, h + top + bottom

    def shows_colour(self, window, code):
        """Whether some pixel of the window shows the colour #RRGGBB."""
        pixels, colour = self.grab(self.geometry(window)), bytes.fromhex(code[1:])
        return any(pixels[i:i + 3] == colour for i in range(0, len(pixels), 3))

    def client_point(self, left_twips, top_twips):
        """A point given in the main window's client twips, below its menu bar."""
        x, y, _, _ = self.geometry(self.main)
        return x + (left_twips + 7) // 15, y + MENU_BAR_HEIGHT + (top_twips + 7) // 15

    def close_main_by_menu(self):
        self.activate(self.main)
        self.key("alt+f", "x")
        return self.app.wait(timeout=10)

    # --- input and output ------------------------------------------------
    def click_at(self, x, y):
        self._run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"])

    def key(self, *keys):
        self._run(["xdotool", "key", "--delay", "30"] + list(keys))

    def clipboard_becomes(self, expected, timeout=15):
        clipboard = ["xclip", "-o", "-selection", "clipboard"]
        return wait_until(lambda: self._run(clipboard) == expected, timeout=timeout,
                          what=lambda: "clipboard %r (last %r)" % (expected, self._run(clipboard)))

    def grab(self, area=None):
        """The screen's pixels, or those of area (x, y, width, height), as RGB bytes."""
        crop = ["-crop", "%dx%d+%d+%d" % (area[2], area[3], area[0], area[1])] if area else []
        return self._run(["import", "-silent", "-window", "root"] + crop + ["-depth", "8", "rgb:-"],
                         raw=True)
