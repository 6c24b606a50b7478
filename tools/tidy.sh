#!/usr/bin/env bash
# clang-tidy over every source of the Windows program, with the repository's
# .clang-tidy, for the Windows target (so the platform layer is checked too).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -1)
export TIDY_FLAGS="--target=x86_64-w64-mingw32 -std=c++20 -isystem $cxx -isystem $cxx/x86_64-w64-mingw32 \
  -I $root/src -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0A00 \
  -DWINVER=0x0A00 -DNTDDI_VERSION=0x0A000006"
cd "$root"
command -v clang-tidy >/dev/null
files=$(find src -name '*.cpp' -not -path '*/platform/linux/*' | sort)
# clang-tidy fails on any finding (all are errors here), and xargs with it.
if echo "$files" | xargs -P 2 -I{} sh -c 'clang-tidy --quiet "{}" -- $TIDY_FLAGS 2>/dev/null'; then
  echo "clang-tidy: $(wc -w <<<"$files") files clean"
else
  echo "clang-tidy: findings above"
  exit 1
fi
