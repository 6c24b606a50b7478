#!/usr/bin/python3
"""End-to-end tests of the Linux program in Wayland sessions without GNOME,
against the real compositors: KDE Plasma's (KWin with its global shortcuts,
and its power management, powerdevil) and sway, and a session where no
compositor answers. The program itself runs on the session's Xvfb through
Qt's xcb platform, as it would on Xwayland; XDG_SESSION_TYPE and
WAYLAND_DISPLAY make its session a Wayland one. What it asks of the
compositor on its own connection is read from libwayland's trace of it.

sway 1.7's headless outputs and KWin's virtual ones cannot go dark: they
answer a power-down with neither "mode" nor "failed". sway 1.10's do, and
report each mode.

    kde_test.py Kde|Sway|NoCompositor
"""
import glob
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import unittest

import dbus

from sway import sway_command, sway_folder, sway_socket
from wl_relay import WaylandRelay
from e2e_test import (BUILD, PROGRAM, Session, keys_to, read, visible_window, wait_for,
                      write_hold, xdotool)

POWERDEVIL = "/usr/lib/x86_64-linux-gnu/libexec/org_kde_powerdevil"
POWER_MANAGEMENT = "org.kde.Solid.PowerManagement"
SHORTCUT = "Turn Off Screen"
WL_PROBE = os.path.join(BUILD, "wl_probe")
OVERLAY_MAPPED = r" -> wl_surface@\d+\.attach\(wl_buffer"
OVERLAY_GONE = r" -> zwlr_layer_surface_v1@\d+\.destroy\(\)"
OFF, ON = (r" -> zwlr_output_power_v1@\d+\.set_mode\(%d\)" % m for m in (0, 1))
# sway's idle notification (org_kde_kwin_idle on 1.7, ext_idle_notifier_v1 on
# 1.10) lives as long as the hold, and again from its end to the first input.
IDLE_GONE = (r" -> (org_kde_kwin_idle_timeout@\d+\.release"
             r"|ext_idle_notification_v1@\d+\.destroy)\(\)")


def wayland_trace(path):
    """libwayland's WAYLAND_DEBUG trace in its older form: from 1.23 on it puts
    the queue's name ("{Default Queue} ") after the stamp and writes an object
    as iface#N, not iface@N."""
    return re.sub(r"(?m)^(\[ *\d+\.\d+\] )\{[^}\n]*\} |(?<=\w)#(?=\d)",
                  lambda m: m[1] or "@", read(path))


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
        # The program's own Wayland requests and events, timed in ms.
        self.trace = os.path.join(self.folder, "trace")
        self.env["WAYLAND_DEBUG"] = "client"
        self.binary, self.args = "/bin/sh", ["-c", 'exec "$0" 2>"$1"', PROGRAM, self.trace]

    def traced(self, message, trace=None):
        """Times in ms of the traced requests (" -> message") or events matching.
        libwayland stamps microseconds in 32 bits, printed as ms padded to
        seven places: the stamps wrap every 71.6 minutes, and are unwrapped
        here in the trace's order."""
        times, last, wraps = [], 0.0, 0
        for line in wayland_trace(trace or self.trace).splitlines():
            stamp = re.match(r"\[ *(\d+\.\d+)\] ", line)
            if not stamp:
                continue
            now = float(stamp[1])
            wraps += now < last - 2 ** 31 / 1000
            last = now
            if re.match(message, line[stamp.end():]):
                times.append(now + wraps * 2 ** 32 / 1000)
        return times

    def hand(self, env):
        """wl_probe's pointer (and keys, where KWin's fake input takes them) on
        the compositor of env, there from the start as a mouse is."""
        self.pointer = self.spawn([WL_PROBE, "pointer"], subprocess.PIPE, env=env)
        self.assertEqual(self.pointer.stdout.readline(), b"ready\n")

    def send(self, line):
        """A line to wl_probe's pointer, answered once the compositor has it."""
        self.pointer.stdin.write(line.encode() + b"\n")
        self.pointer.stdin.flush()
        self.assertEqual(self.pointer.stdout.readline(), b"moved\n")

    def spawn(self, command, stdout=os.devnull, **options):
        """A process that the cleanup stops; its output goes to the file, or
        to a pipe both ways."""
        if stdout == subprocess.PIPE:
            process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       **options)
            self.addCleanup(process.stdout.close)
            self.addCleanup(process.stdin.close)
        else:
            with open(stdout, "w") as out:
                process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT,
                                           **options)
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
    def backend(self):
        return ["--virtual"]

    def setUp(self):
        super().setUp()
        # A copy: the original's file capability makes exec fail here. KWin
        # loads its own Qt platform only into a binary of this name.
        kwin = os.path.join(self.folder, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", kwin)
        self.socket = os.path.basename(self.folder)
        # Any client may use its fake input: the tests' input.
        self.spawn([kwin, *self.backend(), "--no-lockscreen", "--socket", self.socket,
                    "--width", "1280", "--height", "800"], os.path.join(self.folder, "kwin"),
                   env=dict(os.environ, KWIN_WAYLAND_NO_PERMISSION_CHECKS="1"))
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
        """A virtual output reports DPMS unsupported: the shortcut it is. The
        overlay and the idle notification last as long as the hold."""
        self.powerdevil()
        write_hold(2)
        self.start()
        self.activate()
        wait_for(lambda: self.traced(r"org_kde_kwin_dpms@\d+\.supported\(0\)"), "DPMS unsupported")
        wait_for(lambda: self.traced(OVERLAY_MAPPED), "the overlay")
        (idle,) = self.traced(r" -> ext_idle_notifier_v1@\d+\.get_idle_notification")
        self.entries()  # answered after the hold
        (gone,) = self.traced(OVERLAY_GONE)
        (idle_gone,) = self.traced(r" -> ext_idle_notification_v1@\d+\.destroy")
        self.assertGreater(gone - idle, 1500, "the hold of 2 s")
        self.assertLess(idle_gone, gone)
        self.assertEqual(self.invoked(), [(self.program.pid, SHORTCUT)])
        self.assertFalse(message_shown())
        self.assertFalse(self.traced(r" -> org_kde_kwin_dpms@\d+\.set"))
        # Off (3); KWin's virtual output does not apply it.
        wait_for(lambda: re.search(r"org_kde_kwin_dpms@\d+\.set\(3\)",
                                   wayland_trace(self.requests)),
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
    """sway headless with two outputs, as nobody; input from wtype's virtual
    keyboard and wl_probe's virtual pointer. While wl_probe's window is open,
    sway inhibits idle for it, as for a video playing: the idle protocol then
    tells of no input."""

    def setUp(self):
        super().setUp()
        runtime = sway_folder()
        self.addCleanup(shutil.rmtree, runtime)
        argv, env = sway_command(runtime, 'for_window [title="wl_probe"] inhibit_idle open\n')
        self.sway = self.spawn(argv, os.path.join(self.folder, "sway"), env=env)
        self.env["WAYLAND_DISPLAY"] = wait_for(lambda: sway_socket(runtime), "sway's socket", 20)
        self.input_env = dict(os.environ, WAYLAND_DISPLAY=self.env["WAYLAND_DISPLAY"])
        self.runtime = runtime
        self.hand(self.input_env)

    def swaymsg(self, *args):
        ipc = glob.glob(self.runtime + "/sway-ipc.*.sock")[0]
        return subprocess.run(["swaymsg", "-s", ipc, *args], check=True, capture_output=True,
                              text=True).stdout

    def on(self, count):
        """Whether the program has switched count outputs on, and sway has
        them all on: from 1.10 on, its headless outputs do go dark."""
        return len(self.traced(ON)) == count and all(
            o["dpms"] for o in json.loads(self.swaymsg("-t", "get_outputs")))

    def move(self):
        self.send("")

    def type(self, text):
        subprocess.run(["wtype", "-d", "20", text], env=self.input_env, check=True)

    def command(self, trace):
        """tenebrolite --switch-off beside the running program, traced to the file."""
        return self.spawn([self.binary, "-c", 'exec "$0" --switch-off 2>"$1"', PROGRAM, trace],
                          env=self.env)

    def held_until(self, count, trace=None):
        """The time at which the count-th hold ended, once it has."""
        return wait_for(lambda: self.traced(IDLE_GONE, trace)[count - 1:], "the end of the hold",
                        10)[0]

    def test_outputs_off_held_and_back_on_at_the_first_input_after(self):
        keys = os.path.join(self.folder, "keys")
        self.spawn([WL_PROBE, "window", keys], env=self.input_env)
        wait_for(lambda: "mapped" in read(keys), "the test window")
        write_hold(3)
        self.start()
        self.activate()
        wait_for(lambda: len(self.traced(OVERLAY_MAPPED)) == 2, "the overlay on both outputs")
        self.assertEqual(len(self.traced(OFF)), 2, "both outputs off at the click")
        self.assertFalse(message_shown())
        # The guard answers a move at once, or 250 ms after its last power-down.
        for count in (4, 6):
            self.move()
            wait_for(lambda: len(self.traced(OFF)) == count, "the guard's power-down of both")
        first, again = self.traced(OFF)[3], self.traced(OFF)[4]
        # The trace stamps each request as it is sent, a fraction of a
        # millisecond after the guard read its clock.
        self.assertGreaterEqual(again - first, 249)
        # Keys go to the overlay, not to the window that had the keyboard.
        self.type("abc")
        wait_for(lambda: self.traced(r"wl_keyboard@\d+\.key\("), "keys at the overlay")
        ended = self.held_until(1)
        self.assertGreater(ended - self.traced(OVERLAY_MAPPED)[0], 2500)
        self.assertNotIn("key", read(keys))
        # After the hold the overlay stays, dark, until the first input; a
        # guard still running would answer that input in the same breath.
        self.assertEqual((self.traced(ON), self.traced(OVERLAY_GONE)), ([], []))
        # Until then the program keeps the outputs' power, which sway refuses
        # to another client with failed(): the command falls through every
        # way to the message, and ends with status 1.
        refused = os.path.join(self.folder, "refused")
        command = self.command(refused)
        keys_to(visible_window("Tenebrolite"), "Return")
        self.assertEqual(command.wait(timeout=5), 1)
        self.assertEqual(len(self.traced(r"zwlr_output_power_v1@\d+\.failed\(", refused)), 2)
        self.assertIn("tenebrolite: Tenebrolite cannot switch the display off", read(refused))
        # The first key after the hold switches both outputs back on, though
        # the window inhibits idle; the overlay takes that key and goes.
        self.type("x")
        wait_for(lambda: self.on(2), "both outputs on again")
        wait_for(lambda: len(self.traced(OVERLAY_GONE)) == 2, "the overlay gone")
        self.assertNotIn("key", read(keys), "the first key after the hold taken")
        # wtype's keyboard is new at each run: the window may miss its first key.
        self.type("yz")
        wait_for(lambda: "key" in read(keys), "keys at the window after the hold")
        self.assertEqual([t for t in self.traced(OFF) if t > ended], [], "a power-down after the hold")
        self.assertIsNone(self.sway.poll(), "sway ran throughout")

        # The command ends only once it has switched the outputs back on.
        write_hold(1)
        trace = os.path.join(self.folder, "command")
        command = self.command(trace)
        self.held_until(1, trace)
        self.assertEqual((len(self.traced(OFF, trace)), command.poll()), (2, None))
        self.type("q")
        self.assertEqual(command.wait(timeout=5), 0)
        self.assertEqual(len(self.traced(ON, trace)), 2)

    def locker(self, name):
        """A client that holds the input inhibitor, once it does: sway 1.10
        offers none, and lockers there lock the session instead."""
        locker = os.path.join(self.folder, name)
        inhibitor = self.spawn([WL_PROBE, "inhibit", locker], env=self.input_env)
        wait_for(lambda: read(locker), "the other client's inhibitor")
        return inhibitor

    def test_a_lock_screen_holding_input_leaves_the_program_working(self):
        """A client that holds the input inhibitor, as a screen locker does,
        at the click and through the hold, where the compositor offers one:
        once it has gone, the first key brings the outputs back, and the next
        click switches off again; the command beside it ends the same way."""
        write_hold(1)
        self.start()
        for run in (1, 2):
            inhibitor = self.locker("locker%d" % run)
            self.activate()
            # Each run's hold, then its wait for the first input.
            self.held_until(2 * run - 1)
            self.assertEqual(len(self.traced(OFF)), 2 * run)
            inhibitor.kill()
            inhibitor.wait()
            self.assertEqual(len(self.traced(ON)), 2 * run - 2)
            self.type("x")
            wait_for(lambda: self.on(2 * run), "both outputs on again")
        trace = os.path.join(self.folder, "command")
        inhibitor = self.locker("locker")
        command = self.command(trace)
        self.held_until(1, trace)
        inhibitor.kill()
        inhibitor.wait()
        self.type("x")
        self.assertEqual(command.wait(timeout=5), 0)
        self.assertEqual(len(self.traced(ON, trace)), 2)

    def test_a_broken_connection_is_replaced_and_brings_the_outputs_back(self):
        """The compositor breaks the program's connection (through a relay
        that cuts it) during the hold, and after the next one while a window
        inhibits idle, and the command's after its hold: a fresh connection
        switches the outputs off again, and on at the first input after the
        hold; the next click works, and the command ends."""
        keys = os.path.join(self.folder, "keys")
        self.spawn([WL_PROBE, "window", keys], env=self.input_env)
        wait_for(lambda: "mapped" in read(keys), "the test window")
        relay = WaylandRelay(os.path.join(self.folder, "relay"), self.env["WAYLAND_DISPLAY"])
        self.addCleanup(relay.close)
        self.env["WAYLAND_DISPLAY"] = os.path.join(self.folder, "relay")
        write_hold(2)
        self.start()
        self.activate()
        wait_for(lambda: len(self.traced(OVERLAY_MAPPED)) == 2, "the overlay on both outputs")
        relay.cut()
        wait_for(lambda: len(self.traced(OVERLAY_MAPPED)) == 4, "the overlay again")
        self.assertEqual(len(self.traced(OFF)), 4, "both outputs off again")
        self.held_until(1)
        self.type("x")
        wait_for(lambda: self.on(2), "both outputs on again")
        self.activate()
        wait_for(lambda: len(self.traced(OFF)) == 6, "the next click's power-down")
        # Until the first input after that hold the outputs stay dark, and the
        # fresh connection's overlay hears that input, which idle cannot tell.
        self.held_until(3)
        relay.cut()
        wait_for(lambda: len(self.traced(OVERLAY_MAPPED)) == 8, "the overlay again after the hold")
        self.assertEqual(len(self.traced(OFF)), 8, "both outputs off again")
        self.type("x")
        wait_for(lambda: self.on(4), "both outputs on again")

        write_hold(1)
        trace = os.path.join(self.folder, "command")
        command = self.command(trace)
        self.held_until(1, trace)
        relay.cut()
        wait_for(lambda: len(self.traced(OFF, trace)) == 4, "the outputs off from a fresh connection")
        self.assertIsNone(command.poll())
        self.type("q")
        self.assertEqual(command.wait(timeout=5), 0)
        self.assertEqual(len(self.traced(ON, trace)), 2)

    def test_an_output_that_comes_during_the_hold_is_dark_and_covered_too(self):
        write_hold(3)
        self.start()
        self.activate()
        wait_for(lambda: len(self.traced(OVERLAY_MAPPED)) == 2, "the overlay on both outputs")
        self.swaymsg("create_output")
        wait_for(lambda: len(self.traced(OVERLAY_MAPPED)) == 3, "the overlay on the new output")
        wait_for(lambda: len(self.traced(OFF)) == 3, "the new output off")
        self.held_until(1)
        self.type("x")
        wait_for(lambda: self.on(3), "the three outputs on again")
        wait_for(lambda: len(self.traced(OVERLAY_GONE)) == 3, "the overlay gone")


class NoCompositor(WaylandDesktop):
    """A Wayland session whose compositor neither answers nor has a desktop's
    services on the bus."""

    def test_no_desktop_is_told_once_without_a_hold(self):
        self.assert_told_once_without_a_hold()


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], verbosity=2)
