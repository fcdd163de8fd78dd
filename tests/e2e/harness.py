"""Runs the built tool the way a user would, in a fresh folder per test.

LORVINK_EXE names the executable under test; LORVINK_RUNNER, when set, is a
command that runs it (the Windows build runs under wine).
"""
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

EXE = os.environ.get("LORVINK_EXE", "")
RUNNER = shlex.split(os.environ.get("LORVINK_RUNNER", ""))
WINDOWS = EXE.lower().endswith(".exe")
MODULE = os.path.basename(EXE)
UNPRIVILEGED_UID = 65534

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

    def run_tool(self, *args, exe=None, stdout=subprocess.PIPE, preexec=None,
                 limits=(), unprivileged=False, stdin=subprocess.DEVNULL, timeout=120):
        """Runs the tool in the test's folder; returns its status and the
        bytes it wrote to standard output."""
        exe = exe or EXE
        command = RUNNER + [exe] + list(args)
        if unprivileged and os.geteuid() == 0:
            command = ["setpriv", "--reuid=%d" % UNPRIVILEGED_UID, "--regid=%d" % UNPRIVILEGED_UID,
                       "--clear-groups", "--"] + command

        def child_setup():
            signal.signal(signal.SIGPIPE, signal.SIG_DFL)
            for which, value in limits:
                resource.setrlimit(which, (value, value))
            if preexec:
                preexec()

        proc = subprocess.run(command, cwd=self.dir, stdin=stdin, stdout=stdout,
                              stderr=subprocess.PIPE, preexec_fn=child_setup,
                              timeout=timeout, close_fds=True)
        self.assertEqual(proc.stderr, b"", "nothing may go to standard error")
        return Result(proc.returncode, proc.stdout)

    def copy_exe(self, name):
        """A copy of the executable the unprivileged user can run too."""
        target = self.path(name)
        shutil.copy(EXE, target)
        os.chmod(target, 0o755)
        return target

    def assertFailure(self, result, message, before=b"", kind="EInOutError", module=None):
        """Exit status 1, the lines written before the failure intact, then
        exactly the two report lines. Returns the location."""
        self.assertEqual(result.status, 1, result.out)
        self.assertTrue(result.out.startswith(before), result.out)
        match = re.fullmatch(report_pattern(message, kind, module), result.out[len(before):])
        self.assertIsNotNone(match, result.out)
        return match.group(1)
