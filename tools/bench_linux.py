#!/usr/bin/python3
"""Start-up of the Linux program beside an empty Qt tray program: the time
from the start of the process to its icon's registration with the panel, the
median of a number of runs. Run inside tools/linux-session.sh.

    bench_linux.py BUILD_FOLDER [RUNS]
"""
import os
import statistics
import subprocess
import sys
import time

import dbus

build = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
WATCHER = "org.kde.StatusNotifierWatcher"
watcher = dbus.SessionBus().get_object(WATCHER, "/StatusNotifierWatcher")


def registrations():
    return len(watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                           dbus_interface=dbus.PROPERTIES_IFACE))


def startup(program):
    before = registrations()
    start = time.monotonic()
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while registrations() == before:
        if time.monotonic() - start > 10:
            raise SystemExit("no icon from " + program)
        time.sleep(0.002)
    elapsed = time.monotonic() - start
    process.kill()
    process.wait()
    while registrations() != before:  # the panel lets the item go
        time.sleep(0.002)
    return elapsed * 1000


# Interleaved, so that whatever else the machine does weighs on both alike.
names = ("empty_qt_program", "tenebrolite")
times = {name: [] for name in names}
for _ in range(runs):
    for name in names:
        times[name].append(startup(os.path.join(build, name)))
for name in names:
    print("%-17s %8d bytes  start-up to icon: median %.1f ms (min %.1f, max %.1f, %d runs)"
          % (name, os.path.getsize(os.path.join(build, name)), statistics.median(times[name]),
             min(times[name]), max(times[name]), runs))
print("start-up ratio: %.2f" % (statistics.median(times["tenebrolite"]) /
                                statistics.median(times["empty_qt_program"])))
