#!/usr/bin/python3
"""The Debian package, end to end: made by cpack in the build folder, its
desktop entry and AppStream data validated as shipped, installed with apt-get
over whatever is installed, the installed program run in the private session
of tools/linux-session.sh, then removed and purged; or, with TENEBROLITE_DEB,
the package built on Debian 12, on Debian 13. The RPM: the same files,
requirements by soname, installed into a private root, rpmlint.

    package_test.py Package|Rpm
"""
import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

from e2e_test import AUTOSTART, BUILD, SETTINGS, Session, read, wait_for

APP_ID = "example.velmarind.Tenebrolite"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
DESKTOP = "/usr/share/applications/%s.desktop" % APP_ID
METAINFO = "/usr/share/metainfo/%s.metainfo.xml" % APP_ID
SHIPPED = {"/usr/bin/tenebrolite", "/usr/share/tenebrolite/help.html",
           "/usr/share/doc/tenebrolite/copyright", DESKTOP, METAINFO,
           *("/usr/share/icons/hicolor/%dx%d/apps/%s.png" % (n, n, APP_ID) for n in SIZES)}
OWN_FOLDERS = ("/usr/share/tenebrolite", "/usr/share/doc/tenebrolite")
# What rpm's own scan of the binary requires: libraries by soname, rpm's own features.
SCANNED = re.compile(r"[\w.+-]+\.so(\.\d+)*\(\S*\)\(64bit\)$|rpmlib\(|rtld\(")
# The warnings that stay, each with its reason in the README.
RPMLINT_WARNINGS = {"non-coherent-filename", "no-manual-page-for-binary", "invalid-license"}
RPMLINT_CONFIG = os.path.join(os.path.dirname(__file__), "..", "..", "..", "cmake", "rpmlint.toml")
# As tools/deps.sh: root runs apt-get itself, anyone else through sudo; an
# install elsewhere on the machine holds the lock for a while.
SUDO = [] if os.geteuid() == 0 else ["sudo"]
APT = [*SUDO, "env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "-o", "DPkg::Lock::Timeout=120",
       "-y", "-qq"]


def run(*args, cwd=None):
    done = subprocess.run(args, cwd=cwd, capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError("%s failed:\n%s%s" % (" ".join(args), done.stdout, done.stderr))
    return done.stdout


class Package(Session):
    binary = "/usr/bin/tenebrolite"

    def test_install_run_and_remove(self):
        # TENEBROLITE_DEB: a package built elsewhere (on the older generation).
        deb = os.environ.get("TENEBROLITE_DEB")
        if not deb:
            for old in glob.glob(os.path.join(BUILD, "tenebrolite_*.deb")):
                os.remove(old)
            run("cpack", "-G", "DEB", cwd=BUILD)
            (deb,) = glob.glob(os.path.join(BUILD, "tenebrolite_*.deb"))
        shipped = os.path.join(self.folder, "shipped")
        run("dpkg-deb", "-x", deb, shipped)
        self.assertEqual(run("dpkg-deb", "-f", deb, "Recommends"), "xdg-utils, qt6-wayland\n")
        self.assertEqual(run("desktop-file-validate", shipped + DESKTOP), "")
        run("appstreamcli", "validate", "--no-net", shipped + METAINFO)

        # --reinstall: a run cut short may have left this same version installed.
        run(*APT, "install", "--reinstall", "--no-install-recommends", deb)
        self.addCleanup(subprocess.run, [*SUDO, "dpkg", "--purge", "tenebrolite"],
                        capture_output=True)
        listed = run("dpkg", "-L", "tenebrolite").splitlines()
        files = {path for path in listed if not os.path.isdir(path)}
        self.assertEqual(files, SHIPPED)
        self.assertEqual([p for p in listed if not os.path.lexists(p) or os.lstat(p).st_uid != 0],
                         [])

        self.start()
        self.choose("Help")
        wait_for(lambda: read(self.opened), "the help page")
        self.assertEqual(self.pages(), ["/usr/share/tenebrolite/help.html"])
        self.assertIn('\nExec="/usr/bin/tenebrolite"\n', read(AUTOSTART))
        self.choose("Exit")
        self.assertEqual(self.program.wait(timeout=5), 0)

        run(*APT, "remove", "tenebrolite")
        # A package apt knows only from a file is gone from its lists once removed.
        run(*SUDO, "dpkg", "--purge", "tenebrolite")
        self.assertEqual([p for p in (*files, *OWN_FOLDERS) if os.path.lexists(p)], [])
        # The user's own files stay.
        self.assertIn('"Btn"="1"', read(SETTINGS))
        self.assertTrue(os.path.exists(AUTOSTART))


class Rpm(unittest.TestCase):
    def test_files_requirements_install_and_lint(self):
        for old in glob.glob(os.path.join(BUILD, "tenebrolite-*.rpm")):
            os.remove(old)
        run("cpack", "-G", "RPM", cwd=BUILD)
        (rpm,) = glob.glob(os.path.join(BUILD, "tenebrolite-*.x86_64.rpm"))
        self.assertEqual(set(run("rpm", "-qpl", rpm).splitlines()), SHIPPED | set(OWN_FOLDERS))
        requires = run("rpm", "-qpR", rpm).splitlines()
        self.assertEqual([name for name in requires if not SCANNED.match(name)], [])
        self.assertIn("libQt6Widgets.so.6()(64bit)", requires)
        self.assertEqual(run("rpm", "-qp", "--recommends", rpm).splitlines(),
                         ["(qt6-qtwayland or qt6-wayland)", "xdg-utils"])

        root = tempfile.mkdtemp()
        self.addCleanup(subprocess.run, [*SUDO, "rm", "-rf", root])
        run(*SUDO, "rpm", "--root", root, "--nodeps", "-i", rpm)
        modes = {path: "0o40755" if path in OWN_FOLDERS else "0o100755" if path.startswith("/usr/bin/")
                 else "0o100644" for path in SHIPPED | set(OWN_FOLDERS)}
        self.assertEqual({path: oct(os.lstat(root + path).st_mode) for path in modes
                          if os.path.lexists(root + path)}, modes)

        lint = subprocess.run(["rpmlint", "-c", RPMLINT_CONFIG, rpm], capture_output=True,
                              text=True)
        self.assertEqual((lint.returncode, set(re.findall(r": W: (\S+)", lint.stdout))),
                         (0, RPMLINT_WARNINGS), lint.stdout)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], verbosity=2)
