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
import vandrel_e2e  # noqa: E402

BUILD, PREFIX = sys.argv[1:3]
INNER = "VANDREL_INSTALLED_TEST_INNER"
SKIP = 77


def outer():
    """Starts this script again inside its own mount namespace."""
    if not os.path.isdir(PREFIX):
        print("SKIP: the install prefix %s does not exist here" % PREFIX)
        return SKIP
    unshare = ["unshare", "--mount", "--propagation", "private"]
    if os.geteuid() != 0:
        unshare.insert(1, "--map-root-user")
    if subprocess.run(unshare + ["true"], capture_output=True, timeout=30).returncode != 0:
        print("SKIP: no private mount namespace here (%s)" % " ".join(unshare))
        return SKIP
    env = dict(os.environ, **{INNER: "1" if os.geteuid() == 0 else "0"})
    return subprocess.run(unshare + [sys.executable] + sys.argv, env=env, timeout=240).returncode


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder)
                  for d, _, files in os.walk(folder) for f in files)


def run_as(user, tmp, upper, bindir):
    """One start and close; returns what went wrong."""
    home = os.path.join(tmp, "home-" + user)
    os.makedirs(home)
    account = pwd.getpwnam(user)
    os.chown(home, account.pw_uid, account.pw_gid)
    before = set(files_under(upper))
    with vandrel_e2e.Session() as session:
        for name in ("XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"):
            session.env.pop(name, None)
        session.env["HOME"] = home
        argv = [os.path.join(bindir, "vandrel")]
        if account.pw_uid != os.geteuid():
            argv = ["setpriv", "--reuid", str(account.pw_uid), "--regid", str(account.pw_gid),
                    "--clear-groups"] + argv
        session.app = session._spawn(argv, stderr=subprocess.DEVNULL)
        session.main = vandrel_e2e.wait_until(lambda: session.find_window("^Vandrel$"),
                                              what="main window of " + user)
        vandrel_e2e.wait_until(lambda: session.is_viewable(session.main), what="window shown")
        exit_code = session.close_main_by_menu()
    problems = []
    if exit_code != 0:
        problems.append("%s: exit code %s" % (user, exit_code))
    config = os.path.join(home, ".config", "Vandrel", "Config.ini")
    text = open(config).read() if os.path.isfile(config) else ""
    if (vandrel_e2e.ini_value(text, "Use", "NumberOfUse") != "1"
            or vandrel_e2e.ini_value(text, "Color", "Red") != "0"):
        problems.append("%s: no start and close in %s: %r" % (user, config, text))
    written = sorted(set(files_under(upper)) - before)
    if written:
        problems.append("%s: written into the install prefix: %s" % (user, written))
    return problems


def inner():
    tmp = tempfile.mkdtemp(prefix="vandrel-installed-")
    os.chmod(tmp, 0o755)
    upper, work = os.path.join(tmp, "upper"), os.path.join(tmp, "work")
    os.makedirs(upper)
    os.makedirs(work)
    try:
        subprocess.run(["mount", "-t", "overlay", "overlay", "-o",
                        "lowerdir=%s,upperdir=%s,workdir=%s" % (PREFIX, upper, work), PREFIX],
                       check=True, timeout=30)
    except (subprocess.CalledProcessError, FileNotFoundError) as error:
        shutil.rmtree(tmp, ignore_errors=True)
        print("SKIP: cannot overlay the install prefix here: %s" % error)
        return SKIP
    try:
        subprocess.run(["cmake", "--install", BUILD], check=True, timeout=60,
                       stdout=subprocess.DEVNULL)
        bindir = os.path.join(PREFIX, "bin")
        installed = os.path.join(upper, "bin", "vandrel")
        if not os.access(installed, os.X_OK):
            print("FAIL: cmake --install put no program into %s" % bindir)
            return 1
        users = ["root", "nobody"] if os.environ[INNER] == "1" else ["root"]
        problems = [p for user in users for p in run_as(user, tmp, upper, bindir)]
    finally:
        subprocess.run(["umount", "-l", PREFIX], timeout=30)
        shutil.rmtree(tmp, ignore_errors=True)
    for problem in problems:
        print("FAIL:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(inner() if INNER in os.environ else outer())
