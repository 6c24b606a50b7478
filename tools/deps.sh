#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are missing.
# Plain apt-get as root, sudo otherwise; 'apt-get update' once, only when
# something has to be installed. With --no-recommends first, the packages
# come without what they merely recommend (a desktop's components would
# otherwise bring the whole desktop).
set -euo pipefail

recommends=()
if [ "${1:-}" = --no-recommends ]; then
  recommends=(--no-install-recommends)
  shift
fi
missing=()
for pkg in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
# Another install running at the same time holds dpkg's lock: wait for it.
wait_lock=(-o DPkg::Lock::Timeout=900)
"${sudo[@]}" apt-get "${wait_lock[@]}" update -qq
"${sudo[@]}" apt-get "${wait_lock[@]}" install -y -qq "${recommends[@]}" "${missing[@]}"
