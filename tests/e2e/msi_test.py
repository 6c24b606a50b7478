#!/usr/bin/python3
"""The Windows installer under Wine's msiexec: installed for the current user,
the program started from its Start menu shortcut, the same package and one
rebuilt at the same version installed again, a later one over it, the first
then refused, and all removed. Run inside tools/wine-session.sh.

    msi_test.py MSI WIXL_COMMAND...   (the command that built MSI in the .wxs's
                                       folder, without -D Version and -o)
"""
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

MSI, WIXL = os.path.abspath(sys.argv[1]), sys.argv[2:]
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOURCES = {"Tenebrolite.exe": os.path.join(os.path.dirname(MSI), "Tenebrolite.exe"),
           "help.html": os.path.join(ROOT, "res", "help.html"),
           "LICENSE.txt": os.path.join(ROOT, "LICENSE")}
# The uninstall entry shows the maker of the exe's version resource and the
# three fields of its version that Windows Installer compares.
with open(os.path.join(ROOT, "res", "tenebrolite.rc"), encoding="utf-8") as rc:
    RESOURCE = rc.read()
MAKER = re.search(r'VALUE "CompanyName", "([^"]*)"', RESOURCE).group(1)
VERSION = ".".join(re.search(r"\nPRODUCTVERSION (\d+),(\d+),(\d+),\d+", RESOURCE).groups())
SHORTCUTS = {"Tenebrolite.lnk": "", "Tenebrolite Switch Off.lnk": "/switchoff"}
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
SETTINGS_KEY = r"HKCU\Software\Velmarind\Tenebrolite"
# Per-user products are registered under HKCU, per-machine ones under HKLM.
USER_PRODUCTS = r"HKCU\Software\Microsoft\Installer\Products"
MACHINE_PRODUCTS = r"HKLM\Software\Classes\Installer\Products"
UNINSTALL = [r"%s\Software\Microsoft\Windows\CurrentVersion\Uninstall" % hive
             for hive in ("HKCU", "HKLM")]
HIVES = {"HKCU": "HKEY_CURRENT_USER", "HKLM": "HKEY_LOCAL_MACHINE"}


def wine(*args, check=True):
    done = subprocess.run(["wine", *args], capture_output=True, text=True, errors="replace")
    if check and done.returncode != 0:
        raise AssertionError("wine %s: %d\n%s%s" % (args, done.returncode, done.stdout, done.stderr))
    return done.stdout


def query(key):
    """{key: {name: data}} for the key and every key under it; {} when it is not there."""
    found, values = {}, {}
    for line in wine("reg", "query", key, "/s", check=False).splitlines():
        if line.startswith("HKEY_"):
            values = found.setdefault(line, {})
        elif line.startswith("    "):
            name, _, *data = line[4:].split("    ", 2)
            values[name] = "".join(data)
    return found


def values(key):
    hive, path = key.split("\\", 1)
    return query(key).get(HIVES[hive] + "\\" + path, {})


def unix(path):
    drive, rest = path.split(":\\", 1)
    return os.path.join(os.environ["WINEPREFIX"], "dosdevices", drive.lower() + ":",
                        *rest.split("\\"))


def shortcut(path):
    """(target, arguments) of a shell link, from its LinkInfo and string data."""
    with open(path, "rb") as link:
        data = link.read()
    word = lambda at, size=4: int.from_bytes(data[at:at + size], "little")
    flags, at, target, strings = word(20), 76, "", []
    if flags & 1:  # an item id list
        at += 2 + word(at, 2)
    if flags & 2:  # LinkInfo with the local base path
        base = at + word(at + 16)
        target = data[base:data.index(b"\0", base)].decode("latin-1")
        at += word(at)
    for bit in (4, 8, 16, 32):  # name, relative path, working folder, arguments
        size = 2 * word(at, 2) if flags & bit else 0
        strings.append(data[at + 2:at + 2 + size].decode("utf-16-le"))
        at += 2 + size if flags & bit else 0
    return target, strings[3].rstrip("\0")  # Wine counts the terminating NUL


def ours(keys, name):
    """What the keys under these keys whose value name is Tenebrolite hold."""
    return [found for key in keys for found in query(key).values()
            if found.get(name) == "Tenebrolite"]


def entries():
    """(version, maker) of each uninstall entry of the product."""
    return sorted((found.get("DisplayVersion"), found.get("Publisher"))
                  for found in ours(UNINSTALL, "DisplayName"))


def msiexec(action, msi, check=True):
    """msiexec's exit status."""
    done = subprocess.run(["wine", "msiexec", action, "Z:" + msi.replace("/", "\\"), "/qn"],
                          capture_output=True)
    if check and done.returncode != 0:
        raise AssertionError("msiexec %s %s: %d" % (action, msi, done.returncode))
    return done.returncode


class Installer(unittest.TestCase):
    def test_install_run_upgrade_and_remove(self):
        local, roaming, common = wine("cmd", "/c", "echo %LOCALAPPDATA%;%APPDATA%;%ProgramData%")\
            .strip().split(";")
        folder = local + r"\Programs\Tenebrolite"
        menu = roaming + r"\Microsoft\Windows\Start Menu\Programs"
        placed = [unix(folder + "\\" + name) for name in SOURCES] + \
                 [unix(menu + "\\" + name) for name in SHORTCUTS]
        wine("reg", "delete", RUN_KEY, "/v", "Tenebrolite", "/f", check=False)
        self.addCleanup(wine, "reg", "delete", RUN_KEY, "/v", "Tenebrolite", "/f", check=False)

        *fields, last = VERSION.split(".")
        later_version = ".".join([*fields, str(int(last) + 1)])
        self.addCleanup(msiexec, "/x", MSI, check=False)
        msiexec("/i", MSI)
        for name, source in SOURCES.items():
            with open(unix(folder + "\\" + name), "rb") as installed, open(source, "rb") as built:
                self.assertEqual(installed.read(), built.read(), name)
        for name, arguments in SHORTCUTS.items():
            self.assertEqual(shortcut(unix(menu + "\\" + name)),
                             (folder + r"\Tenebrolite.exe", arguments))
            self.assertFalse(os.path.exists(unix(common + r"\Microsoft\Windows\Start Menu\Programs"
                                                 + "\\" + name)))
        self.assertEqual(entries(), [(VERSION, MAKER)])
        self.assertEqual((len(ours([USER_PRODUCTS], "ProductName")),
                          ours([MACHINE_PRODUCTS], "ProductName")), (1, []))

        # The installer writes the Run value that the program, started as a
        # user starts it, writes again: the same data.
        command = '"%s\\Tenebrolite.exe"' % folder
        self.assertEqual(values(RUN_KEY).get("Tenebrolite"), command)
        wine("reg", "delete", RUN_KEY, "/v", "Tenebrolite", "/f")
        self.addCleanup(wine, "taskkill", "/f", "/im", "Tenebrolite.exe", check=False)
        subprocess.run(["wine", "start", menu + r"\Tenebrolite.lnk"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while "Tenebrolite" not in values(RUN_KEY):
            self.assertLess(time.monotonic(), deadline, "no Run value")
        wine("taskkill", "/f", "/im", "Tenebrolite.exe")
        self.assertEqual(values(RUN_KEY)["Tenebrolite"], command)

        # The same package again, one rebuilt at the same version (another
        # product code), and a later one with a help page of its own.
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        sources = os.path.join(scratch.name, "res")
        os.mkdir(sources)
        later_page = os.path.join(sources, "help.html")
        with open(later_page, "w", encoding="utf-8") as page:
            page.write("<p>the later version's page</p>\n")
        built = {}
        for name, version in (("rebuilt", VERSION), ("later", later_version)):
            built[name] = os.path.join(scratch.name, name + ".msi")
            # wixl takes a source from its working folder before the .wxs's.
            subprocess.run([*WIXL, "-D", "Version=" + version, "-o", built[name]], check=True,
                           cwd=sources if name == "later" else os.path.dirname(WIXL[-1]))
            self.addCleanup(msiexec, "/x", built[name], check=False)
        for msi in (MSI, built["rebuilt"]):
            msiexec("/i", msi)
            self.assertEqual((entries(), len(ours([USER_PRODUCTS], "ProductName"))),
                             ([(VERSION, MAKER)], 1), msi)
        msiexec("/i", built["later"])
        self.assertEqual(entries(), [(later_version, MAKER)])
        with open(unix(folder + r"\help.html"), "rb") as installed, open(later_page, "rb") as page:
            self.assertEqual(installed.read(), page.read())
        self.assertNotEqual(msiexec("/i", MSI, check=False), 0, "installed over a later version")
        self.assertEqual(len(ours([USER_PRODUCTS], "ProductName")), 1)
        self.assertTrue(all(os.path.exists(path) for path in placed))

        msiexec("/x", built["later"])
        self.assertEqual([path for path in placed if os.path.exists(path)], [])
        self.assertFalse(os.path.exists(unix(folder)))
        self.assertEqual((entries(), ours([USER_PRODUCTS], "ProductName")), ([], []))
        # No start at logon of the removed exe; the settings are the user's.
        self.assertEqual([data for data in values(RUN_KEY).values() if "Tenebrolite.exe" in data],
                         [])
        self.assertEqual(values(SETTINGS_KEY)["Btn"], "1")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
