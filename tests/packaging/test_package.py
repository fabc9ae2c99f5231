# SPDX-License-Identifier: MIT
"""Builds the Debian package from the build folder, unpacks it into a temporary root and checks
it the way a desktop and Debian's tools see it. Then the program runs from it as installed: in a
private mount namespace the package's /usr lies over the system's, with a temporary folder on top
that catches every write, and root, who could write there, runs the program once. It keeps its
settings in the user's folder and writes nothing beside itself.

Usage (on an X display): test_package.py <build dir> <install prefix>
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from vandrel_e2e import Session, ini_value  # noqa: E402

BUILD, PREFIX = sys.argv[1:3]
APP_ID = "io.github.vandrel.Vandrel"
ICON_SIZES = [16, 32, 48, 64, 128, 256]


def run(*argv):
    result = subprocess.run(argv, capture_output=True, text=True, timeout=300, cwd=BUILD)
    return result.returncode, result.stdout + result.stderr


def png_width(path):
    head = open(path, "rb").read(24) if os.path.isfile(path) else bytes(24)
    return struct.unpack(">II", head[16:24])[0] if head[12:16] == b"IHDR" else None


def check_package(deb, root):
    # The desktop entry's command and icon name what the package installed, at every size.
    share = os.path.join(root, "usr", "share")
    desktop = os.path.join(share, "applications", APP_ID + ".desktop")
    text = open(desktop).read() if os.path.isfile(desktop) else ""
    entry = dict(re.findall(r"^(Exec|Icon)=(\S*)", text.split("\n[Desktop Action")[0], re.M))
    failures = [] if os.access(os.path.join(root, "usr", "bin", entry.get("Exec", "?")), os.X_OK) \
        else ["Exec does not resolve: %s" % entry.get("Exec")]
    # The desktop's menus and docks offer a pick straight from the screen.
    action = "\n[Desktop Action pick]\nName=Pick a Colour from the Screen\n" \
        "Name[ja]=スポイトで色を取る\nExec=%s --pick --copy\n" % entry.get("Exec")
    if not re.search(r"^Actions=(.*;)?pick;", text, re.M) or action not in text:
        failures.append("no pick action in " + desktop)
    icon = os.path.join(share, "icons", "hicolor", "%s", "apps", entry.get("Icon", "?") + ".%s")
    widths = [png_width(icon % ("%dx%d" % (n, n), "png")) for n in ICON_SIZES]
    if widths != ICON_SIZES or not os.path.isfile(icon % ("scalable", "svg")):
        failures.append("icons %s: %s" % (icon, widths))
    # lintian: no errors and no warnings (its notes are listed in the README). The desktop entry
    # and the metainfo are installed as they are in the sources, where their validators check them.
    code, out = run("lintian", "--allow-root", "--tag-display-limit", "0", deb)
    if code != 0 or re.search(r"^[EW]: ", out, re.M):
        failures.append("lintian:\n" + out)
    return failures


def run_installed(root, tmp):
    """Inside the mount namespace: the program from the package, run by root."""
    upper, work, home = (tempfile.mkdtemp(dir=tmp) for _ in range(3))
    if run("mount", "-t", "overlay", "overlay", "-o", "lowerdir=%s/usr:%s,upperdir=%s,workdir=%s"
           % (root, PREFIX, upper, work), PREFIX)[0]:
        return ["cannot lay the package over %s" % PREFIX]
    s = Session()
    try:
        del s.env["XDG_CONFIG_HOME"]
        s.env["HOME"] = home
        s.start([os.path.join(PREFIX, "bin", "vandrel")])
        code = s.close_main_by_menu()
    finally:
        s.close()
        run("umount", "-l", PREFIX)
    config = os.path.join(home, ".config", "Vandrel", "Config.ini")
    text = open(config).read() if os.path.isfile(config) else ""
    written = [os.path.join(d, f) for d, _, files in os.walk(upper) for f in files]
    checks = [(code == 0, "exit code %s" % code),
              (ini_value(text, "Use", "NumberOfUse") == "1", "no start counted in " + config),
              (not written, "written into %s: %s" % (PREFIX, written))]
    return [what for ok, what in checks if not ok]


def main():
    if PREFIX != "/usr":
        print("SKIP: a Debian package needs -DCMAKE_INSTALL_PREFIX=/usr, not " + PREFIX)
        return 77
    refused = ""  # why no private mount namespace could be made
    if len(sys.argv) > 3:
        failures = run_installed(*sys.argv[3:5])
    else:
        tmp = tempfile.mkdtemp(prefix="vandrel-package-")
        try:
            code, out = run("cpack", "-G", "DEB", "-B", tmp)
            debs = [os.path.join(tmp, n) for n in os.listdir(tmp) if n.endswith(".deb")]
            if code != 0 or len(debs) != 1:
                raise RuntimeError("cpack did not give one package: %s\n%s" % (debs, out))
            root = os.path.join(tmp, "root")
            subprocess.run(["dpkg-deb", "-x", debs[0], root], check=True, timeout=60)
            # The user maps to root in a namespace of its own.
            unshare = ["unshare", "--mount", "--propagation", "private"] + (
                ["--map-root-user"] if os.geteuid() else [])
            code, out = run(*unshare, "true")
            refused = (out.strip() or "unshare: status %d" % code) if code else ""
            if not refused:
                code, out = run(*unshare, sys.executable, os.path.abspath(__file__), BUILD,
                                PREFIX, root, tmp)
            failures = check_package(debs[0], root) + ([out] if code and not refused else [])
        finally:
            shutil.rmtree(tmp, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    if refused and not failures:
        print("SKIP: the package passed its checks, but its program was not run as installed: "
              "that needs a private mount namespace, which this machine does not allow "
              "(the right to make namespaces): " + refused)
        return 77
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
