#!/usr/bin/env bash
# Starts Tenebrolite.exe under Wine in the project's prefix: on the current X
# display when there is one, otherwise on a private Xvfb inside a Wine virtual
# desktop (which draws a taskbar with the notification area).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exe=$(realpath "$1")

echo "Tenebrolite is running under Wine. Stop it with Exit in its notification-area menu,"
echo "or with Ctrl+C here."
if [ -n "${DISPLAY:-}" ]; then
  TENEBROLITE_USE_DISPLAY=1 exec "$here/wine-session.sh" wine "$exe"
fi
exec "$here/wine-session.sh" bash -c '
  echo "No display: it runs on a private virtual desktop, X display $DISPLAY"
  echo "(look at it with: DISPLAY=$DISPLAY import -window root shot.png)."
  wine explorer /desktop=Tenebrolite,1024x768 "$1"
  # The desktop stays while the program runs.
  while pgrep -f "Tenebrolite.exe" >/dev/null; do sleep 1; done
' run "$exe"
