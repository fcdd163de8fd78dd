#!/usr/bin/env python3
"""Runs the end-to-end suite against the Windows build under wine.

usage: run_windows_suite.py WINDOWS_BUILD_DIR WINE_DIR [TEST ...]

Skips (exit 77, with the reason) when the Windows build or wine is missing,
except under CI, where the Windows suite must run and a missing piece fails.
"""
import os
import shutil
import subprocess
import sys


def start_wine_session(env, prefix_command=(), cwd=None):
    """One wine server for the whole suite, with wine's own background
    processes started now, their output going nowhere: started by a test's
    run, they would hold its output pipes open, and a server started per run
    costs seconds each time."""
    command = list(prefix_command)
    subprocess.run(command + ["wineserver", "-p"], env=env, cwd=cwd, check=False)
    subprocess.run(command + ["wine", "cmd", "/c", "exit"], env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


def main():
    build_dir, wine_dir = sys.argv[1], sys.argv[2]
    exe = os.path.join(build_dir, "lorvink.exe")
    reason = None
    if not shutil.which("wine"):
        reason = "wine is not installed (tools/install-deps.sh installs it as root)"
    elif not os.path.exists(exe):
        reason = "lorvink.exe was not built (the i686 MinGW-w64 cross compiler is missing)"
    if reason:
        print("Windows suite skipped: " + reason, flush=True)
        notice = os.path.join(wine_dir, "..", "windows-suite-skipped.txt")
        with open(notice, "w") as f:
            f.write(reason + "\n")
        return 1 if os.environ.get("CI") else 77

    env = dict(os.environ)
    env["WINEDEBUG"] = "-all"
    env["WINEPREFIX"] = os.path.join(wine_dir, "prefix")
    env["LORVINK_EXE"] = exe
    env["LORVINK_RUNNER"] = "wine"
    env["LORVINK_HELPERS"] = build_dir
    os.makedirs(wine_dir, exist_ok=True)
    if not os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
        print("Creating the wine prefix (the first start takes a while)...", flush=True)
        subprocess.run(["wine", "wineboot", "--init"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        subprocess.run(["wineserver", "-w"], env=env, check=False)
    start_wine_session(env)
    try:
        suite = subprocess.run([sys.executable, "-m", "unittest", "-v"] + (sys.argv[3:] or ["test_e2e"]), env=env,
                               cwd=os.path.dirname(os.path.abspath(__file__)))
    finally:
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL, check=False)
    return suite.returncode


if __name__ == "__main__":
    sys.exit(main())
