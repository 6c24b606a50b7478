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
runs=${STARTUP_RUNS:-51}
idle=${IDLE_SECONDS:-30}
exe="$build/Tenebrolite.exe"
empty="$build/empty_program.exe"
iconic="$build/icon_program.exe"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

size=$(stat -c %s "$exe")
echo "size: Tenebrolite.exe $size bytes ($(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1024 }') KB)"

# Per program: median, fastest, slowest; and against the empty program the
# ratio of the medians and the median of the ratios within each round (the
# steadier figure on a machine that is busy with other work).
wine "$build/startup_bench.exe" "$runs" "$exe" icon "$empty" EmptyProgram "$iconic" icon |
  tr -d '\r' | /usr/bin/python3 -c '
import statistics, sys
runs = sys.argv[1]
tenebrolite, empty, iconic = ([float(t) for t in line.split()] for line in sys.stdin)
def line(name, times):
    return f"  {name:30s} {statistics.median(times):.1f} ms ({min(times):.1f}..{max(times):.1f})"
def ratios(times):
    paired = statistics.median(a / b for a, b in zip(times, empty))
    return f"{statistics.median(times) / statistics.median(empty):.2f} (within rounds: {paired:.2f})"
print(f"start-up, median of {runs} runs each, interleaved (fastest..slowest):")
print(line("Tenebrolite to its icon", tenebrolite))
print(line("empty program to its window", empty))
print(f"  ratio                          {ratios(tenebrolite)}")
print(line("empty program to an icon", iconic) + f", ratio {ratios(iconic)}")
' "$runs"

# The private memory in kB and the CPU ticks (user + system) of the Linux
# process that runs a Windows program (wine becomes that process).
private_kb() { awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { print kb }' "/proc/$1/smaps_rollup"; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Prints "private_kB idle_ms" of a program started now.
measure() {
  local program=$1 pid memory before after
  wine "$program" &
  pid=$!
  sleep 3  # past start-up
  memory=$(private_kb "$pid")
  before=$(ticks "$pid")
  sleep "$idle"
  after=$(ticks "$pid")
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
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
