#!/usr/bin/env bash
# Remakes the pictures in docs/: the menu, the dialog and the About message
# on a Wine virtual desktop (which draws a taskbar with the notification
# area), and help.html rendered by headless Chromium. Run inside
# tools/wine-session.sh (make screenshots).
set -euo pipefail
build=$(realpath "$1")
docs=$(realpath -m "$2")
mkdir -p "$docs"

wine explorer /desktop=Tenebrolite,1024x768 "$build/screenshot_driver.exe" "$docs"

profile=$(mktemp -d)
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --hide-scrollbars --window-size=900,1500 \
  --screenshot="$docs/help.png" "file://$build/help.html" 2>/dev/null
rm -rf "$profile"
ls -l "$docs"
