#!/usr/bin/env bash
# Runs a command inside a private desktop session for the Linux program: its
# own Xvfb display (a number the X server picks), its own D-Bus session bus,
# XDG_RUNTIME_DIR, XDG_CONFIG_HOME and HOME in a fresh folder, and Xfce's
# panel with only its notification area (StatusNotifierItems and XEmbed
# icons) along the top of the screen. All of it is stopped afterwards; the
# command's exit status is passed on.
#
#   tools/linux-session.sh COMMAND [ARGS...]
# With TENEBROLITE_NO_PANEL set, the panel's configuration is in place but
# the command starts the panel itself (xfce4-panel --disable-wm-check).
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=tools/xvfb.sh
. "$root/tools/xvfb.sh"
session=$(mktemp -d /tmp/tenebrolite-session.XXXXXX)
chmod 700 "$session"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb "$session/display" "$session"
started=$?
pids+=("$xvfb_pid")
[ "$started" -eq 0 ] || exit 1

# Services that the bus starts (xfconfd) get the session's folders too.
mkdir -p "$session/runtime/dbus-1/services" "$session/home/.config/xfce4/xfconf/xfce-perchannel-xml"
chmod 700 "$session/runtime"
# Xfce's notification server answers, not Plasma's, which waits for its
# shell: the bus takes a service from its runtime folder first.
cp /usr/share/dbus-1/services/org.xfce.xfce4-notifyd.Notifications.service \
  "$session/runtime/dbus-1/services/org.freedesktop.Notifications.service" 2>/dev/null
export XDG_RUNTIME_DIR="$session/runtime" HOME="$session/home"
export XDG_CONFIG_HOME="$session/home/.config" XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY SESSION_MANAGER
cp "$root/tests/linux/e2e/xfce4-panel.xml" "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/"

dbus-daemon --session --nofork --nopidfile --print-address=4 --address="unix:path=$session/bus" \
  4>"$session/bus-address" >/dev/null 2>&1 &
pids+=($!)
wait_for_file "$session/bus-address"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$session/bus-address")

if [ -z "${TENEBROLITE_NO_PANEL:-}" ]; then
  xfce4-panel --disable-wm-check >"$session/panel.log" 2>&1 &
  pids+=($!)
  # Up when its notification area has registered as a StatusNotifierHost.
  for _ in $(seq 200); do
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
      org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
      string:IsStatusNotifierHostRegistered 2>/dev/null | grep -q "boolean true" && break
    sleep 0.05
  done
fi

"$@"
