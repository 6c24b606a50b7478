#!/usr/bin/python3
"""Start-up and memory of the Linux program beside an empty Qt tray program:
the time from the start of the process to its icon's registration with the
panel, and the private dirty memory then; medians of runs that alternate
between the two programs. Both are measured on X11 (the session's Xvfb) and
as native Wayland clients of sway headless. Run inside tools/linux-session.sh,
whose panel's watcher both register with; make bench-linux runs it on Debian
12 and in the Debian 13 root.

    bench_linux.py BUILD_FOLDER [RUNS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

import dbus

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "linux", "e2e"))
from sway import sway_command, sway_folder, sway_socket  # noqa: E402

build = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
NAMES = ("empty_qt_program", "tenebrolite")
WATCHER = "org.kde.StatusNotifierWatcher"
watcher = dbus.SessionBus().get_object(WATCHER, "/StatusNotifierWatcher")


def registrations():
    return len(watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                           dbus_interface=dbus.PROPERTIES_IFACE))


def private_dirty_kb(pid):
    with open("/proc/%d/smaps_rollup" % pid) as f:
        return sum(int(line.split()[1]) for line in f if line.startswith("Private_Dirty:"))


def startup(program, env):
    """(ms to the icon, private dirty kB then)"""
    before = registrations()
    start = time.monotonic()
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=env)
    while registrations() == before:
        if time.monotonic() - start > 10:
            raise SystemExit("no icon from " + program)
        time.sleep(0.002)
    elapsed = time.monotonic() - start
    memory = private_dirty_kb(process.pid)
    process.kill()
    process.wait()
    while registrations() != before:  # the panel lets the item go
        time.sleep(0.002)
    return elapsed * 1000, memory


def measure(session, env):
    results = {name: [] for name in NAMES}
    for _ in range(runs):
        for name in NAMES:
            results[name].append(startup(os.path.join(build, name), env))
    medians = {}
    for name in NAMES:
        times = [t for t, _ in results[name]]
        medians[name] = statistics.median(times), statistics.median(m for _, m in results[name])
        print("%-8s %-17s %7d bytes  start-up to icon %6.1f ms (min %.1f, max %.1f)  "
              "private dirty %5d kB  (medians of %d runs)"
              % (session, name, os.path.getsize(os.path.join(build, name)), medians[name][0],
                 min(times), max(times), medians[name][1], runs))
    print("%-8s ratios: start-up %.2f, memory %.2f" % (
        session, medians["tenebrolite"][0] / medians["empty_qt_program"][0],
        medians["tenebrolite"][1] / medians["empty_qt_program"][1]))


def sway():
    """sway headless, one output: (process, socket, folder)."""
    runtime = sway_folder()
    argv, env = sway_command(runtime, "", outputs=1)
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 20
    while not sway_socket(runtime):
        if time.monotonic() > deadline:
            raise SystemExit("sway did not start")
        time.sleep(0.05)
    return process, sway_socket(runtime), runtime


# A program just built is in pages not yet written to the disk, which count
# as its private dirty memory until they are: they are, first, as they are
# for an installed program.
os.sync()
with open("/etc/debian_version") as f:
    print("Debian %s, Qt %s" % (f.read().strip(), subprocess.run(
        ["pkg-config", "--modversion", "Qt6Core"], capture_output=True, text=True).stdout.strip()))
measure("X11", dict(os.environ, QT_QPA_PLATFORM="xcb"))
compositor, socket, folder = sway()
try:
    measure("Wayland", dict(os.environ, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=socket,
                            XDG_SESSION_TYPE="wayland"))
finally:
    compositor.kill()
    compositor.wait()
    shutil.rmtree(folder)
