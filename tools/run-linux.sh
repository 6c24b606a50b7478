#!/usr/bin/env bash
# Starts the Linux program: on the current X display when there is one,
# otherwise in a private session (Xvfb, D-Bus, the tests' stand-in panel).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=$(realpath "$1")

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Tenebrolite is running: its icon is in the panel. Stop it with Exit in its menu, or Ctrl+C here."
  exec "$program"
fi
exec "$here/linux-session.sh" bash -c '
  echo "No display: Tenebrolite runs on a private X display $DISPLAY with a stand-in panel,"
  echo "its settings under $XDG_CONFIG_HOME. Reach it from another shell with"
  echo "  export DISPLAY=$DISPLAY DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"
  echo "then click it:  dbus-send --session --dest=\$(sed -n \"s/^registered \\([^ ]*\\).*/\\1/p\" $TENEBROLITE_PANEL_LOG | tail -1) /StatusNotifierItem org.kde.StatusNotifierItem.Activate int32:0 int32:0"
  echo "and look:       import -window root shot.png   (ImageMagick)"
  echo "Stop it with Ctrl+C here."
  "$1"
' run "$program"
