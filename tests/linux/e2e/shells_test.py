#!/usr/bin/python3
"""The program as users of Wayland desktops run it: a native Wayland client
(Qt's Wayland platform) under a whole shell with its own tray. sway with
waybar's tray, GNOME Shell with the AppIndicator extension, and KWin with
Plasma's own shell: the icon drawn once in the shell's tray, a real click at
its place switching off, the shell's own menu, the dialog with its texts
whole, a value typed and stored.

    shells_test.py SwayWaybar|GnomeShell|PlasmaShell
"""
import glob
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

import dbus  # noqa: E402
from gi.repository import Gio, GLib  # noqa: E402

from e2e_test import (BUILD, CONFIG, DESKTOP, PROGRAM, SETTINGS, items,  # noqa: E402
                      read, wait_for, write_hold, xdotool)
from gnome_test import REMOTE, Gnome  # noqa: E402
from kde_test import (OFF, OVERLAY_GONE, OVERLAY_MAPPED, SHORTCUT, WL_PROBE, Kde,  # noqa: E402
                      Sway, WaylandDesktop, wayland_trace)

TEXT_PROBE = os.path.join(BUILD, "text_probe")
DIALOG = " Mouse delay"
TEXTS = ["label:Hold (sec)", "button:&Apply", "button:&Cancel"]
ICON_RED = (226, 36, 36)  # the program icon's red band
# Keys by their Linux input codes, as mutter's RemoteDesktop takes them.
KEY_2, KEY_5, KEY_ENTER, KEY_LEFTCTRL, KEY_A, KEY_LEFTSHIFT, KEY_DOT, KEY_LEFTALT = (
    3, 6, 28, 29, 30, 42, 52, 56)


def wait(condition, what):
    """wait_for with room for a whole shell drawn in software on a busy machine."""
    return wait_for(condition, what, 20)


def picture(data):
    loader = GdkPixbuf.PixbufLoader()
    loader.write(data)
    loader.close()
    return loader.get_pixbuf()


def grey(image):
    """The picture's rows as lists of grey levels."""
    pixels, step, channels = image.get_pixels(), image.get_rowstride(), image.get_n_channels()
    return [[(pixels[y * step + x * channels] * 11 + pixels[y * step + x * channels + 1] * 16 +
              pixels[y * step + x * channels + 2] * 5) // 32 for x in range(image.get_width())]
            for y in range(image.get_height())]


def lines(rows):
    """The middle of each line of text in the light box drawn on a darker
    ground (a menu): (x, y)."""
    light = [(x, y) for y, row in enumerate(rows) for x, v in enumerate(row) if v > 200]
    left, right = min(x for x, _ in light or [(0, 0)]), max(x for x, _ in light or [(0, 0)])
    if right - left < 40:
        return []
    ys = sorted({y for _, y in light})
    inked = [y for y in range(ys[0], ys[-1]) if min(rows[y][left + 10:right - 10]) < 100]
    bands = [[y] for y in inked[:1]]
    for y in inked[1:]:
        if y == bands[-1][-1] + 1:
            bands[-1].append(y)
        else:
            bands.append([y])
    return [((left + right) // 2, (band[0] + band[-1]) // 2) for band in bands]


def screen(x, y, width, height):
    """The area of the session's X screen, read from Xvfb's file of it (XWD:
    its header, a colour map, then 32-bit pixels, BGRX)."""
    with open(os.environ["TENEBROLITE_SCREEN"], "rb") as f:
        data = f.read()
    header = struct.unpack(">25I", data[:100])
    start, step = header[0] + 12 * header[19], header[12]
    bgrx = b"".join(data[start + row * step + 4 * x:start + row * step + 4 * (x + width)]
                    for row in range(y, y + height))
    rgb = bytearray(3 * width * height)
    rgb[0::3], rgb[1::3], rgb[2::3] = bgrx[2::4], bgrx[1::4], bgrx[0::4]
    return GdkPixbuf.Pixbuf.new_from_bytes(GLib.Bytes(bytes(rgb)), GdkPixbuf.Colorspace.RGB, False,
                                           8, width, height, 3 * width)


def hosted(bus):
    """Whether a tray has registered with the bus's watcher."""
    try:
        watcher = bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
        return watcher.Get("org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered",
                           dbus_interface="org.freedesktop.DBus.Properties")
    except dbus.exceptions.DBusException:  # not up yet
        return False


def focused(traced, since):
    """Whether the program's window has the keyboard, by the program's own
    trace, from an enter after since (the hold's own windows had it before):
    keys sent from then on reach it. The trace grows as it is read: the
    enters first, so that the later reading has them all."""
    enters = [t for t in traced(r"wl_keyboard@\d+\.enter\(") if t > since]
    events = traced(r"wl_keyboard@\d+\.(enter|leave)\(")
    return bool(enters) and enters[-1] == events[-1]


def cut_texts(image, env):
    """The texts that the picture of a dialog does not show whole: each as Qt
    draws it in this desktop's font and colours (text_probe), looked for
    among the picture's ink, the pixels darker than halfway between those
    colours. A text cut at its widget's edge misses its last glyphs."""
    rows = grey(image)
    inks = {}  # the picture's pixels darker than a grey level, as bits
    out = iter(subprocess.run([TEXT_PROBE, *TEXTS], env=env, capture_output=True, text=True,
                              check=True).stdout.splitlines())

    def wrong(glyphs, x, y, ink):
        """How many pixels of the glyphs' box at x, y the picture has other
        than the glyphs: ink missing, or ink where the glyphs have none."""
        box = (1 << max(g.bit_length() for g in glyphs)) - 1
        return sum(bin((ink[y + r] >> x) & box ^ g).count("1") for r, g in enumerate(glyphs))

    cut = []
    for text in TEXTS:
        drawn = []  # at each 64th of a pixel (26.6 fixed point): the rows' pixels, as bits
        for _ in range(128 if text.startswith("button:") else 64):
            width, height, level = map(int, next(out).split())
            drawn.append([sum(1 << x for x, c in enumerate(next(out)) if c == "#")
                          for _ in range(height)])
        ink = inks.setdefault(level, [sum(1 << x for x, v in enumerate(row) if v < level)
                                      for row in rows])
        # Where the text starts within a pixel or two; then its best drawing there.
        _, x, y = min((wrong(drawn[-1], x, y, ink), x, y) for y in range(len(ink) - height + 1)
                      for x in range(image.get_width() - width + 1))
        missing = min(wrong(glyphs, max(x + dx, 0), y + dy, ink)
                      for glyphs in drawn for dx in (-1, 0, 1) for dy in (-1, 0, 1)
                      if 0 <= y + dy <= len(ink) - len(glyphs))
        if missing > 6:  # a whole text: 3 at most, at the edges of its glyphs
            cut.append("%s (%d pixels wrong)" % (text, missing))
    return cut


def title_marks(image):
    """How many marks the first band of ink in a window's picture has: its
    title bar's title and buttons; ink further apart than 8 pixels is two."""
    size = image.get_width(), image.get_height()
    rows = grey(image.composite_color_simple(*size, GdkPixbuf.InterpType.NEAREST, 255, 8,
                                             0xffffff, 0xffffff))  # on white: no ink in corners
    inked = [y for y, row in enumerate(rows) if min(row) < 100]
    band = [y for i, y in enumerate(inked) if y == inked[0] + i]
    xs = sorted({x for y in band for x, v in enumerate(rows[y]) if v < 100})
    return sum(1 for a, b in zip([-9] + xs, xs) if b - a > 8)


class SwayWaybar(Sway):
    """sway with waybar's tray as the only module of its bars, on both outputs."""

    def setUp(self):
        super().setUp()
        self.env["QT_QPA_PLATFORM"] = "wayland"
        self.swaymsg("focus_follows_mouse no")
        config = os.path.join(self.folder, "waybar")
        with open(config, "w") as f:
            json.dump({"layer": "top", "position": "top", "height": 28, "modules-left": ["tray"],
                       "tray": {"icon-size": 20}}, f)
        with open(config + ".css", "w") as f:
            f.write("window#waybar { background: #000000; }\n")
        self.spawn(["waybar", "-c", config, "-s", config + ".css"],
                   os.path.join(self.folder, "waybar.log"), env=self.input_env)
        wait(lambda: hosted(self.bus), "waybar's tray")

    def grim(self, x, y, width, height):
        area = "%d,%d %dx%d" % (x, y, width, height)
        return picture(subprocess.run(["grim", "-t", "ppm", "-g", area, "-"], env=self.input_env,
                                      check=True, capture_output=True).stdout)

    def click(self, x, y, button, count=1):
        """count clicks of the button (272 left, 273 right) at x, y."""
        self.send("%d %d %d %d %d %d" % (x, y, *self.layout, button, count))

    def window(self, title):
        def find(node):
            if node.get("name") == title:
                return node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                found = find(child)
                if found:
                    return found
            return None
        return find(json.loads(self.swaymsg("-t", "get_tree")))

    def test_icon_double_click_menu_and_dialog_through_waybar(self):
        outputs = json.loads(self.swaymsg("-t", "get_outputs"))
        self.layout = (max(o["rect"]["x"] + o["rect"]["width"] for o in outputs),
                       max(o["rect"]["y"] + o["rect"]["height"] for o in outputs))
        bar = outputs[0]["rect"]
        write_hold(1)
        self.start()

        def icon():
            """Where the bar is drawn (black at its far end), its other pixels."""
            image = grey(self.grim(bar["x"], bar["y"], bar["width"], 28))
            drawn = [(x, y) for y, row in enumerate(image) for x, v in enumerate(row) if v]
            if image[14][-1] == 0 and drawn:
                return (bar["x"] + (min(x for x, _ in drawn) + max(x for x, _ in drawn)) // 2,
                        bar["y"] + (min(y for _, y in drawn) + max(y for _, y in drawn)) // 2)
            return None
        x, y = wait(icon, "the icon in waybar's bar")
        self.assertEqual(len(items()), 1, items())
        # A double click: the first click switches off; the second is the
        # overlay's, which the guard answers, and brings no second hold.
        self.click(x, y, 272, 2)
        wait(lambda: len(self.traced(OFF)) >= 2, "both outputs off at the click")
        ended = self.held_until(1)
        self.entries()  # answered once what came during the hold is handled
        self.assertEqual([t for t in self.traced(OFF) if t > ended], [], "a switch-off after")
        self.move()
        # By sway's word too: on 1.10, a menu opened while the outputs are dark is in
        # no screenshot until something else is drawn.
        wait(lambda: self.on(2), "both outputs on again")

        self.click(x, y, 273)
        top = bar["y"] + 28
        menu = wait(lambda: (lambda found: len(found) == 6 and found)(
            lines(grey(self.grim(bar["x"], top, 400, 400)))), "waybar's menu of six entries")
        # A keyboard from now on (wtype's, while it waits to read), so that the
        # dialog has the seat's keyboard before the keys come.
        self.spawn(["wtype", "-"], subprocess.PIPE, env=self.input_env)
        since = max(self.traced(r"."))
        self.click(bar["x"] + menu[1][0], top + menu[1][1], 272)  # Anti shake
        wait(lambda: self.window(DIALOG) and focused(self.traced, since),
             "the dialog with the keyboard")
        dialog = self.window(DIALOG)
        r, w = dialog["rect"], dialog["window_rect"]
        image = self.grim(r["x"], r["y"], w["width"], w["height"])
        image.savev(os.path.join(BUILD, "dialog-sway.png"), "png", [], [])
        self.assertEqual(cut_texts(image, self.env), [])
        subprocess.run(["wtype", "-M", "ctrl", "a", "-m", "ctrl", "2.5", "-M", "alt", "a", "-m",
                        "alt"], env=self.input_env, check=True)
        wait(lambda: '"Holdit"="2.5"' in read(SETTINGS), "the value stored")
        wait(lambda: not self.window(DIALOG), "the dialog to close")


class PlasmaShell(Kde):
    """KWin with Plasma's shell (its panel along the bottom, its tray) on a
    plain grey desktop, and powerdevil. KWin draws into a window at the top
    left of the session's X screen, where the test sees it; the input is
    KWin's fake input (a wl_probe pointer)."""

    def backend(self):
        return ["--x11-display", os.environ["DISPLAY"]]

    def setUp(self):
        # Menus and windows shown at once, where they stay.
        os.makedirs(CONFIG, exist_ok=True)
        with open(os.path.join(CONFIG, "kdeglobals"), "w") as f:
            f.write("[KDE]\nAnimationDurationFactor=0\n")
        # The program installed as its package installs it, for KWin to find its icon.
        share = os.path.join(os.environ["HOME"], ".local", "share")
        for size in glob.glob(os.path.join(BUILD, "icons", "*x*")):
            shutil.copytree(size, "%s/icons/hicolor/%s/apps" % (share, os.path.basename(size)))
        shutil.copytree(os.path.dirname(DESKTOP), os.path.join(share, "applications"))
        super().setUp()
        xdotool("mousemove", "1279", "1023")  # the X pointer, which KWin's window shows, off it
        version = re.search(r"\d+", subprocess.run(["plasmashell", "--version"], check=True,
                                                   capture_output=True, text=True).stdout)[0]
        self.env.update(QT_QPA_PLATFORM="wayland", XDG_CURRENT_DESKTOP="KDE",
                        KDE_FULL_SESSION="true", KDE_SESSION_VERSION=version)
        self.input_env = dict(self.env, WAYLAND_DEBUG="")
        self.powerdevil()
        # KDE's daemon, as the session starts it: its module is the tray's watcher.
        self.spawn(["kded" + version], os.path.join(self.folder, "kded"), env=self.input_env)
        self.spawn(["plasmashell", "--no-respawn"], os.path.join(self.folder, "plasmashell"),
                   env=self.input_env)
        wait(lambda: hosted(self.bus), "Plasma's tray")
        self.bus.get_object("org.kde.plasmashell", "/PlasmaShell").evaluateScript(
            "d = desktops()[0]; d.wallpaperPlugin = 'org.kde.color';"
            "d.currentConfigGroup = ['Wallpaper', 'org.kde.color', 'General'];"
            "d.writeConfig('Color', '128,128,128')", dbus_interface="org.kde.PlasmaShell")
        self.hand(self.input_env)

    def find(self, area, colour=None, lighter=0):
        """The box (x, y, width, height) of the area's pixels of the colour
        (within 40 of each part), or else lighter than that grey level."""
        image = screen(*area)
        pixels, step = image.get_pixels(), image.get_rowstride()
        found = [(x, y) for y in range(area[3]) for x in range(area[2]) if (
            all(abs(pixels[y * step + 3 * x + i] - c) < 40 for i, c in enumerate(colour))
            if colour else min(pixels[y * step + 3 * x:y * step + 3 * x + 3]) > lighter)]
        return found and (area[0] + min(x for x, _ in found), area[1] + min(y for _, y in found),
                          max(x for x, _ in found) - min(x for x, _ in found) + 1,
                          max(y for _, y in found) - min(y for _, y in found) + 1)

    def click(self, box, button=272):
        self.send("%d %d 0 0 %d 1" % (box[0] + box[2] // 2, box[1] + box[3] // 2, button))

    def test_icon_click_hold_menu_and_dialog_in_plasmas_tray(self):
        keys = os.path.join(self.folder, "keys")
        self.spawn([WL_PROBE, "window", keys], env=self.input_env)
        wait(lambda: "ready" in read(keys), "the test window with the keyboard")
        window = wait(lambda: self.find((0, 0, 1280, 720), (0, 0, 0)), "the black test window")
        write_hold(2)
        self.start()
        # The icon's red band in the panel, where it stays; a click there switches off.
        tray = (0, 740, 1280, 60), ICON_RED
        icon = wait(lambda: (lambda box: box == self.find(*tray) and box)(self.find(*tray)),
                    "the icon, in one place")
        self.assertEqual(len(items()), 1, items())
        since = max(self.traced(r"."))
        self.click(icon)
        wait(lambda: self.traced(OVERLAY_MAPPED) and focused(self.traced, since),
             "the overlay with the keyboard")
        self.send("key %d" % KEY_A)
        self.click(window)
        self.entries()  # answered once the hold is over
        wait(lambda: self.traced(OVERLAY_GONE), "the overlay gone")
        # The click's, and the guard's at the input in the hold.
        self.assertEqual(set(self.invoked()), {(self.program.pid, SHORTCUT)})
        self.assertEqual([k for k in read(keys).split() if k in ("key", "button")], [])
        self.click(window)
        wait(lambda: "button" in read(keys), "a click at the window after the hold")

        since = max(self.traced(r"."))
        self.click(icon, 273)
        left, top = icon[0] - 400, icon[1] - 420
        menu = wait(lambda: (lambda found: len(found) == 6 and found)(
            lines(grey(screen(left, top, 1280 - left, 400)))), "Plasma's menu of six entries")
        self.click((left + menu[1][0], top + menu[1][1], 0, 0))  # Anti shake
        wait(lambda: focused(self.traced, since), "the dialog with the keyboard")
        self.send("640 790 0 0")  # the pointer, which KWin 6 draws, to the panel
        box = wait(lambda: self.find((0, 0, 1280, 740), lighter=200), "the dialog")
        # Named as its desktop file is: KWin finds the program's icon for its title bar.
        self.assertTrue(self.find((*box[:2], 40, 30), ICON_RED), "the icon in the title")
        image = screen(*box)
        image.savev(os.path.join(BUILD, "dialog-plasma.png"), "png", [], [])
        self.assertEqual(cut_texts(image, self.env), [])
        for chord in ((KEY_LEFTCTRL, KEY_A), (KEY_2,), (KEY_DOT,), (KEY_5,), (KEY_LEFTALT, KEY_A)):
            self.send("key " + " ".join(map(str, chord)))
        wait(lambda: '"Holdit"="2.5"' in read(SETTINGS), "the value stored")


class GnomeShell(Gnome):
    """GNOME Shell headless, its tray the AppIndicator extension, on the
    private bus and dconf of the session; GNOME's power daemon beside it.
    Its Eval and Screenshot answer in unsafe mode only, which a test
    extension switches on."""

    SOCKET = "tenebrolite-mutter"
    UNSAFE = "unsafe-mode@tenebrolite.test"

    def spawn(self, name, argv, env=None):
        if name == "mutter":  # the shell, on GNOME's compositor
            argv = ["gnome-shell", "--wayland", "--headless", "--no-x11", "--virtual-monitor",
                    "1280x800", "--wayland-display=" + self.SOCKET]
            env = dict(os.environ, XDG_CURRENT_DESKTOP="GNOME", XDG_SESSION_TYPE="wayland")
        return super().spawn(name, argv, env)

    def setUp(self):
        super().setUp()
        folder = os.path.join(os.environ["HOME"], ".local/share/gnome-shell/extensions",
                              self.UNSAFE)
        os.makedirs(folder, exist_ok=True)
        # GNOME Shell 45 on loads an extension as a module whose default export it constructs.
        version = re.search(r"\d+", subprocess.run(["gnome-shell", "--version"], check=True,
                                                   capture_output=True, text=True).stdout)[0]
        with open(os.path.join(folder, "metadata.json"), "w") as f:
            json.dump({"uuid": self.UNSAFE, "name": "Unsafe mode", "description": "For tests",
                       "shell-version": [version]}, f)
        with open(os.path.join(folder, "extension.js"), "w") as f:
            f.write(("export default %s\n" if int(version) >= 45 else
                     "function init() { return new (%s)(); }\n") %
                    "class { enable() { global.context.unsafe_mode = true; }"
                    " disable() { global.context.unsafe_mode = false; } }")
        shell = Gio.Settings.new("org.gnome.shell")
        shell.set_strv("enabled-extensions", ["ubuntu-appindicators@ubuntu.com", self.UNSAFE])
        shell.set_string("welcome-dialog-last-shown-version", "999")
        interface = Gio.Settings.new("org.gnome.desktop.interface")
        interface.set_boolean("enable-hot-corners", False)
        interface.set_boolean("enable-animations", False)  # windows shown where they stay
        Gio.Settings.new("org.gnome.desktop.notifications").set_boolean("show-banners", False)
        Gio.Settings.sync()
        self.desktop()
        self.shell = self.bus.get_object("org.gnome.Shell", "/org/gnome/Shell")
        wait(lambda: self.eval("Main.layoutManager._startingUp") is False, "the shell")
        self.eval("Main.overview.hide()")
        # mutter's keyboard for the session comes at its first key: a shift,
        # before the program starts, so that its seat has a keyboard from then.
        self.keys((KEY_LEFTSHIFT,))
        self.env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=self.SOCKET,
                        XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP="GNOME",
                        WAYLAND_DEBUG="client")
        self.wayland = os.path.join(self.folder, "wayland")
        self.binary, self.args = "/bin/sh", ["-c", 'exec "$0" 2>"$1"', PROGRAM, self.wayland]

    def traced(self, message):
        """Times of the program's Wayland requests and events that match."""
        return WaylandDesktop.traced(self, message, self.wayland)

    def eval(self, script):
        """The script's value in the shell, or None while it does not answer."""
        try:
            done, value = self.shell.Eval(script, dbus_interface="org.gnome.Shell")
        except dbus.exceptions.DBusException:
            return None
        return json.loads(value) if done and value else None

    def place(self, actor):
        """x, y, width, height of the shell's actor, a script's value, once
        it is laid out."""
        place = self.eval("(a => [...a.get_transformed_position(), ...a.get_transformed_size()]"
                          ".map(Math.round))(%s)" % actor)
        return place if place and None not in place and place[2] > 0 else None

    def screenshot(self, *area):
        """A picture of the area (x, y, width, height), or of the focused window."""
        path = os.path.join(self.folder, "shot.png")
        shooter = self.bus.get_object("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot")
        if area:
            shooter.ScreenshotArea(*area, False, path, dbus_interface="org.gnome.Shell.Screenshot")
        else:
            shooter.ScreenshotWindow(True, False, False, path,
                                     dbus_interface="org.gnome.Shell.Screenshot")
        return GdkPixbuf.Pixbuf.new_from_file(path)

    def click(self, actor, count=1):
        """count clicks of the left button at the middle of the shell's actor,
        once the shell sees the pointer over it."""
        place = wait(lambda: self.place(actor), actor)
        x, y = place[0] + place[2] // 2, place[1] + place[3] // 2
        pointer = self.eval("global.get_pointer()")
        self.input.NotifyPointerMotionRelative(float(x - pointer[0]), float(y - pointer[1]),
                                               dbus_interface=REMOTE + ".Session")
        wait(lambda: self.eval(actor + ".hover"), "the pointer over " + actor)
        for _ in range(count):
            for pressed in (True, False):
                self.input.NotifyPointerButton(272, pressed, dbus_interface=REMOTE + ".Session")

    def keys(self, *chords):
        """Each chord's keys pressed in turn, then released."""
        for chord in chords:
            for key, pressed in [(k, True) for k in chord] + [(k, False) for k in chord[::-1]]:
                self.input.NotifyKeyboardKeycode(dbus.UInt32(key), pressed,
                                                 dbus_interface=REMOTE + ".Session")

    def test_icon_double_click_menu_and_dialog_through_the_extension(self):
        write_hold(1)
        self.start()
        indicator = ("Object.entries(Main.panel.statusArea)"
                     ".find(([name]) => name.startsWith('appindicator-'))[1]")

        def drawn():
            """The top bar is black; the icon's pictures, in several colours."""
            icon = self.place(indicator)
            return icon and len({v for row in grey(self.screenshot(*icon)) for v in row}) > 8
        wait(drawn, "the icon drawn in the top bar")
        self.assertEqual(len(items()), 1, items())
        self.click(indicator, 2)
        wait(lambda: self.mode() == 3, "the display off")
        self.entries()  # answered once the hold is over
        self.move()
        wait(lambda: self.mode() == 0, "the display back at the first input after the hold")

        since = max(self.traced(r"."))
        self.click(indicator)
        entry = indicator + (".menu._getMenuItems()"
                             ".find(i => i.label && i.label.text == 'Anti shake')")
        wait(lambda: self.eval(indicator + ".menu.isOpen"), "the extension's menu")
        # The entry under the pointer has the keyboard: Enter chooses it.
        self.click(entry, 0)
        wait(lambda: self.eval(entry + ".active"), "the entry under the pointer")
        self.keys((KEY_ENTER,))
        dialog = "global.get_window_actors().find(a => a.meta_window.title == '%s')" % DIALOG
        wait(lambda: focused(self.traced, since), "the dialog to have the keyboard")
        image = self.screenshot()
        image.savev(os.path.join(BUILD, "dialog-gnome.png"), "png", [], [])
        self.assertEqual(cut_texts(image, self.env), [])
        self.assertEqual(title_marks(image), 2, "a title and a close box, nothing else")
        self.keys((KEY_LEFTCTRL, KEY_A), (KEY_2,), (KEY_DOT,), (KEY_5,), (KEY_LEFTALT, KEY_A))
        wait(lambda: '"Holdit"="2.5"' in read(SETTINGS), "the value stored")
        wait(lambda: not self.eval(dialog), "the dialog to close")


    def held(self, keys, switch_off):
        """Keys typed and a click made at the test window's place during the
        hold that switch_off() starts; what reached the window then."""
        before = len(read(keys).split())
        switch_off()
        wait(lambda: self.mode() == 3, "the display off")
        probe = "global.get_window_actors().find(a => a.meta_window.title == 'wl_probe')"
        x, y, width, height = wait(lambda: self.place(probe), "the test window's place")
        x, y = x + width // 2, y + height // 2
        # The display goes dark first, then the hold's windows come. The shell
        # gives a click to what it last drew under the pointer (GNOME Shell 48
        # gives the keyboard a frame before): the hold's window, once drawn.
        wait(lambda: self.eval("(w => !!w && w.title == 'Tenebrolite' && w.is_fullscreen() && w"
                               ".get_compositor_private().contains(global.stage.get_actor_at_pos("
                               "1, %d, %d)))(global.display.focus_window)" % (x, y)),
             "the hold's window drawn, with the keyboard")
        pointer = self.eval("global.get_pointer()")
        self.input.NotifyPointerMotionRelative(float(x - pointer[0]), float(y - pointer[1]),
                                               dbus_interface=REMOTE + ".Session")
        self.keys((KEY_A,), (KEY_2,))
        for pressed in (True, False):
            self.input.NotifyPointerButton(272, pressed, dbus_interface=REMOTE + ".Session")
        # Mutter's idle monitor hears the input the program's window takes:
        # the guard keeps the display dark.
        self.assertEqual(self.mode(), 3)
        return lambda: [k for k in read(keys).split()[before:] if k != "ready"]

    def test_the_hold_takes_keys_and_clicks_from_the_focused_window(self):
        keys = os.path.join(self.folder, "keys")
        self.spawn("probe", [WL_PROBE, "window", keys],
                   dict(os.environ, WAYLAND_DISPLAY=self.SOCKET))
        token = wait(lambda: re.findall(r"token (\S+)", read(keys)), "the window's token")[0]
        write_hold(2)
        self.start()
        indicator = ("Object.entries(Main.panel.statusArea)"
                     ".find(([name]) => name.startsWith('appindicator-'))[1]")
        wait(lambda: self.place(indicator), "the icon")
        # The extension hands the program a token (through Qt) with the click.
        reached = self.held(keys, lambda: self.click(indicator, 2))
        self.entries()  # answered once the hold is over
        self.assertEqual(reached(), [])
        # Its windows go (the shell hears of it on another socket than the bus's
        # answer): nothing left for the overview or the switcher.
        wait(lambda: self.eval("global.get_window_actors()"
                               ".some(a => a.meta_window.title == 'Tenebrolite')") is False,
             "the hold's windows gone")
        self.keys((KEY_A,))
        wait(lambda: self.mode() == 0, "the display back at the first input after the hold")
        wait(lambda: reached() == ["key"], "keys at the window after the hold")

        # The command as a launcher or a shortcut starts it, with a token; and
        # without one, when GNOME Shell (43, 48) gives the new window the keyboard
        # all the same.
        trace = os.path.join(self.folder, "command")
        for given in (token, None):
            env = dict(self.env, **({"XDG_ACTIVATION_TOKEN": given} if given else {}))
            run = []
            reached = self.held(keys, lambda: run.append(subprocess.Popen(
                [self.binary, "-c", 'exec "$0" --switch-off 2>"$1"', PROGRAM, trace], env=env)))
            wait(lambda: re.search(r" -> xdg_toplevel@\d+\.destroy", wayland_trace(trace)),
                 "its hold's end")
            self.move()
            self.assertEqual(run[0].wait(timeout=10), 0)
            self.assertEqual(bool(re.search(r' -> xdg_activation_v1@\d+\.activate\("%s"' % given,
                                            wayland_trace(trace))), bool(given))
            self.assertEqual(reached(), [])


class OwnCases(unittest.TestLoader):
    """A class's own cases, not those of the session it builds on."""

    def getTestCaseNames(self, testCaseClass):
        return [n for n in super().getTestCaseNames(testCaseClass) if n in vars(testCaseClass)]


if __name__ == "__main__":
    unittest.TestCase.maxDiff = None
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], testLoader=OwnCases(), verbosity=2)
