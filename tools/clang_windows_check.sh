#!/usr/bin/env bash
# Compiles every source of the Windows program for Windows with clang as well
# (x86_64-w64-mingw32, compile only, warnings as errors), so that nothing
# relies on one compiler's leniency.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -1)
flags=(--target=x86_64-w64-mingw32 -std=c++20 -fsyntax-only
       -Wall -Wextra -Wpedantic -Werror
       -isystem "$cxx" -isystem "$cxx/x86_64-w64-mingw32"
       -I "$root/src" -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX
       -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -DNTDDI_VERSION=0x0A000006)
count=0
failed=0
while IFS= read -r source; do
  count=$((count + 1))
  if ! clang++ "${flags[@]}" "$source"; then
    echo "clang: $source does not compile cleanly"
    failed=$((failed + 1))
  fi
done < <(find "$root/src" -name '*.cpp' -not -path '*/platform/linux/*' | sort)
echo "clang for Windows: $((count - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
