#!/usr/bin/env bash
# Measurements of the built exe under Wine, beside an empty Win32 program that
# creates one hidden window and waits in GetMessage. Run inside
# tools/wine-session.sh (make bench).
#   size:     the exe as it ships (stripped)
#   start-up: CreateProcess until the notification icon has been added, against
#             the empty program's CreateProcess until its window exists;
#             STARTUP_RUNS starts each, taking turns. A third program, the
#             empty one that also adds an icon, shows what the icon itself costs.
#   memory:   private memory (Private_Clean + Private_Dirty) of the process
#             after start-up, from /proc/PID/smaps_rollup
#   idle:     CPU time used over IDLE_SECONDS of waiting, from /proc
set -euo pipefail
build=$1
runs=${STARTUP_RUNS:-31}
idle=${IDLE_SECONDS:-30}
exe="$build/Tenebrolite.exe"
empty="$build/empty_program.exe"
iconic="$build/icon_program.exe"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

size=$(stat -c %s "$exe")
echo "size: Tenebrolite.exe $size bytes ($(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1024 }') KB)"

{
  read -r t_med t_min t_max
  read -r e_med e_min e_max
  read -r i_med i_min i_max
} < <(wine "$build/startup_bench.exe" "$runs" "$exe" icon "$empty" EmptyProgram "$iconic" icon |
  tr -d '\r')
echo "start-up, median of $runs runs each, interleaved (fastest..slowest):"
echo "  Tenebrolite to its icon        $t_med ms ($t_min..$t_max)"
echo "  empty program to its window    $e_med ms ($e_min..$e_max)"
echo "  ratio                          $(ratio "$t_med" "$e_med") (fastest runs: $(ratio "$t_min" "$e_min"))"
echo "  empty program to an icon       $i_med ms ($i_min..$i_max), $(ratio "$i_med" "$e_med") of the empty program"

# The Linux process that runs a Windows program, its private memory in kB and
# its CPU ticks (user + system).
pid_of() { pgrep -f "$1" | head -1; }
private_kb() { awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { print kb }' "/proc/$1/smaps_rollup"; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Prints "private_kB idle_ms" of a program started now.
measure() {
  local program=$1 pid memory before after
  wine "$program" &
  sleep 3  # past start-up
  pid=$(pid_of "$(basename "$program")")
  memory=$(private_kb "$pid")
  before=$(ticks "$pid")
  sleep "$idle"
  after=$(ticks "$pid")
  kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
  echo "$memory $((  (after - before) * 1000 / $(getconf CLK_TCK) ))"
}
read -r t_kb t_cpu < <(measure "$exe")
read -r e_kb e_cpu < <(measure "$empty")
echo "private memory after start-up (Private_Clean + Private_Dirty):"
echo "  Tenebrolite    $t_kb kB"
echo "  empty program  $e_kb kB"
echo "  ratio          $(ratio "$t_kb" "$e_kb")"
echo "idle, CPU time in $idle s:"
echo "  Tenebrolite    $t_cpu ms"
echo "  empty program  $e_cpu ms"
