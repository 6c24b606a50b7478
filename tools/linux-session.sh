#!/usr/bin/env bash
# Runs a command inside a private desktop session for the Linux program: its
# own Xvfb display (a number the X server picks), its own D-Bus session bus,
# XDG_RUNTIME_DIR, XDG_CONFIG_HOME and HOME in a fresh folder, and the
# stand-in panel (a StatusNotifierWatcher). All of it is stopped afterwards;
# the command's exit status is passed on.
#
#   tools/linux-session.sh COMMAND [ARGS...]
# The command finds the panel's log in $TENEBROLITE_PANEL_LOG and the panel
# itself in $TENEBROLITE_PANEL.
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

start_xvfb "$session/display"
started=$?
pids+=("$xvfb_pid")
[ "$started" -eq 0 ] || exit 1

dbus-daemon --session --nofork --nopidfile --print-address=4 --address="unix:path=$session/bus" \
  4>"$session/bus-address" >/dev/null 2>&1 &
pids+=($!)
wait_for_file "$session/bus-address"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$session/bus-address")

mkdir -p "$session/runtime" "$session/home/.config"
chmod 700 "$session/runtime"
export XDG_RUNTIME_DIR="$session/runtime" HOME="$session/home"
export XDG_CONFIG_HOME="$session/home/.config" XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY
export TENEBROLITE_PANEL="$root/tests/linux/e2e/panel.py"
export TENEBROLITE_PANEL_LOG="$session/panel.log"

if [ -z "${TENEBROLITE_NO_PANEL:-}" ]; then
  /usr/bin/python3 "$TENEBROLITE_PANEL" "$TENEBROLITE_PANEL_LOG" &
  pids+=($!)
  for _ in $(seq 100); do
    grep -q "panel up" "$TENEBROLITE_PANEL_LOG" 2>/dev/null && break
    sleep 0.05
  done
fi

"$@"
