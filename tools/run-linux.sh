#!/usr/bin/env bash
# Starts the Linux program: on the current X display when there is one,
# otherwise in a private session (Xvfb, D-Bus, Xfce's panel).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=$(realpath "$1")

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Tenebrolite is running: its icon is in the panel. Stop it with Exit in its menu, or Ctrl+C here."
  exec "$program"
fi
exec "$here/linux-session.sh" bash -c '
  echo "No display: Tenebrolite runs on a private X display $DISPLAY with Xfce'"'"'s panel along its top,"
  echo "its settings under $XDG_CONFIG_HOME. Reach it from another shell with"
  echo "  export DISPLAY=$DISPLAY DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"
  echo "then click it:  xdotool mousemove 11 16 click 1   (3 for its menu)"
  echo "and look:       import -window root shot.png   (ImageMagick)"
  echo "Stop it with Ctrl+C here."
  "$1"
' run "$program"
