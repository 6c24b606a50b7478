#!/usr/bin/env bash
# Test lines (everything under tests/, fuzz seeds aside) against code lines
# (src/, tests/, tools/, cmake/, CMakeLists.txt, Makefile): fails above a third.
# The files are git's (a stray build or cache file counts for nothing), text only.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
lines() {
  git ls-files -- "$@" | grep -v '^tests/fuzz/seeds/' | while read -r f; do
    [ -f "$f" ] && grep -Iq . "$f" && cat "$f"
  done | wc -l
}
tests=$(lines tests)
code=$(lines src tests tools cmake CMakeLists.txt Makefile)
awk -v t="$tests" -v c="$code" 'BEGIN {
  printf "test lines: %d of %d code lines, ratio %.3f (at most 0.333)\n", t, c, t / c
  exit 3 * t > c
}'
