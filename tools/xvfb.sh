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
# file given; sets DISPLAY and xvfb_pid. The screen's pixels are in the file
# Xvfb_screen0 (XWD) beside that one, TENEBROLITE_SCREEN.
start_xvfb() {
  export TENEBROLITE_SCREEN="$(dirname "$1")/Xvfb_screen0"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -fbdir "$(dirname "$1")" 3>"$1" \
    >/dev/null 2>&1 &
  xvfb_pid=$!
  if ! wait_for_file "$1"; then
    echo "$(basename "$0"): Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$1")"
}
