#!/usr/bin/python3
"""End-to-end tests of the Linux program in Wayland sessions without GNOME,
against the real compositors: KDE Plasma's (KWin with its global shortcuts,
and its power management, powerdevil) and sway, where no desktop answers.
The program itself runs on the session's Xvfb through Qt's xcb platform, as
it would on Xwayland; XDG_SESSION_TYPE and WAYLAND_DISPLAY make its session
a Wayland one.

    kde_test.py Kde|Sway
"""
import glob
import os
import pwd
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import dbus

from e2e_test import Session, keys_to, read, visible_window, wait_for, write_hold, xdotool

POWERDEVIL = "/usr/lib/x86_64-linux-gnu/libexec/org_kde_powerdevil"
POWER_MANAGEMENT = "org.kde.Solid.PowerManagement"
SHORTCUT = "Turn Off Screen"


def message_shown():
    return bool(xdotool("search", "--onlyvisible", "--name", "^Tenebrolite$"))


class WaylandDesktop(Session):
    def setUp(self):
        super().setUp()
        self.env.update(XDG_SESSION_TYPE="wayland", QT_QPA_PLATFORM="xcb")
        self.log = os.path.join(self.folder, "bus")
        self.pings = 0
        me = self.bus.get_unique_name()
        self.spawn(["dbus-monitor", "--session", "type='method_call',member='invokeShortcut'",
                    "type='method_call',member='Ping',sender='%s'" % me], stdout=self.log)
        wait_for(lambda: "NameLost" in read(self.log), "the bus monitor")

    def spawn(self, command, stdout=os.devnull, **options):
        """A process that the cleanup stops; its output goes to the file."""
        with open(stdout, "w") as out:
            process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT, **options)
        self.addCleanup(process.wait)
        self.addCleanup(process.kill)
        return process

    def restart(self):
        if self.program:
            self.program.kill()
            self.program.wait()
        self.start()

    def invoked(self):
        """(sender's process, shortcut) of each invokeShortcut so far. The monitor
        logs the test's ping of the program after every call answered before it."""
        self.pings += 1
        program = self.bus.get_object(self.item.bus_name, "/")
        program.Ping(dbus_interface="org.freedesktop.DBus.Peer")
        wait_for(lambda: read(self.log).count("member=Ping") == self.pings, "the ping")
        lines = read(self.log).splitlines()
        pid = self.bus.get_object("org.freedesktop.DBus", "/").GetConnectionUnixProcessID
        return [(pid(re.search(r"sender=(\S+)", call)[1]), argument.split('"')[1])
                for call, argument in zip(lines, lines[1:]) if call.endswith("=invokeShortcut")]

    def assert_told_once_without_a_hold(self):
        """Two clicks: the message at the first only, and no hold after either."""
        write_hold(10)
        self.restart()
        self.activate()
        keys_to(visible_window("Tenebrolite"), "Return")
        wait_for(lambda: not message_shown(), "the message to close")
        clicked = time.monotonic()
        self.activate()  # answered only after a hold of the first click
        self.entries()  # answered only after a hold of the second click
        self.assertLess(time.monotonic() - clicked, 5, "no hold of 10 s")
        # A message box is mapped before its event loop answers anything.
        self.assertFalse(message_shown(), "a second message")


class Kde(WaylandDesktop):
    def setUp(self):
        super().setUp()
        # A copy: the original's file capability makes exec fail here. KWin
        # loads its own Qt platform only into a binary of this name.
        kwin = os.path.join(self.folder, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        self.socket = os.path.basename(self.folder)
        self.spawn([kwin, "--virtual", "--no-lockscreen", "--socket", self.socket,
                    "--width", "1280", "--height", "800"], os.path.join(self.folder, "kwin"))
        wait_for(lambda: self.bus.name_has_owner("org.kde.kglobalaccel"), "KWin", 20)
        self.env["WAYLAND_DISPLAY"] = self.socket

    def shortcuts(self):
        try:
            component = self.bus.get_object("org.kde.kglobalaccel", "/component/org_kde_powerdevil")
            return component.shortcutNames(dbus_interface="org.kde.kglobalaccel.Component")
        except dbus.exceptions.DBusException:
            return []

    def powerdevil(self):
        """Started; its requests to KWin are traced to self.requests."""
        self.requests = os.path.join(self.folder, "powerdevil")
        env = dict(os.environ, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=self.socket,
                   WAYLAND_DEBUG="client")
        process = self.spawn([POWERDEVIL], self.requests, env=env)
        wait_for(lambda: self.bus.name_has_owner(POWER_MANAGEMENT) and SHORTCUT in self.shortcuts(),
                 "powerdevil and its shortcuts", 20)
        return process

    def test_running_power_management_is_asked_through_its_shortcut(self):
        self.powerdevil()
        write_hold(0)
        self.start()
        self.activate()
        self.entries()
        self.assertEqual(self.invoked(), [(self.program.pid, SHORTCUT)])
        self.assertFalse(message_shown())
        # Off (3); KWin's virtual output does not apply it.
        wait_for(lambda: re.search(r"org_kde_kwin_dpms@\d+\.set\(3\)", read(self.requests)),
                 "powerdevil's request to switch the display off")

    def test_power_management_gone_is_told_once_and_not_invoked(self):
        for gone in (signal.SIGTERM, signal.SIGKILL):
            with self.subTest(gone.name):
                powerdevil = self.powerdevil()
                powerdevil.send_signal(gone)
                powerdevil.wait()
                wait_for(lambda: not self.bus.name_has_owner(POWER_MANAGEMENT), "its name to go")
                # What makes the case: the component and its shortcut stay listed.
                self.assertIn(SHORTCUT, self.shortcuts())
                self.assert_told_once_without_a_hold()
                self.assertEqual(self.invoked(), [])


class Sway(WaylandDesktop):
    """Neither GNOME's nor KDE Plasma's services on the bus."""

    def test_no_desktop_is_told_once_without_a_hold(self):
        nobody = pwd.getpwnam("nobody")
        runtime = tempfile.mkdtemp(prefix="tenebrolite-sway-")  # sway refuses to run as root
        self.addCleanup(shutil.rmtree, runtime)
        os.chown(runtime, nobody.pw_uid, nobody.pw_gid)
        config = os.path.join(runtime, "config")
        with open(config, "w") as f:
            f.write("xwayland disable\n")  # or it takes an X display number of its own
        env = {"PATH": os.environ["PATH"], "HOME": runtime, "XDG_RUNTIME_DIR": runtime,
               "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman"}
        sway = self.spawn(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                           "sway", "--config", config], os.path.join(self.folder, "sway"), env=env)
        self.env["WAYLAND_DISPLAY"] = wait_for(
            lambda: [s for s in glob.glob(runtime + "/wayland-*") if not s.endswith(".lock")],
            "sway's socket", 20)[0]
        self.assert_told_once_without_a_hold()
        self.assertIsNone(sway.poll(), "sway ran throughout")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], verbosity=2)
