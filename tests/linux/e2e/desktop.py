#!/usr/bin/python3
"""Stand-in Wayland desktops for the tests: GNOME's compositor (its display
configuration's PowerSaveMode property) with its screen saver, the same
refusing every change, or KDE Plasma's global shortcuts. Each request is
written to the log as "what value sender seconds".

    desktop.py gnome|refusing-gnome|kde LOG
"""
import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

MUTTER = "org.gnome.Mutter.DisplayConfig"
SAVER = "org.gnome.ScreenSaver"
COMPONENT = "org.kde.kglobalaccel.Component"


class Logged(dbus.service.Object):
    def __init__(self, bus, path, log):
        super().__init__(bus, path)
        self.log = log

    def write(self, what, value, sender):
        with open(self.log, "a") as f:
            f.write("%s %s %s %.3f\n" % (what, value, sender, time.monotonic()))


class DisplayConfig(Logged):
    def __init__(self, bus, log, refusing):
        super().__init__(bus, "/org/gnome/Mutter/DisplayConfig", log)
        self.mode, self.refusing = dbus.Int32(0), refusing

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v",
                         sender_keyword="sender")
    def Get(self, interface, name, sender=None):
        self.write("get", int(self.mode), sender)
        return self.mode

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ssv", sender_keyword="sender")
    def Set(self, interface, name, value, sender=None):
        self.write("set", int(value), sender)
        if self.refusing:
            raise dbus.exceptions.DBusException("Not allowed",
                                                name="org.freedesktop.DBus.Error.AccessDenied")
        if int(value) != self.mode:  # reported on change only, as GNOME's is
            self.mode = dbus.Int32(value)
            self.PropertiesChanged(MUTTER, {"PowerSaveMode": self.mode}, [])

    @dbus.service.signal(dbus.PROPERTIES_IFACE, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changed, invalidated):
        pass


class ScreenSaver(Logged):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/gnome/ScreenSaver", log)
        self.active = False

    @dbus.service.method(SAVER, out_signature="b")
    def GetActive(self):
        return self.active

    @dbus.service.method(SAVER, in_signature="b", out_signature="b", sender_keyword="sender")
    def SetActive(self, active, sender=None):
        self.write("lock", int(active), sender)
        self.active = bool(active)
        return True


class PowerDevil(Logged):
    def __init__(self, bus, log):
        super().__init__(bus, "/component/org_kde_powerdevil", log)

    @dbus.service.method(COMPONENT, out_signature="as")
    def shortcutNames(self):
        return ["Sleep", "Turn Off Screen", "Hibernate"]

    @dbus.service.method(COMPONENT, in_signature="s", sender_keyword="sender")
    def invokeShortcut(self, name, sender=None):
        self.write("invoke", name.replace(" ", "_"), sender)


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    desktop, log = sys.argv[1:3]
    if desktop == "kde":
        kept = [PowerDevil(bus, log), dbus.service.BusName("org.kde.kglobalaccel", bus)]
    else:
        kept = [DisplayConfig(bus, log, desktop == "refusing-gnome"), ScreenSaver(bus, log),
                dbus.service.BusName(MUTTER, bus), dbus.service.BusName(SAVER, bus)]
    kept[0].write("up", desktop, bus.get_unique_name())
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
