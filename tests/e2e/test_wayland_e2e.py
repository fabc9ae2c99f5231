# SPDX-License-Identifier: MIT
"""The screen eyedropper on a Wayland desktop: a private headless sway session
(wayland-session.sh beside this file) whose background, #336699, only the
compositor can see. The real program, on Xwayland as such a desktop runs it,
picks it through the desktop portal from under its hidden main window; then,
with no Xwayland, it runs on Qt's Wayland platform.

Run by CTest outside the session: the script stages the program and itself in
a folder any user can read (the session runs as nobody when started as root)
and runs itself again inside the session."""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from vandrel_e2e import BIN, TOOLBAR_DROPPER, Session, ini_value, wait_until  # noqa: E402

SKIPPED, SESSION_FAILED = 77, 70
APP_ID = "io.github.vandrel.Vandrel"
NEEDED = ["sway", "Xwayland", "grim", "pipewire", "dbus-daemon", "dbus-send"] + [
    "/usr/libexec/xdg-desktop-portal" + p for p in ("", "-wlr", "-gtk")]


def outside():
    missing = [t for t in NEEDED if not shutil.which(t)]
    if missing:
        print("SKIPPED: scripts/setup.sh installs what the session needs:", ", ".join(missing))
        return SKIPPED
    stage = tempfile.mkdtemp(prefix="vandrel-wl-stage-")
    try:
        shutil.copytree(HERE, stage, dirs_exist_ok=True)
        shutil.copy(BIN, os.path.join(stage, "vandrel"))
        subprocess.run(["chmod", "-R", "a+rX", stage], check=True)
        rc = subprocess.run([os.path.join(HERE, "wayland-session.sh"), "/usr/bin/python3",
                             os.path.join(stage, "test_wayland_e2e.py"), "--inside"],
                            env=dict(os.environ, VANDREL_BIN=os.path.join(stage, "vandrel")),
                            timeout=600).returncode
    finally:
        shutil.rmtree(stage, ignore_errors=True)
    if rc == SESSION_FAILED:
        print("SKIPPED: the Wayland session could not start (see the message above)")
        return SKIPPED
    return rc


def inside():
    # The portal starts on the first call; start it before the test, so its
    # bounded waits measure the program, not the start. That start can take
    # 25 s: now and then the wlroots backend leaves the portal's first question
    # unanswered until the portal gives up on it (D-Bus's default timeout),
    # longer than the program waits for a picture (5 s), so the eyedropper
    # would not open.
    subprocess.run(["dbus-send", "--session", "--print-reply", "--reply-timeout=90000",
                    "--dest=org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                    "org.freedesktop.DBus.Properties.Get",
                    "string:org.freedesktop.portal.Screenshot", "string:version"],
                   stdout=subprocess.DEVNULL, check=True, timeout=100)
    s = Session("[Setting]\nHideDokodemo=1\n", window_manager=False)
    s.start()
    s.click_at(*s.client_point(*TOOLBAR_DROPPER))
    s.wait_eyedropper()
    assert not s.is_viewable(s.main), "the main window stays shown"
    s.click_at(*s.client_point(1500, 1500))  # where the main window was
    s.wait_eyedropper(shown=False)
    wait_until(lambda: s.is_viewable(s.main), what="main window back")
    s.activate(s.main)
    s.key("Return")
    s.clipboard_becomes("#336699")  # the desktop's background
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

if __name__ == "__main__":
    sys.exit(inside() if "--inside" in sys.argv else outside())
