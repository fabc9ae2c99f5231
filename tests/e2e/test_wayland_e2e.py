# SPDX-License-Identifier: MIT
"""The screen eyedropper on a Wayland desktop: a private headless sway session
(wayland-session.sh beside this file) with a photo-like wallpaper made for the
test, a patch of one colour in its middle. The real program, on Xwayland as
such a desktop runs it, picks from under its hidden main window and from the
wallpaper's noise what the compositor shows there: at 1280 x 720 and at
3840 x 2160 through the compositor's own copy of its outputs, and once with
that turned off (VANDREL_NO_SCREENCOPY) through the desktop portal. Then, with
no Xwayland, it runs on Qt's Wayland platform.

Run by CTest outside the session: the script stages the program, itself and
the wallpapers in a folder any user can read (the session runs as nobody when
started as root) and runs itself again inside each session."""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from vandrel_e2e import BIN, COPY_BUTTON, TOOLBAR_DROPPER, Session, ini_value, wait_until  # noqa: E402

SKIPPED, NO_NAMESPACE = 77, 69
APP_ID = "io.github.vandrel.Vandrel"
NEEDED = ["sway", "swaybg", "Xwayland", "grim", "pipewire", "dbus-daemon", "dbus-send",
          "convert"] + ["/usr/libexec/xdg-desktop-portal" + p for p in ("", "-wlr", "-gtk")]
PATCH = "#3A7F1C"  # the wallpaper's middle half, where the main window opens
# Screen size, and how the eyedropper reads the screen.
RUNS = [("1280x720", "screencopy"), ("3840x2160", "screencopy"), ("1280x720", "portal")]


def make_wallpaper(path, size):
    """Fractal plasma, as hard to compress as a photo, with the patch."""
    w, h = (int(v) for v in size.split("x"))
    subprocess.run(["convert", "-size", size, "-seed", "7", "plasma:fractal", "-fill", PATCH,
                    "-draw", "rectangle %d,%d %d,%d" % (w // 4, h // 4, 3 * w // 4 - 1,
                                                        3 * h // 4 - 1),
                    "-depth", "8", path], check=True, timeout=120)


def outside():
    missing = [t for t in NEEDED if not shutil.which(t)]
    if missing:
        print("SKIPPED: scripts/setup.sh installs what the session needs:", ", ".join(missing))
        return SKIPPED
    stage = tempfile.mkdtemp(prefix="vandrel-wl-stage-")
    try:
        shutil.copytree(HERE, stage, dirs_exist_ok=True)
        shutil.copy(BIN, os.path.join(stage, "vandrel"))
        for size in sorted({size for size, _ in RUNS}):
            make_wallpaper(os.path.join(stage, "wallpaper-%s.png" % size), size)
        subprocess.run(["chmod", "-R", "a+rX", stage], check=True)
        for size, capture in RUNS:
            print("Wayland session %s, %s:" % (size, capture), flush=True)
            rc = subprocess.run([os.path.join(HERE, "wayland-session.sh"), "-s", size, "-b",
                                 os.path.join(stage, "wallpaper-%s.png" % size), "--",
                                 "/usr/bin/python3", os.path.join(stage, "test_wayland_e2e.py"),
                                 "--inside", capture],
                                env=dict(os.environ, VANDREL_BIN=os.path.join(stage, "vandrel")),
                                cwd=stage, timeout=300).returncode
            if rc == NO_NAMESPACE:
                print("SKIPPED: run as root, the Wayland session needs a private PID namespace, "
                      "which this machine does not allow (the right to make namespaces, "
                      "CAP_SYS_ADMIN)")
                return SKIPPED
            if rc != 0:
                return rc  # 70: the session did not start, which fails like any fault
    finally:
        shutil.rmtree(stage, ignore_errors=True)
    return 0


def screen_pixel(x, y):
    """What the compositor shows at x, y, read with grim."""
    ppm = subprocess.run(["grim", "-g", "%d,%d 1x1" % (x, y), "-t", "ppm", "-"],
                         capture_output=True, check=True, timeout=20).stdout
    return "#%02X%02X%02X" % tuple(ppm[-3:])


def portal_started():
    reply = subprocess.run(["dbus-send", "--session", "--print-reply",
                            "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                            "org.freedesktop.DBus.NameHasOwner",
                            "string:org.freedesktop.portal.Desktop"],
                           capture_output=True, text=True, check=True, timeout=20).stdout
    return "boolean true" in reply


def pick(s, x, y, expected, timeout):
    """Picks at x, y with the main window hidden, and copies the colour."""
    s.click_at(*s.client_point(*TOOLBAR_DROPPER))
    s.wait_eyedropper(timeout=timeout)
    assert not s.is_viewable(s.main), "the main window stays shown"
    s.click_at(x, y)
    s.wait_eyedropper(shown=False)
    wait_until(lambda: s.is_viewable(s.main), what="main window back")
    s.click_at(*s.client_point(*COPY_BUTTON))
    s.clipboard_becomes(expected)


def inside(capture):
    s = Session("[Setting]\nHideDokodemo=1\n", window_manager=False)
    if capture == "portal":
        s.env["VANDREL_NO_SCREENCOPY"] = "1"
    w, h = s.size
    # Until the wallpaper is loaded (a second or so at 3840 x 2160) the
    # compositor shows grey.
    wait_until(lambda: screen_pixel(w // 2, h // 2) == PATCH, timeout=60, what="the wallpaper")
    s.start()

    def middle():  # of the main window
        x, y, mw, mh = s.geometry(s.main)
        return x + mw // 2, y + mh // 2

    def over_patch():  # once the compositor has placed the main window
        x, y = middle()
        return w // 4 <= x < 3 * w // 4 and h // 4 <= y < 3 * h // 4
    wait_until(over_patch, what=lambda: "the main window over the patch, not at %r"
               % (s.geometry(s.main),))
    under = middle()
    noise = (w // 8, 7 * h // 8)
    shown = screen_pixel(*noise)
    assert shown != PATCH
    # NOTE: the program asks the portal at start-up, but its first answer
    # now and then comes only after 25 s; the program waits up to 60 s.
    timeout = 90 if capture == "portal" else 30
    pick(s, *under, PATCH, timeout)
    pick(s, *noise, shown, timeout)
    assert portal_started() == (capture == "portal"), "the portal was asked, or not"
    if capture == "portal" or w != 1280:
        s.close()
        return 0
    assert s.close_main_by_menu() == 0

    # Without Xwayland, on Qt's Wayland platform: it starts, and keeps the
    # position stored on X11 (the compositor places its windows) for later.
    s.config.write_text("[Position]\nTop=3000\nLeft=4500\n")
    del s.env["DISPLAY"]
    s.app = s._spawn([s.binary], stderr=subprocess.PIPE)
    wait_until(lambda: '"app_id": "%s"' % APP_ID in s._run(["swaymsg", "-t", "get_tree"]),
               what="the program's window on the Wayland platform")
    s._run(["swaymsg", "[app_id=%s] kill" % APP_ID])
    errors = s.app.communicate(timeout=20)[1].decode()
    assert s.app.returncode == 0 and "qt.qpa" not in errors, errors
    assert ini_value(s.config.read_text(), "Position", "Left") == "4500", s.config.read_text()
    s.close()
    return 0


if __name__ == "__main__":
    sys.exit(inside(sys.argv[2]) if "--inside" in sys.argv else outside())
