#!/usr/bin/env bash
# Checks the built exe: it imports from the system's own DLLs only, and it has
# ASLR (with high-entropy addresses) and NX. Prints its size and imports.
set -euo pipefail
exe=$1
dump=$(x86_64-w64-mingw32-objdump -p "$exe")
allowed='^(ADVAPI32|GDI32|KERNEL32|msvcrt|ole32|SHCORE|SHELL32|USER32|VERSION)\.dll$'

imports=$(sed -n 's/^\tDLL Name: //p' <<<"$dump")
echo "size: $(stat -c %s "$exe") bytes"
echo "imports: $(tr '\n' ' ' <<<"$imports")"
status=0
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then
    echo "unexpected import: $dll"
    status=1
  fi
done <<<"$imports"
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
  if ! grep -q "^\s*$flag\$" <<<"$dump"; then
    echo "missing DLL characteristic: $flag"
    status=1
  fi
done
# Windows older than 10 refuses the exe at start, not later on a missing entry.
if ! grep -qE "^MajorSubsystemVersion\s+10$" <<<"$dump"; then
  echo "the subsystem version is not 10.0"
  status=1
fi
if grep -q "\.debug" <<<"$(x86_64-w64-mingw32-objdump -h "$exe")"; then
  echo "the exe carries debug sections"
  status=1
fi
[ $status -eq 0 ] && echo "exe checks: 1 passed, 0 failed" || echo "exe checks: 0 passed, 1 failed"
exit $status
