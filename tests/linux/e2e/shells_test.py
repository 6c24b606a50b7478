#!/usr/bin/python3
"""The program as users of Wayland desktops run it: a native Wayland client
(Qt's Wayland platform) under a whole shell with its own tray. sway with
waybar's tray, and GNOME Shell with the AppIndicator extension: the icon
drawn once in the shell's tray, a real click at its place switching off, the
shell's own menu, the dialog with its texts whole, a value typed and stored.

    shells_test.py SwayWaybar|GnomeShell
"""
import glob
import json
import os
import subprocess
import sys
import unittest

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

from e2e_test import BUILD, SETTINGS, items, read, wait_for, write_hold
from kde_test import OFF, ON, Sway

TEXT_PROBE = os.path.join(BUILD, "text_probe")
DIALOG = " Mouse delay"
TEXTS = ["label:Hold (sec)", "button:&Apply", "button:&Cancel"]


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
    if not light:
        return []
    left, right = min(x for x, _ in light), max(x for x, _ in light)
    ys = sorted({y for _, y in light})
    inked = [y for y in range(ys[0], ys[-1]) if min(rows[y][left + 10:right - 10]) < 100]
    bands = [[y] for y in inked[:1]]
    for y in inked[1:]:
        if y == bands[-1][-1] + 1:
            bands[-1].append(y)
        else:
            bands.append([y])
    return [((left + right) // 2, (band[0] + band[-1]) // 2) for band in bands]


def cut_texts(image, env):
    """The texts that the picture of a dialog does not show whole: each as Qt
    draws it in this desktop's font (text_probe), looked for among the
    picture's ink, the pixels darker than halfway from its background to its
    darkest. A text cut at its widget's edge misses its last glyphs."""
    rows = grey(image)
    levels = [v for row in rows for v in row]
    background = max(set(levels), key=levels.count)
    dark = (background + min(levels)) // 2
    ink = [sum(1 << x for x, v in enumerate(row) if v < dark) for row in rows]
    out = iter(subprocess.run([TEXT_PROBE, *TEXTS], env=env, capture_output=True, text=True,
                              check=True).stdout.splitlines())

    def found(glyphs, x, y):
        """How many of the glyphs' pixels the picture has at x, y."""
        return sum(bin((ink[y + r] >> x) & g).count("1") for r, g in enumerate(glyphs))

    cut = []
    for text in TEXTS:
        drawn = []  # at each sixteenth of a pixel: the rows' pixels, as bits
        for _ in range(16):
            width, height = map(int, next(out).split())
            drawn.append([sum(1 << x for x, c in enumerate(next(out)) if c == "#")
                          for _ in range(height)])
        # Where the text starts within a pixel or two; then its best drawing there.
        _, x, y = max((found(drawn[-1], x, y), x, y) for y in range(len(ink) - height + 1)
                      for x in range(image.get_width() - width + 1))
        missing = min(sum(bin(g).count("1") for g in glyphs) - found(glyphs, max(x + dx, 0), y + dy)
                      for glyphs in drawn for dx in (-1, 0, 1) for dy in (-1, 0, 1)
                      if 0 <= y + dy <= len(ink) - len(glyphs))
        if missing > 3:
            cut.append("%s (%d pixels missing)" % (text, missing))
    return cut


class SwayWaybar(Sway):
    """sway with waybar's tray as the only module of its bars, on both outputs."""

    def setUp(self):
        super().setUp()
        self.env["QT_QPA_PLATFORM"] = "wayland"
        self.ipc = glob.glob(self.runtime + "/sway-ipc.*.sock")[0]
        self.swaymsg("focus_follows_mouse no")
        config = os.path.join(self.folder, "waybar")
        with open(config, "w") as f:
            json.dump({"layer": "top", "position": "top", "height": 28, "modules-left": ["tray"],
                       "tray": {"icon-size": 20}}, f)
        with open(config + ".css", "w") as f:
            f.write("window#waybar { background: #000000; }\n")
        self.spawn(["waybar", "-c", config, "-s", config + ".css"],
                   os.path.join(self.folder, "waybar.log"), env=self.input_env)
        wait_for(self.host, "waybar's tray", 20)

    def host(self):
        try:
            watcher = self.bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
            return watcher.Get("org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered",
                               dbus_interface="org.freedesktop.DBus.Properties")
        except Exception:  # noqa: BLE001 - not up yet
            return False

    def swaymsg(self, *args):
        return subprocess.run(["swaymsg", "-s", self.ipc, *args], check=True, capture_output=True,
                              text=True).stdout

    def grim(self, x, y, width, height):
        return picture(subprocess.run(["grim", "-t", "ppm", "-g", "%d,%d %dx%d" % (x, y, width, height),
                                       "-"], env=self.input_env, check=True,
                                      capture_output=True).stdout)

    def click(self, x, y, button, count=1):
        layout = self.layout
        self.pointer.stdin.write(b"%d %d %d %d %d %d\n" % (x, y, *layout, button, count))
        self.pointer.stdin.flush()
        self.assertEqual(self.pointer.stdout.readline(), b"moved\n")

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

    def test_icon_click_menu_and_dialog_through_waybar(self):
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
        x, y = wait_for(icon, "the icon in waybar's bar")
        self.assertEqual(len(items()), 1, items())
        self.click(x, y, 272)
        wait_for(lambda: len(self.traced(OFF)) == 2, "both outputs off at the click")
        self.held_until(1)
        self.move()
        wait_for(lambda: len(self.traced(ON)) == 2, "both outputs on again")

        self.click(x, y, 273)
        top = bar["y"] + 28
        entries = wait_for(lambda: len(lines(grey(self.grim(bar["x"], top, 400, 400)))) == 6 and
                           lines(grey(self.grim(bar["x"], top, 400, 400))), "waybar's menu")
        self.click(bar["x"] + entries[1][0], top + entries[1][1], 272)  # Anti shake
        dialog = wait_for(lambda: self.window(DIALOG), "the dialog")
        r, w = dialog["rect"], dialog["window_rect"]
        image = self.grim(r["x"], r["y"], w["width"], w["height"])
        image.savev(os.path.join(BUILD, "dialog-sway.png"), "png", [], [])
        self.assertEqual(cut_texts(image, self.env), [])
        subprocess.run(["wtype", "-M", "ctrl", "a", "-m", "ctrl", "2.5", "-M", "alt", "a", "-m", "alt"],
                       env=self.input_env, check=True)
        wait_for(lambda: '"Holdit"="2.5"' in read(SETTINGS), "the value stored")
        wait_for(lambda: not self.window(DIALOG), "the dialog to close")


class OwnCases(unittest.TestLoader):
    """A class's own cases, not those of the session it builds on."""

    def getTestCaseNames(self, testCaseClass):
        return [n for n in super().getTestCaseNames(testCaseClass) if n in vars(testCaseClass)]


if __name__ == "__main__":
    unittest.TestCase.maxDiff = None
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], testLoader=OwnCases(), verbosity=2)
