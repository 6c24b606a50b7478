#!/usr/bin/env bash
# Test lines (everything under tests/, fuzz seeds aside) against code lines
# (src/, tests/, tools/, cmake/, CMakeLists.txt, Makefile): fails above a third.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
lines() { find "$@" -type f ! -path 'tests/fuzz/seeds/*' -print0 | xargs -0 cat | wc -l; }
tests=$(lines tests)
code=$(lines src tests tools cmake CMakeLists.txt Makefile)
awk -v t="$tests" -v c="$code" 'BEGIN {
  printf "test lines: %d of %d code lines, ratio %.3f (at most 0.333)\n", t, c, t / c
  exit 3 * t > c
}'
