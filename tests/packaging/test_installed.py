# SPDX-License-Identifier: MIT
"""The installed program keeps its settings in the user's folder and writes nothing beside
itself, also when root runs it and could write there.

`cmake --install` puts the program into the real install prefix, which a private mount namespace
overlays with a temporary folder: the system stays untouched, and whatever lands in the prefix
during the run is in that folder to look at. As root, the program runs once as root and once as
an ordinary user; otherwise once as the root of a user namespace.

Usage: test_installed.py <build dir> <install prefix>
"""
import os
import pwd
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from vandrel_e2e import Session, ini_value  # noqa: E402

BUILD, PREFIX = sys.argv[1:3]
INNER = "VANDREL_INSTALLED_TEST_INNER"


def outer():
    """Starts this script again inside its own mount namespace."""
    unshare = ["unshare", "--mount", "--propagation", "private"]
    if os.geteuid() != 0:
        unshare.insert(1, "--map-root-user")
    if not os.path.isdir(PREFIX) or subprocess.run(unshare + ["true"]).returncode != 0:
        print("SKIP: no install prefix %s or no private mount namespace here" % PREFIX)
        return 77
    env = dict(os.environ, **{INNER: "1" if os.geteuid() == 0 else "0"})
    return subprocess.run(unshare + [sys.executable] + sys.argv, env=env, timeout=240).returncode


def files_under(folder):
    return {os.path.join(d, f) for d, _, files in os.walk(folder) for f in files}


def run_as(user, tmp, upper):
    """One start and close; returns what went wrong."""
    home = os.path.join(tmp, "home-" + user)
    os.makedirs(home)
    account = pwd.getpwnam(user)
    os.chown(home, account.pw_uid, account.pw_gid)
    before = files_under(upper)
    with Session() as s:
        for name in ("XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"):
            del s.env[name]
        s.env["HOME"] = home
        argv = [os.path.join(PREFIX, "bin", "vandrel")]
        if account.pw_uid != os.geteuid():
            argv = ["setpriv", "--reuid", str(account.pw_uid), "--regid",
                    str(account.pw_gid), "--clear-groups"] + argv
        s.start(argv)
        exit_code = s.close_main_by_menu()
    config = os.path.join(home, ".config", "Vandrel", "Config.ini")
    text = open(config).read() if os.path.isfile(config) else ""
    problems = ["exit code %s" % exit_code] if exit_code else []
    if ini_value(text, "Use", "NumberOfUse") != "1" or ini_value(text, "Color", "Red") != "0":
        problems.append("no start and close in %s: %r" % (config, text))
    if files_under(upper) - before:
        problems.append("written into the install prefix: %s" % (files_under(upper) - before))
    return [user + ": " + p for p in problems]


def inner():
    tmp = tempfile.mkdtemp(prefix="vandrel-installed-")
    os.chmod(tmp, 0o755)
    upper, work = os.path.join(tmp, "upper"), os.path.join(tmp, "work")
    os.makedirs(upper)
    os.makedirs(work)
    if subprocess.run(["mount", "-t", "overlay", "overlay", "-o", "lowerdir=%s,upperdir=%s,"
                       "workdir=%s" % (PREFIX, upper, work), PREFIX], timeout=30).returncode:
        shutil.rmtree(tmp, ignore_errors=True)
        print("SKIP: cannot overlay the install prefix here")
        return 77
    try:
        subprocess.run(["cmake", "--install", BUILD], check=True, timeout=60,
                       stdout=subprocess.DEVNULL)
        if not os.access(os.path.join(upper, "bin", "vandrel"), os.X_OK):
            problems = ["cmake --install put no program into %s/bin" % PREFIX]
        else:
            users = ["root", "nobody"] if os.environ[INNER] == "1" else ["root"]
            problems = [p for user in users for p in run_as(user, tmp, upper)]
    finally:
        subprocess.run(["umount", "-l", PREFIX], timeout=30)
        shutil.rmtree(tmp, ignore_errors=True)
    for problem in problems:
        print("FAIL:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(inner() if INNER in os.environ else outer())
