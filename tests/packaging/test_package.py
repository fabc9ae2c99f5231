# SPDX-License-Identifier: MIT
"""Builds the Debian package from the build folder, unpacks it into a temporary root and checks
it from there the way a desktop and Debian's tools see it.

Usage: test_package.py <build dir> <source dir> <version> <install prefix>
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

BUILD, _, VERSION, PREFIX = sys.argv[1:5]
APP_ID = "io.github.vandrel.Vandrel"
ICON_SIZES = (16, 32, 48, 64, 128, 256)


def run(*argv):
    result = subprocess.run(argv, capture_output=True, text=True, timeout=300, cwd=BUILD)
    return result.returncode, result.stdout + result.stderr


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return struct.unpack(">II", head[16:24]) if head[12:16] == b"IHDR" else None


def check_package(tmp):
    code, out = run("cpack", "-G", "DEB", "-B", tmp)
    debs = [os.path.join(tmp, n) for n in os.listdir(tmp) if n.endswith(".deb")]
    if code != 0 or len(debs) != 1:
        return ["cpack did not give one package: %s\n%s" % (debs, out)]
    deb, failures = debs[0], []

    def check(ok, what):
        if not ok:
            failures.append(what)

    # The project's version, and dependencies from the libraries the program links plus the
    # run-time pieces no library names (the platform plugins, the Japanese font).
    field = {name: run("dpkg-deb", "-f", deb, name)[1].strip()
             for name in ("Version", "Depends", "Recommends")}
    check(field["Version"] == VERSION, "Version: " + field["Version"])
    depends = {d.split()[0] for d in field["Depends"].split(", ")}
    for wanted in ("libqt6widgets6", "libqt6gui6", "libc6", "qt6-qpa-plugins",
                   "fonts-ipafont-gothic"):
        check(wanted in depends, "Depends lacks " + wanted)
    for wanted in ("qt6-wayland", "xdg-desktop-portal"):
        check(wanted in field["Recommends"], "Recommends lacks " + wanted)

    root = os.path.join(tmp, "root")
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True, timeout=60)
    share = os.path.join(root, "usr", "share")
    desktop = os.path.join(share, "applications", APP_ID + ".desktop")
    metainfo = os.path.join(share, "metainfo", APP_ID + ".metainfo.xml")
    icon_path = os.path.join(share, "icons", "hicolor", "%s", "apps", "%s")
    check(os.path.isfile(icon_path % ("scalable", APP_ID + ".svg")), "no scalable icon")

    # The desktop entry's command and icon name what the package installed.
    entry = dict(re.findall(r"^(Exec|Icon)=(\S*)", open(desktop).read(), re.M)
                 if os.path.isfile(desktop) else [])
    check(os.access(os.path.join(root, "usr", "bin", entry.get("Exec", "?")), os.X_OK),
          "Exec does not resolve: %s" % entry.get("Exec"))
    for size in ICON_SIZES:
        png = icon_path % ("%dx%d" % (size, size), entry.get("Icon", "?") + ".png")
        check(os.path.isfile(png) and png_size(png) == (size, size), "icon %d: %s" % (size, png))

    # The validators and lintian: no errors and no warnings (its notes are listed in the README).
    for argv in (["desktop-file-validate", desktop],
                 ["appstreamcli", "validate", "--no-net", metainfo],
                 ["lintian", "--allow-root", "--tag-display-limit", "0", deb]):
        code, out = run(*argv)
        tags = re.findall(r"^[EW]: .*", out, re.M)
        check(code == 0 and not tags, "%s:\n%s" % (argv[0], out))
    return failures


def main():
    if PREFIX != "/usr":
        print("SKIP: the package is laid out under the install prefix %s; configure with "
              "-DCMAKE_INSTALL_PREFIX=/usr to build a Debian package" % PREFIX)
        return 77
    tmp = tempfile.mkdtemp(prefix="vandrel-package-")
    try:
        failures = check_package(tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
