#!/usr/bin/env bash
# Runs a command inside the project's private Wine session: its own Xvfb
# display (a free number chosen by the X server itself), the Wine prefix under
# build/, and a persistent wineserver. Both are stopped afterwards, whatever
# the command returned; the command's exit status is passed on.
#
#   tools/wine-session.sh COMMAND [ARGS...]
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=tools/xvfb.sh
. "$root/tools/xvfb.sh"
export WINEPREFIX="${TENEBROLITE_WINEPREFIX:-$root/build/wine-prefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No .NET runtime (none is needed, and its installer would ask); no desktop
# menu entries written into the user's Linux session.
export WINEDLLOVERRIDES="mscoree=;winemenubuilder.exe=d"

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${TENEBROLITE_USE_DISPLAY:-}" ]; then
  displayfile=$(mktemp)
  start_xvfb "$displayfile" || exit 1
  rm -f "$displayfile"
fi

if [ ! -f "$WINEPREFIX/.tenebrolite-ready" ]; then
  echo "wine-session: creating the Wine prefix in $WINEPREFIX (once)"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Without a window manager every hide of a managed window stalls for 2 s.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tenebrolite-ready"
fi

# Kept warm between the test programs: a start then costs 0.2 s, not 0.65 s.
wineserver -p
# Wine's own background processes (services, explorer, ...) start with the
# first program and outlive it; start them here, away from the test's output
# pipes, or ctest waits for them to close those pipes.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
export TENEBROLITE_WINE_SESSION=1

"$@"
