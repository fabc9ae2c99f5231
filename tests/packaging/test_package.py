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
import tarfile
import tempfile

BUILD, SOURCE, VERSION, PREFIX = sys.argv[1:5]
APP_ID = "io.github.vandrel.Vandrel"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
SKIP = 77

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(argv, **kwargs):
    return subprocess.run(argv, capture_output=True, text=True, timeout=300, **kwargs)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def desktop_entry(path):
    entry = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            key, sep, value = line.strip().partition("=")
            if sep and not key.startswith("#"):
                entry[key] = value
    return entry


def main():
    if PREFIX != "/usr":
        print("SKIP: the package is laid out under the install prefix %s; configure with "
              "-DCMAKE_INSTALL_PREFIX=/usr to build a Debian package" % PREFIX)
        return SKIP
    tmp = tempfile.mkdtemp(prefix="vandrel-package-")
    try:
        return check_package(tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def check_package(tmp):
    built = run(["cpack", "-G", "DEB", "-B", tmp], cwd=BUILD)
    debs = [name for name in os.listdir(tmp) if name.endswith(".deb")]
    if built.returncode != 0 or len(debs) != 1:
        print(built.stdout, built.stderr)
        print("FAIL: cpack did not give one package: %s" % debs)
        return 1
    deb = os.path.join(tmp, debs[0])
    arch = run(["dpkg", "--print-architecture"]).stdout.strip()
    check(debs[0] == "vandrel_%s_%s.deb" % (VERSION, arch), "package file name " + debs[0])

    # Control fields: the name, the project's version, dependencies from the libraries the
    # program links plus the run-time pieces no library names.
    fields = {}
    for name in ("Package", "Version", "Section", "Maintainer", "Homepage", "Depends",
                 "Recommends", "Description"):
        fields[name] = run(["dpkg-deb", "-f", deb, name]).stdout.strip()
    check(fields["Package"] == "vandrel", "Package: " + fields["Package"])
    check(fields["Version"] == VERSION, "Version: " + fields["Version"])
    check(fields["Section"] == "graphics", "Section: " + fields["Section"])
    check(re.fullmatch(r"[^<>]+ <[^@<>\s]+@[^@<>\s]+>", fields["Maintainer"]),
          "Maintainer: " + fields["Maintainer"])
    check(fields["Homepage"].startswith("https://"), "Homepage: " + fields["Homepage"])
    depends = [d.strip() for d in fields["Depends"].split(",")]
    for wanted in ("libqt6widgets6", "libqt6gui6", "libfontconfig1", "libc6",
                   "qt6-qpa-plugins", "fonts-ipafont-gothic"):
        check(any(d.split()[0] == wanted for d in depends), "Depends lacks " + wanted)
    for wanted in ("qt6-wayland", "xdg-desktop-portal"):
        check(wanted in fields["Recommends"], "Recommends lacks " + wanted)
    description = fields["Description"].splitlines()
    check(len(description) > 2 and description[0], "no short and long description")

    # Modes and owners as stored in the package.
    tar_path = os.path.join(tmp, "data.tar")
    with open(tar_path, "wb") as out:
        subprocess.run(["dpkg-deb", "--fsys-tarfile", deb], stdout=out, check=True, timeout=60)
    program = "./usr/bin/vandrel"
    with tarfile.open(tar_path) as tar:
        for member in tar.getmembers():
            want = 0o755 if member.isdir() or member.name == program else 0o644
            check(member.uname == "root" and member.gname == "root",
                  "owner of %s: %s:%s" % (member.name, member.uname, member.gname))
            if not member.issym():
                check(member.mode == want, "mode of %s: %o" % (member.name, member.mode))

    root = os.path.join(tmp, "root")
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True, timeout=60)
    usr = os.path.join(root, "usr")
    share = os.path.join(usr, "share")
    desktop = os.path.join(share, "applications", APP_ID + ".desktop")
    metainfo = os.path.join(share, "metainfo", APP_ID + ".metainfo.xml")
    hicolor = os.path.join(share, "icons", "hicolor")
    expected = [os.path.join(usr, "bin", "vandrel"), desktop, metainfo,
                os.path.join(hicolor, "scalable", "apps", APP_ID + ".svg"),
                os.path.join(share, "doc", "vandrel", "copyright"),
                os.path.join(share, "man", "man1", "vandrel.1.gz")]
    for path in expected:
        check(os.path.isfile(path), "missing " + os.path.relpath(path, root))
    for size in ICON_SIZES:
        png = os.path.join(hicolor, "%dx%d" % (size, size), "apps", APP_ID + ".png")
        check(os.path.isfile(png) and png_size(png) == (size, size),
              "icon %d: %s" % (size, png_size(png) if os.path.isfile(png) else "missing"))

    # No trace of the machine the package was built on.
    traces = [p.encode() for p in (os.path.realpath(BUILD), os.path.realpath(SOURCE))]
    for folder, _, files in os.walk(root):
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            for trace in traces:
                check(trace not in data, "%s holds the path %s" % (name, trace.decode()))

    for argv in (["desktop-file-validate", desktop],
                 ["appstreamcli", "validate", "--no-net", metainfo]):
        result = run(argv)
        output = result.stdout + result.stderr
        check(result.returncode == 0 and not re.search(r"^[EW]:", output, re.M),
              "%s:\n%s" % (argv[0], output))

    # The desktop entry's command and icon name what the package installed.
    entry = desktop_entry(desktop) if os.path.isfile(desktop) else {}
    command = entry.get("Exec", "").split()[:1]
    check(command and os.access(os.path.join(usr, "bin", command[0]), os.X_OK),
          "Exec does not resolve: %s" % entry.get("Exec"))
    icon = entry.get("Icon", "")
    check(icon and all(os.path.isfile(os.path.join(hicolor, "%dx%d" % (s, s), "apps",
                                                   icon + ".png")) for s in ICON_SIZES),
          "Icon does not resolve: " + icon)

    # Lintian: no errors and no warnings; its informational notes are listed in the README.
    lintian = run(["lintian", "--allow-root", "--tag-display-limit", "0", deb])
    tags = re.findall(r"^[EW]: vandrel\S*: .*", lintian.stdout, re.M)
    check(not tags, "lintian:\n" + "\n".join(tags))
    check(lintian.returncode == 0 or tags, "lintian did not run:\n" + lintian.stderr)

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
