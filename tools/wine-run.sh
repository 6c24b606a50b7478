#!/usr/bin/env bash
# Runs one Windows program under Wine. ctest uses it as the cross-compiling
# emulator; inside a wine-session.sh it reuses that session, otherwise it makes
# a session of its own for this one program.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ -z "${TENEBROLITE_WINE_SESSION:-}" ]; then
  exec "$here/wine-session.sh" "$here/wine-run.sh" "$@"
fi
if [ -n "${TENEBROLITE_RELAY_LOG:-}" ]; then
  : >"$TENEBROLITE_RELAY_LOG"
  exec wine "$@" 2>>"$TENEBROLITE_RELAY_LOG"
fi
exec wine "$@"
