#!/usr/bin/python3
"""GNOME under Wayland, end to end: the program beside GNOME's real compositor
(headless mutter) and the power plugin of GNOME's settings daemon, on the
session bus of tools/linux-session.sh. The program itself runs on that
session's Xvfb, told it is in a Wayland session: it stands for a program on
Xwayland, which reaches the display only through the desktop's bus.

    gnome_test.py TESTCASE
"""
import os
import subprocess
import sys
import unittest

import dbus
from dbusmock import MOCK_IFACE, DBusTestCase as Mock

from e2e_test import PROGRAM, Session, read, wait_for, write_hold

DISPLAY = "org.gnome.Mutter.DisplayConfig"
IDLE = "org.gnome.Mutter.IdleMonitor"
REMOTE = "org.gnome.Mutter.RemoteDesktop"
SAVER = "org.gnome.ScreenSaver"
# What the bus monitor shows: requests about the display's power, the lock
# screen's, and the idle monitor's watches.
WATCHED = ["type='method_call',path='/org/gnome/Mutter/DisplayConfig',member='%s'" % m
           for m in ("Get", "Set")] + ["member='%s'" % m for m in (
               "GetActive", "SetActive", "AddUserActiveWatch", "WatchFired")]
SYSTEM_BUS = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:tmpdir=/tmp</listen>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>"""


class Gnome(Session):
    def spawn(self, name, argv, env=None):
        """A process that runs until the test's cleanup; its output in a log."""
        with open(os.path.join(self.folder, name + ".log"), "w") as log:
            process = subprocess.Popen(argv, env=env, stdout=log, stderr=subprocess.STDOUT)
        self.addCleanup(process.wait)
        self.addCleanup(process.kill)
        return process

    def desktop(self):
        """Headless mutter and gsd-power. logind, UPower, the session manager
        and GNOME Shell's lock screen cannot run here (no systemd, no logind,
        no shell session): dbusmock stands in for them, logind and UPower on
        a private system bus."""
        conf = os.path.join(self.folder, "system.conf")
        with open(conf, "w") as f:
            f.write(SYSTEM_BUS)
        pid, os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = Mock.start_dbus(conf)
        self.addCleanup(Mock.stop_dbus, pid)
        mocks = {name: Mock.spawn_server_template(name, stdout=subprocess.DEVNULL)
                 for name in ("logind", "upower", "gnome_screensaver")}
        manager = ("org.gnome.SessionManager", "/org/gnome/SessionManager")
        mocks["session"] = (Mock.spawn_server(*manager, manager[0], stdout=subprocess.DEVNULL),)
        for mock in mocks.values():
            self.addCleanup(mock[0].wait)
            self.addCleanup(mock[0].kill)
        mocks["logind"][1].AddSession("auto", "seat0", dbus.UInt32(0), "root", True,
                                      dbus_interface=MOCK_IFACE)
        self.bus.get_object(*manager).AddProperties(
            manager[0], {"SessionIsActive": True, "InhibitedActions": dbus.UInt32(0)},
            dbus_interface=MOCK_IFACE)
        self.lock = self.bus.get_object(SAVER, "/org/gnome/ScreenSaver")
        socket = "tenebrolite-mutter"
        self.spawn("mutter", ["mutter", "--headless", "--wayland", "--no-x11", "--virtual-monitor",
                              "1280x800", "--wayland-display=" + socket])
        for name in (DISPLAY, IDLE, REMOTE):
            wait_for(lambda: self.bus.name_has_owner(name), name, seconds=20)
        self.spawn("gsd-power", ["/usr/libexec/gsd-power"], env=dict(
            os.environ, WAYLAND_DISPLAY=socket, GDK_BACKEND="wayland", XDG_CURRENT_DESKTOP="GNOME",
            XDG_SESSION_TYPE="wayland", XDG_SESSION_ID="auto", GSETTINGS_BACKEND="memory"))
        wait_for(lambda: self.bus.name_has_owner("org.gnome.SettingsDaemon.Power"), "gsd-power",
                 seconds=20)
        self.gsd = self.bus.get_name_owner("org.gnome.SettingsDaemon.Power")
        self.others = {self.bus.get_unique_name(), self.bus.get_name_owner(DISPLAY), self.gsd}
        self.log = os.path.join(self.folder, "monitor.log")
        self.spawn("monitor", ["dbus-monitor", "--session", *WATCHED])
        wait_for(lambda: "NameLost" in read(self.log), "the bus monitor")
        remote = self.bus.get_object(REMOTE, "/org/gnome/Mutter/RemoteDesktop")
        self.input = self.bus.get_object(REMOTE, remote.CreateSession(dbus_interface=REMOTE))
        self.input.Start(dbus_interface=REMOTE + ".Session")

    def trace(self):
        """(sender, member, last argument) of each message the monitor saw."""
        messages = []
        for line in read(self.log).splitlines():
            if not line.startswith(" "):
                fields = dict(f.split("=", 1) for f in line.replace(";", "").split() if "=" in f)
                messages.append([fields.get("sender"), fields.get("member"), None])
            elif messages:
                messages[-1][2] = line.split()[-1]
        return [tuple(m) for m in messages if m[0] != "org.freedesktop.DBus"]

    def calls(self, start=0):
        """The program's requests from the trace's index start on."""
        return [m for m in self.trace()[start:] if m[0] not in self.others]

    def display(self, method, *args):
        return self.bus.get_object(DISPLAY, "/org/gnome/Mutter/DisplayConfig").get_dbus_method(
            method, dbus.PROPERTIES_IFACE)(DISPLAY, *args)

    def mode(self):
        return int(self.display("Get", "PowerSaveMode"))

    def mark(self):
        """The trace's length, once it holds every request made so far: a
        request of the test's own is the last that the monitor sees."""
        mark = (self.bus.get_unique_name(), "Get", '"NightLightSupported"')
        count = self.trace().count(mark) + 1
        self.display("Get", "NightLightSupported")
        return wait_for(lambda: self.trace().count(mark) == count and len(self.trace()), "a mark")

    def settled(self):
        """Input, then the mark once the program has heard of it: the input
        fired a watch of the test's own, and the UI thread has answered."""
        watch = self.bus.get_object(IDLE, "/org/gnome/Mutter/IdleMonitor/Core").AddUserActiveWatch(
            dbus_interface=IDLE)
        self.move()
        wait_for(lambda: ("WatchFired", str(watch)) in [m[1:] for m in self.trace()], "the input")
        self.entries()
        return self.mark()

    def click(self, hold):
        """The bus names of the program's UI thread (the first to ask) and of
        its guard, once the guard runs and, unless the hold is long, ends."""
        write_hold(hold)
        start = self.mark()
        self.activate()
        senders = wait_for(lambda: len({m[0] for m in self.calls(start)}) > 1 and
                           list(dict.fromkeys(m[0] for m in self.calls(start))), "the guard")
        if hold == 0:
            self.entries()  # answered once the hold is over
        return senders[:2]

    def move(self):
        self.input.NotifyPointerMotionRelative(7.0, 3.0, dbus_interface=REMOTE + ".Session")

    def key(self):
        for pressed in (True, False):
            self.input.NotifyKeyboardKeycode(dbus.UInt32(30), pressed,
                                             dbus_interface=REMOTE + ".Session")

    def test_dark_through_the_hold_and_back_at_the_first_input_after_it(self):
        self.desktop()
        # The program on Xvfb, told it is in a Wayland session: a program on
        # Xwayland, which reaches the display only through the desktop's bus.
        self.env["XDG_SESSION_TYPE"] = "wayland"
        self.start()
        me = self.bus.get_unique_name()
        ui, _ = self.click(0)
        self.assertEqual(self.mode(), 3, "the click's power-down")
        # A second click before any input: its hold replaces the first's wake.
        _, guard = self.click(4)
        # GNOME's settings daemon blanks the lock screen, and wakes it at input.
        locked = self.mark()
        self.lock.SetActive(True, dbus_interface=SAVER)
        wait_for(lambda: (self.gsd, "AddUserActiveWatch", None) in self.trace()[locked:],
                 "the lock screen's blank")
        self.move()
        wait_for(lambda: {(self.gsd, "Set", "0"), (guard, "GetActive", None)} <=
                 set(self.trace()[locked:]), "the lock screen lit, and the guard asking")
        self.lock.SetActive(False, dbus_interface=SAVER)
        self.key()
        wait_for(lambda: (guard, "Set", "3") in self.trace(), "the guard's power-down")
        unlocked = self.trace().index((me, "SetActive", "false"))
        self.assertNotIn((guard, "Set", "3"), self.trace()[:unlocked], "at the lock screen")
        self.entries()  # answered once the hold is over
        held = self.mark()
        self.assertEqual(self.mode(), 3, "the display at the hold's end")
        self.key()
        wait_for(lambda: self.mode() == 0, "the display back at the first input after the hold")
        again = self.settled()
        self.assertEqual(self.calls(held), [(ui, "Get", '"PowerSaveMode"'), (ui, "Set", "0")])
        # A display that someone else woke first is left alone.
        self.click(0)
        self.display("Set", "PowerSaveMode", dbus.Int32(0))
        self.settled()
        self.assertEqual([m[1:] for m in self.calls(again) if m[0] == ui],
                         [("Set", "3"), ("AddUserActiveWatch", None), ("Get", '"PowerSaveMode"')])
        self.assertEqual(self.mode(), 0)

        # The command ends only once it has brought the display back: after
        # its guard's watch and the UI thread's, at the first input.
        write_hold(0)
        start = self.mark()
        command = subprocess.Popen([PROGRAM, "--switch-off"], env=self.env)
        self.addCleanup(command.kill)
        wait_for(lambda: [m[1] for m in self.calls(start)].count("AddUserActiveWatch") == 2,
                 "the command's wake after its hold")
        self.assertEqual((self.mode(), command.poll()), (3, None))
        self.move()
        self.assertEqual(command.wait(timeout=5), 0)
        self.assertEqual(self.mode(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], verbosity=2)
