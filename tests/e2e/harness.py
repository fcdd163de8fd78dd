"""Runs the built tool the way a user would, in a fresh folder per test.

LORVINK_EXE names the executable under test; LORVINK_RUNNER, when set, is a
command that runs it (the Windows build runs under wine).
"""
import atexit
import os
import re
import resource
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
import bspfile  # noqa: E402
from run_windows_suite import start_wine_session  # noqa: E402

EXE = os.environ.get("LORVINK_EXE", "")
RUNNER = shlex.split(os.environ.get("LORVINK_RUNNER", ""))
WINDOWS = EXE.lower().endswith(".exe")
MODULE = os.path.basename(EXE)
HELPERS = os.environ.get("LORVINK_HELPERS", "")
UNPRIVILEGED_UID = 65534
IN_CI = bool(os.environ.get("CI"))

USAGE = b'Usage:\r\nlorvink "bspfilename"\r\nDumps the entities of a bsp file to a text file\r\n'


def size_line(length, offset):
    return b"Entities lump, size: %d offset: %d\r\n" % (length, offset)


def report_pattern(message, kind="EInOutError", module=None):
    """The two report lines: the first ends in '.' and a bare LF, the second
    in '.' and CR LF."""
    name = re.escape((module or MODULE).encode())
    return (b"Exception " + kind.encode() + b" in module " + name +
            b" at ([0-9A-F]{8})\\.\n" + re.escape(message.encode()) + b"\\.\r\n")


def is_static(path):
    """A statically linked ELF file has no program interpreter."""
    with open(path, "rb") as f:
        data = f.read(1 << 20)
    return data[:4] == b"\x7fELF" and b"/ld-linux" not in data


_unprivileged_wine = None


def unprivileged_wine_env():
    """Wine refuses a prefix that belongs to another user: the unprivileged
    user gets one of its own, made on first use and removed at exit."""
    global _unprivileged_wine
    if _unprivileged_wine is None:
        home = tempfile.mkdtemp(prefix="lorvink-wine-user-")
        os.chown(home, UNPRIVILEGED_UID, UNPRIVILEGED_UID)
        env = dict(os.environ, HOME=home, WINEPREFIX=os.path.join(home, "prefix"))
        as_user = ["setpriv", "--reuid=%d" % UNPRIVILEGED_UID, "--regid=%d" % UNPRIVILEGED_UID,
                   "--clear-groups", "--"]
        subprocess.run(as_user + ["wine", "wineboot", "--init"], env=env, cwd=home,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        subprocess.run(as_user + ["wineserver", "-w"], env=env, cwd=home, check=False)
        start_wine_session(env, as_user, cwd=home)

        def remove():
            subprocess.run(as_user + ["wineserver", "-k"], env=env, cwd=home,
                           stderr=subprocess.DEVNULL, check=False)
            shutil.rmtree(home, ignore_errors=True)

        atexit.register(remove)
        _unprivileged_wine = env
    return _unprivileged_wine


class Result:
    def __init__(self, status, out):
        self.status = status
        self.out = out


class ToolTestCase(unittest.TestCase):
    """Each test gets a folder of its own, open to the unprivileged user."""

    def setUp(self):
        if not EXE:
            self.skipTest("LORVINK_EXE is not set")
        self.dir = tempfile.mkdtemp(prefix="lorvink-e2e-")
        os.chmod(self.dir, 0o777)
        self.addCleanup(self._remove_dir)

    def _remove_dir(self):
        for root, dirs, _ in os.walk(self.dir):
            for d in dirs:
                try:
                    os.chmod(os.path.join(root, d), 0o777)
                except OSError:
                    pass
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data, mode=None):
        p = self.path(name)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        with open(p, "wb") as f:
            f.write(data)
        if mode is not None:
            os.chmod(p, mode)
        return p

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def exists(self, name):
        return os.path.lexists(self.path(name))

    def listing(self):
        return sorted(os.listdir(self.dir))

    def run_tool(self, *args, exe=None, stdout=subprocess.PIPE, preexec=None, cwd=None,
                 limits=(), unprivileged=False, stdin=subprocess.DEVNULL, env=None, timeout=120):
        """Runs the tool in the test's folder; returns its status and the
        bytes it wrote to standard output."""
        env = dict(os.environ, **(env or {}))
        if unprivileged and os.geteuid() == 0:
            # A copy in the test's folder: the build folder may be closed to others.
            exe = exe or self.copy_exe(MODULE)
            command = ["setpriv", "--reuid=%d" % UNPRIVILEGED_UID, "--regid=%d" % UNPRIVILEGED_UID,
                       "--clear-groups", "--"] + RUNNER + [exe] + list(args)
            if RUNNER:
                env.update(unprivileged_wine_env())
        else:
            command = RUNNER + [exe or EXE] + list(args)

        def child_setup():
            signal.signal(signal.SIGPIPE, signal.SIG_DFL)
            for which, value in limits:
                resource.setrlimit(which, (value, value))
            if preexec:
                preexec()

        proc = subprocess.run(command, cwd=cwd or self.dir, stdin=stdin, stdout=stdout,
                              stderr=subprocess.PIPE, preexec_fn=child_setup, env=env,
                              timeout=timeout, close_fds=True)
        self.assertEqual(proc.stderr.decode(errors="replace"), "",
                         "nothing may go to standard error")
        return Result(proc.returncode, proc.stdout)

    def copy_exe(self, name):
        """A copy of the executable the unprivileged user can run too."""
        target = self.path(name)
        shutil.copy(EXE, target)
        os.chmod(target, 0o755)
        return target

    def assertDumped(self, result, output, lump, offset=124):
        """Status 0, the size line alone, and |output| holding the lump."""
        self.assertEqual((result.status, result.out), (0, size_line(len(lump), offset)))
        self.assertEqual(self.read(output), lump)

    def assertFailure(self, result, message, before=b"", kind="EInOutError", module=None):
        """Exit status 1, the lines written before the failure intact, then
        exactly the two report lines. Returns the location."""
        self.assertEqual(result.status, 1, result.out)
        self.assertTrue(result.out.startswith(before), result.out)
        match = re.fullmatch(report_pattern(message, kind, module), result.out[len(before):])
        self.assertIsNotNone(match, result.out)
        return match.group(1)
