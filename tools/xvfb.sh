# Shared by the session scripts (source it): a private Xvfb and the wait for
# what a background process writes when it is ready.

# Waits up to 5 s for a file to be non-empty; fails when it stays empty.
wait_for_file() {
  for _ in $(seq 100); do
    [ -s "$1" ] && return 0
    sleep 0.05
  done
  return 1
}

# Starts Xvfb on a display number of the server's own choosing, written to the
# file given; sets DISPLAY and xvfb_pid. With a folder as the second argument,
# the screen's pixels are in the file Xvfb_screen0 (XWD) there, which
# TENEBROLITE_SCREEN names.
start_xvfb() {
  local fb=()
  if [ -n "${2:-}" ]; then
    fb=(-fbdir "$2")
    export TENEBROLITE_SCREEN="$2/Xvfb_screen0"
  fi
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp "${fb[@]}" 3>"$1" >/dev/null 2>&1 &
  xvfb_pid=$!
  if ! wait_for_file "$1"; then
    echo "$(basename "$0"): Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$1")"
}
