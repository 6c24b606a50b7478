#!/usr/bin/python3
"""End-to-end tests of the Linux program: the built binary in the private
session of tools/linux-session.sh (Xvfb, a D-Bus session bus, Xfce's panel),
driven with xdotool as a user and over D-Bus as a panel drives it.

    e2e_test.py TESTCASE
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

import dbus
from gi.repository import Gio

BUILD = os.environ["TENEBROLITE_BUILD"]
PROGRAM = os.path.join(BUILD, "tenebrolite")
PROBE = os.path.join(BUILD, "x_probe")
CONFIG = os.environ["XDG_CONFIG_HOME"]
SETTINGS = os.path.join(CONFIG, "Velmarind", "Tenebrolite.conf")
AUTOSTART = os.path.join(CONFIG, "autostart", "tenebrolite.desktop")
DESKTOP = os.path.join(os.path.dirname(__file__), "..", "..", "..", "res", "linux",
                       "example.velmarind.Tenebrolite.desktop")
WATCHER = "org.kde.StatusNotifierWatcher"
# Qt 6.4 takes an XEmbed tray while no panel hosts the watcher's items; 6.8 a watcher.
QT = tuple(map(int, subprocess.run(["pkg-config", "--modversion", "Qt6Core"], text=True,
                                   capture_output=True).stdout.split(".")[:2] or (0, 0)))
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


def wait_for(condition, what, seconds=5.0):
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def items():
    """The items the panel shows, as "service/path"; none while no panel runs."""
    try:
        watcher = dbus.SessionBus().get_object(WATCHER, "/StatusNotifierWatcher")
        return [str(i) for i in watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                                            dbus_interface=dbus.PROPERTIES_IFACE)]
    except dbus.exceptions.DBusException:
        return []


def probe(question):
    return subprocess.run([PROBE, question], capture_output=True, text=True,
                          check=True).stdout.strip()


def saver():
    return probe("saver")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def geometry(window):
    return subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True,
                          text=True).stdout


def visible_window(title):
    return wait_for(lambda: xdotool("search", "--onlyvisible", "--name", "^%s$" % title),
                    "a window titled %r" % title)[0]


def keys_to(window, *keys):
    xdotool("windowfocus", "--sync", window)
    xdotool("key", "--delay", "30", *keys)


class Session(unittest.TestCase):
    """The program started afresh. Pages open through the real xdg-open and
    the real lookup of the default application (xdg-mime), whose default for
    web pages and HTML files is, in this test's own data folder, a browser
    that only writes down what it was given: one line in self.opened."""

    binary = PROGRAM
    args = []

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="tenebrolite-e2e-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.opened = os.path.join(self.folder, "opened")
        applications = os.path.join(self.folder, "data", "applications")
        os.makedirs(applications)
        browser = self.recorder("browser")
        with open(os.path.join(applications, "recorder.desktop"), "w") as f:
            f.write("[Desktop Entry]\nType=Application\nName=Recorder\nExec=%s %%u\n"
                    "MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;\n" % browser)
        with open(os.path.join(applications, "mimeapps.list"), "w") as f:
            f.write("[Default Applications]\n" + "".join(
                "%s=recorder.desktop\n" % kind
                for kind in ("text/html", "x-scheme-handler/http", "x-scheme-handler/https")))
        self.env = dict(os.environ, XDG_DATA_HOME=os.path.join(self.folder, "data"))
        self.program = None
        self.bus = dbus.SessionBus()

    def recorder(self, name):
        """A program of that name in the test's folder that only writes its
        argument down, a line in self.opened."""
        path = os.path.join(self.folder, name)
        with open(path, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' % self.opened)
        os.chmod(path, 0o755)
        return path

    def told(self):
        """The program started, and the notification it sends when no panel
        shows its icon, seen on its bus: the log of the bus's Notify calls."""
        log = os.path.join(self.folder, "notify")
        with open(log, "w") as out:
            monitor = subprocess.Popen(["dbus-monitor", "--address", self.env.get(
                "DBUS_SESSION_BUS_ADDRESS"), "type='method_call',"
                "interface='org.freedesktop.Notifications',member='Notify'"], stdout=out)
        self.addCleanup(monitor.wait)
        self.addCleanup(monitor.kill)
        wait_for(lambda: "NameLost" in read(log), "the bus monitor")
        self.program = subprocess.Popen([PROGRAM], env=self.env)
        wait_for(lambda: "member=Notify" in read(log), "the notification", seconds=25)
        return log

    def pages(self):
        """What the browser was given; a file by its path, which Debian 13's
        xdg-open gives as a file: URL."""
        return [re.sub("^file://", "", page) for page in read(self.opened).split()]

    def tearDown(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()

    def start(self):
        before = set(items())
        self.program = subprocess.Popen([self.binary, *self.args], env=self.env)
        # "service/path", or "service@/path" as GNOME's AppIndicator extension lists it.
        service, path = re.match(r"([^/@]+)@?(/.*)", wait_for(lambda: set(items()) - before,
                                                              "the item").pop()).groups()
        self.item = self.bus.get_object(service, path)
        menu_path = self.item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
        self.menu = self.bus.get_object(service, menu_path)

    def entries(self):
        _, (_, _, children) = self.menu.GetLayout(0, -1, [], dbus_interface=MENU)
        return [(int(c[0]), str(c[1].get("label", "")), str(c[1].get("type", "standard")))
                for c in children]

    def choose(self, label):
        (entry,) = [e for e, text, _ in self.entries() if text == label]
        self.menu.Event(entry, "clicked", dbus.String("", variant_level=1), dbus.UInt32(0),
                        dbus_interface=MENU)

    def activate(self):
        self.item.Activate(0, 0, dbus_interface=ITEM)

    def windows(self):
        """How many windows of the program are shown."""
        return len(xdotool("search", "--onlyvisible", "--pid", str(self.program.pid)))

    def click_icon(self, button):
        """A click of the button on the icon, in the middle of the panel's
        notification area, where its only icon is."""
        area = visible_window("wrapper-2.0")
        wait_for(lambda: "Geometry: 1x" not in geometry(area), "the icon in the panel")
        xdotool("mousemove", "--window", area, "11", "16", "click", button)


class Tray(Session):
    def test_item_menu_autostart_and_exit(self):
        os.makedirs(os.path.dirname(AUTOSTART))
        with open(AUTOSTART, "w") as f:
            f.write("[Desktop Entry]\nExec=/old/place\nHidden=true\n")
        self.start()
        props = self.item.GetAll(ITEM, dbus_interface=dbus.PROPERTIES_IFACE)
        self.assertEqual(props["ToolTip"][2], "Tenebrolite")
        self.assertTrue(props["IconPixmap"], "the icon's pictures")
        self.assertEqual(self.entries()[0][1:], ("Switch Off", "standard"))
        self.assertEqual([e[1:] for e in self.entries()],
                         [("Switch Off", "standard"), ("Anti shake", "standard"),
                          ("", "separator"), ("Help", "standard"), ("About", "standard"),
                          ("Close", "standard"), ("Exit", "standard")])
        entry = read(AUTOSTART)
        self.assertIn('\nExec="%s"\n' % os.path.realpath(PROGRAM), entry)
        self.assertIn("\nHidden=true\n", entry)
        self.assertNotIn("/old/place", entry)
        self.assertIn('"Btn"="1"', read(SETTINGS))

        before = set(xdotool("search", "--onlyvisible", "--name", "."))
        shown = self.windows()
        self.item.ContextMenu(0, 0, dbus_interface=ITEM)  # a panel that leaves the menu to us
        wait_for(lambda: self.windows() == shown + 1, "the popup menu")
        self.choose("Close")
        xdotool("key", "Escape")
        wait_for(lambda: self.windows() == shown, "the popup menu to close")
        # The panel's own menu, from a right click on the icon: Exit is last.
        self.click_icon("3")
        menu = wait_for(lambda: [w for w in set(xdotool("search", "--onlyvisible", "--name", "."))
                                 - before if "Position: -" not in geometry(w)], "the panel's menu")
        xdotool("windowfocus", "--sync", menu[0])
        xdotool("key", "--delay", "50", "Up", "Return")
        self.assertEqual(self.program.wait(timeout=5), 0)
        wait_for(lambda: not items(), "the item to go")


class Command(Session):
    """tenebrolite --switch-off, and the launcher's action that runs it."""

    def test_options_need_no_display_and_start_nothing(self):
        env = {k: v for k, v in self.env.items() if k != "DISPLAY"}
        # Qt's options, with and without a value, are Qt's; -dialogs is not.
        for args, status, said in ((["--help"], 0, 1), (["--bogus"], 2, 2),
                                   (["--switch-off", "x"], 2, 2),
                                   (["-testability", "--help"], 0, 1),
                                   (["-style", "fusion", "--help"], 0, 1),
                                   (["-dialogs", "--help"], 2, 2)):
            done = subprocess.run([PROGRAM, *args], env=env, capture_output=True, text=True)
            self.assertEqual(done.returncode, status, args)
            self.assertEqual([done.stdout, done.stderr][said - 1].split()[:2],
                             ["Usage:", "tenebrolite"], args)
            self.assertEqual([done.stdout, done.stderr][2 - said], "", args)

    def test_switch_off_holds_then_ends_with_no_icon_and_nothing_written(self):
        write_hold(2)
        os.makedirs(os.path.dirname(AUTOSTART))
        with open(AUTOSTART, "w") as f:
            f.write("[Desktop Entry]\nExec=/old\n")
        written = (read(SETTINGS), read(AUTOSTART))
        keys = os.path.join(self.folder, "keys")
        window = subprocess.Popen([PROBE, "window", keys])
        self.addCleanup(window.wait)
        self.addCleanup(window.kill)
        wait_for(lambda: "ready" in read(keys), "the test window")
        launched = time.monotonic()
        self.program = subprocess.Popen([PROGRAM, "--switch-off"], env=self.env)
        wait_for(lambda: probe("grabbed") == "yes", "the hold")
        self.assertEqual(saver(), "on")
        xdotool("type", "--delay", "50", "abc")
        self.assertEqual(items(), [])
        self.assertEqual(self.program.wait(timeout=5), 0)
        self.assertGreater(time.monotonic() - launched, 2, "the hold of 2 s")
        self.assertEqual(read(keys).split(), ["ready"])
        self.assertEqual((read(SETTINGS), read(AUTOSTART)), written)

        # The desktop entry's action, launched as a launcher does.
        xdotool("mousemove", "5", "300")
        wait_for(lambda: saver() == "off", "the display back")
        os.environ["PATH"] = BUILD + ":" + os.environ["PATH"]
        app = Gio.DesktopAppInfo.new_from_filename(DESKTOP)
        self.assertEqual(app.get_action_name("switch-off"), "Switch Off")
        app.launch_action("switch-off", None)
        wait_for(lambda: saver() == "on", "the action's power-down")
        wait_for(lambda: probe("grabbed") == "yes", "the action's hold")
        wait_for(lambda: probe("grabbed") == "no", "the end of its hold")


class Panel(Session):
    """Run without a panel at first: the icon comes when one does, and once
    each time the panel starts again, restarted or after it was killed."""

    def test_icon_comes_with_a_late_panel_and_after_a_restart(self):
        self.program = subprocess.Popen([PROGRAM], env=self.env)
        time.sleep(1)
        subprocess.Popen(["xfce4-panel", "--disable-wm-check"], stderr=subprocess.DEVNULL)
        for then in ("restart", "kill", None):
            wait_for(items, "the item", seconds=10)
            time.sleep(0.5)
            self.assertEqual(len(items()), 1, items())
            if then == "restart":
                subprocess.Popen(["xfce4-panel", "-r"], stderr=subprocess.DEVNULL)
            elif then == "kill":
                os.kill(int(self.bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
                            .GetConnectionUnixProcessID("org.xfce.Panel")), signal.SIGKILL)
            if then:
                wait_for(lambda: not items(), "the panel's end")
            if then == "kill":
                subprocess.Popen(["xfce4-panel", "--disable-wm-check"], stderr=subprocess.DEVNULL)


class NoIcon(Session):
    """Neither a panel nor a tray: one notification, through the notification
    server that the bus starts (Xfce's), says how to switch off without the
    icon; a panel that comes later still gets the icon, once."""

    def test_told_once_then_the_icon_comes_with_a_panel(self):
        log = self.told()
        self.assertIn("tenebrolite --switch-off", read(log))
        panel = subprocess.Popen(["xfce4-panel", "--disable-wm-check"], stderr=subprocess.DEVNULL)
        self.addCleanup(panel.wait)
        self.addCleanup(panel.kill)
        wait_for(items, "the item", seconds=10)
        self.assertFalse(xdotool("search", "--onlyvisible", "--name", "^Tenebrolite$"),
                         "a message box: no notification server answered")
        self.assertEqual(len(items()), 1)
        self.assertEqual(read(log).count("member=Notify"), 1)


def write_hold(seconds):
    os.makedirs(os.path.dirname(SETTINGS), exist_ok=True)
    with open(SETTINGS, "w") as f:
        f.write('[Software\\Velmarind\\Tenebrolite]\n"Holdit"="%s"\n' % seconds)


class Hold(Session):
    def test_switch_off_holds_input_and_keeps_the_display_dark(self):
        write_hold(3)
        keys = os.path.join(self.folder, "keys")
        window = subprocess.Popen([PROBE, "window", keys])
        try:
            wait_for(lambda: "ready" in read(keys), "the test window")
            self.start()
            self.assertEqual(saver(), "off")
            self.click_icon("1")
            wait_for(lambda: saver() == "on", "the power-down")
            wait_for(lambda: probe("grabbed") == "yes", "the hold's grab")
            grabbed = time.monotonic()
            # Input lights the display; the guard darkens it again: keys, and
            # a shaken mouse, whose last move the guard answers too.
            xdotool("type", "--delay", "50", "abc")
            wait_for(lambda: saver() == "on", "the guard's power-down", seconds=1)
            for _ in range(12):
                xdotool("mousemove_relative", "--", "3", "-3")
                time.sleep(0.05)
            wait_for(lambda: saver() == "on", "the guard's power-down", seconds=1)
            self.assertEqual(read(keys).split(), ["ready"])
            wait_for(lambda: probe("grabbed") == "no", "the end of the hold")
            self.assertGreater(time.monotonic() - grabbed, 2.5, "the hold of 3 s")
            xdotool("type", "--delay", "50", "xyz")
            wait_for(lambda: len(read(keys).split()) == 4, "keys after the hold")
            time.sleep(0.5)
            self.assertEqual(saver(), "off")
            # A panel's Activate that comes during the hold is held input: no
            # second hold after it.
            self.activate()
            wait_for(lambda: probe("grabbed") == "yes", "the hold's grab")
            started = time.monotonic()
            self.activate()  # answered once the hold is over
            self.entries()  # answered at once, unless a second hold ran first
            self.assertLess(time.monotonic() - started, 5, "a second hold of 3 s")
        finally:
            window.kill()
            window.wait()


class Display(Session):
    """Qt's -display names the program's display, and DISPLAY another X
    server: the hold grabs input where the icon was clicked."""

    def test_the_hold_is_on_the_display_qt_opened(self):
        number = os.path.join(self.folder, "number")
        with open(number, "w") as f:
            other = subprocess.Popen(["Xvfb", "-displayfd", str(f.fileno()), "-nolisten", "tcp"],
                                     pass_fds=(f.fileno(),), stderr=subprocess.DEVNULL)
        self.addCleanup(other.wait)
        self.addCleanup(other.kill)
        other_env = dict(self.env, DISPLAY=":" + wait_for(lambda: read(number).strip(), "Xvfb"))
        self.env, self.args = other_env, ["-display", os.environ["DISPLAY"]]
        write_hold(2)
        self.start()
        self.click_icon("1")
        wait_for(lambda: probe("grabbed") == "yes", "the hold's grab")
        self.assertEqual(subprocess.run([PROBE, "grabbed"], env=other_env, capture_output=True,
                                        text=True).stdout.strip(), "no")


class Dialog(Session):
    def test_guard_refusal_and_apply_reach_the_settings_file(self):
        self.start()
        self.choose("Anti shake")
        dialog = visible_window(" Mouse delay")
        self.assertIn("Position: 405,411", geometry(dialog))
        # Laid out in the desktop's font, never smaller than on Windows.
        width, height = map(int, re.search(r"Geometry: (\d+)x(\d+)", geometry(dialog)).groups())
        self.assertGreaterEqual(width, 301)
        self.assertGreaterEqual(height, 47)
        # Enter and Escape do nothing: the dialog stays for the keys below.
        keys_to(dialog, "Return", "Escape", "ctrl+a", "x", "End", "0", "alt+a")  # "x" is "3": 30
        keys_to(visible_window("Tenebrolite"), "Return")
        self.assertNotIn("Holdit", read(SETTINGS))
        keys_to(dialog, "ctrl+a", "2", "period", "5", "alt+a")
        wait_for(lambda: not xdotool("search", "--onlyvisible", "--name", "^ Mouse delay$"),
                 "the dialog to close")
        self.assertIn('"Holdit"="2.5"', read(SETTINGS))


class HelpAbout(Session):
    def test_help_and_about_yes_open_their_pages(self):
        self.start()
        self.choose("Help")
        wait_for(lambda: read(self.opened), "the help page")
        self.choose("About")
        keys_to(visible_window("Tenebrolite"), "Return")  # Yes is the default
        wait_for(lambda: len(read(self.opened).split()) == 2, "the products page")
        self.assertEqual(self.pages(),
                         [os.path.join(os.path.realpath(BUILD), "help.html"),
                          "https://velmarind.example/products.html"])


class Path(Session):
    """The program copied under a folder whose name is not UTF-8: Help opens
    the page beside it, and the autostart entry, which cannot name it, stays."""

    def test_a_folder_name_that_is_not_utf8(self):
        folder = os.path.join(os.fsencode(self.folder), b"t\xff")
        os.mkdir(folder)
        for name in (b"tenebrolite", b"help.html"):
            shutil.copy(os.path.join(os.fsencode(BUILD), name), folder)
        self.binary = os.path.join(folder, b"tenebrolite")
        # Debian's xdg-open cannot open such a file (its mimetype helper dies
        # on the name), so here alone xdg-open itself writes down what it was
        # given: the URL the program made.
        self.recorder("xdg-open")
        self.env["PATH"] = self.folder + ":" + self.env["PATH"]
        os.makedirs(os.path.dirname(AUTOSTART))
        entry = '[Desktop Entry]\nExec="/usr/bin/tenebrolite"\n'
        with open(AUTOSTART, "w") as f:
            f.write(entry)
        self.start()
        self.choose("Help")
        wait_for(lambda: read(self.opened), "the help page")
        self.assertEqual(read(self.opened).split(),
                         ["file://" + urllib.parse.quote(folder) + "/help.html"])
        self.assertEqual(read(AUTOSTART), entry)


class XEmbed(Session):
    """The panel's XEmbed tray, and on the program's own bus a watcher that no
    panel hosts (one left over from another desktop): the icon sits in the
    tray, and a click acts once, on the release of the button, not on the
    press as well."""

    def test_clicks_act_once_on_the_release(self):
        panel = subprocess.Popen(["xfce4-panel", "--disable-wm-check"], stderr=subprocess.DEVNULL)
        self.addCleanup(panel.wait)
        self.addCleanup(panel.kill)
        address = os.path.join(self.folder, "bus")
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                "--address=unix:path=" + address])
        self.addCleanup(bus.wait)
        self.addCleanup(bus.kill)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + address
        wait_for(lambda: os.path.exists(address), "the program's bus")
        watcher = subprocess.Popen(
            ["/usr/bin/python3", "-c", "import dbus, dbus.mainloop.glib, gi.repository.GLib as g; "
             "dbus.mainloop.glib.DBusGMainLoop(set_as_default=True); "
             "dbus.SessionBus().request_name('%s'); g.MainLoop().run()" % WATCHER], env=self.env)
        self.addCleanup(watcher.wait)
        self.addCleanup(watcher.kill)
        write_hold(1)
        wait_for(lambda: visible_window("wrapper-2.0"), "the panel")
        if QT >= (6, 8):  # an item that nothing shows: the user is told
            return self.told()
        self.program = subprocess.Popen([PROGRAM], env=self.env)
        icon = wait_for(lambda: xdotool("search", "--onlyvisible", "--pid",
                                        str(self.program.pid)), "the icon")[0]
        shown = self.windows()
        xdotool("mousemove", "--window", icon, "8", "8")
        xdotool("mousedown", "3")
        time.sleep(0.5)
        self.assertEqual(self.windows(), shown, "a menu at the press")
        xdotool("mouseup", "3")
        wait_for(lambda: self.windows() == shown + 1, "the menu at the release")
        xdotool("key", "Escape")
        wait_for(lambda: self.windows() == shown, "the menu to close")
        xdotool("mousedown", "1")
        time.sleep(0.5)
        self.assertEqual(saver(), "off", "a power-down at the press")
        xdotool("mouseup", "1")
        wait_for(lambda: saver() == "on", "the power-down at the release")
        released = time.monotonic()
        wait_for(lambda: probe("grabbed") == "yes", "the hold")
        wait_for(lambda: probe("grabbed") == "no", "the end of the hold")
        self.assertLess(time.monotonic() - released, 1.6, "one hold of 1 s")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], verbosity=2)
