#!/usr/bin/env bash
# Runs one fuzzer for a number of seconds from its committed seeds, in a
# working corpus of its own, and prints executions and coverage.
#   tools/fuzz.sh FUZZER SEEDS SECONDS
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
corpus="$(dirname "$fuzzer")/corpus-$(basename "$fuzzer")"
mkdir -p "$corpus"
log=$(mktemp)
status=0
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
  -artifact_prefix="$(dirname "$fuzzer")/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1)
echo "$(basename "$fuzzer"): ${runs:-?} executions in ${seconds}s (${speed:-?}/s), ${cov:-cov: ?} edges, ${ft:-ft: ?} features"
if [ $status -ne 0 ]; then
  tail -40 "$log"
fi
rm -f "$log"
exit $status
