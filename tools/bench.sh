#!/usr/bin/env bash
# Measurements of the built exe under Wine, beside an empty Win32 program that
# only waits in GetMessage. Run inside tools/wine-session.sh (make bench).
#   start-up: CreateProcess to the main window (and with it the icon)
#   idle:     CPU time the process uses over IDLE_SECONDS of waiting, from /proc
set -euo pipefail
build=$1
runs=${STARTUP_RUNS:-15}
idle=${IDLE_SECONDS:-30}
exe="$build/Tenebrolite.exe"
empty="$build/empty_program.exe"

ls -l "$exe" | awk '{print "Tenebrolite.exe: " $5 " bytes"}'

read -r t_med t_min t_max < <(wine "$build/startup_bench.exe" "$exe" TenebroliteMain "$runs" | tr -d '\r')
read -r e_med e_min e_max < <(wine "$build/startup_bench.exe" "$empty" EmptyProgram "$runs" | tr -d '\r')
echo "start-up, median of $runs (min..max):"
echo "  Tenebrolite    $t_med ms ($t_min..$t_max)"
echo "  empty program  $e_med ms ($e_min..$e_max)"
awk -v a="$t_med" -v b="$e_med" 'BEGIN { printf "  ratio          %.2f\n", a / b }'

# CPU ticks (user + system) of the Linux process that runs a Windows program.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
idle_cpu() {
  local program=$1 name=$2 pid before after
  wine "$program" &
  sleep 3  # past start-up
  pid=$(pgrep -f "$name" | head -1)
  before=$(ticks "$pid")
  sleep "$idle"
  after=$(ticks "$pid")
  kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
  awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$idle" \
    'BEGIN { printf "%.0f ms CPU in %d s", t * 1000 / hz, s }'
}
echo "idle:"
echo "  Tenebrolite    $(idle_cpu "$exe" 'Tenebrolite.exe')"
echo "  empty program  $(idle_cpu "$empty" 'empty_program.exe')"
