#!/usr/bin/env bash
# The newer desktop generation for the Linux tests: a Debian 13 root made with
# debootstrap under build/, and commands run inside it.
#
#   tools/debian13.sh make PACKAGE...   make the root if it is not whole, then
#                                       install the packages it lacks
#   tools/debian13.sh run COMMAND...    run COMMAND in the root, in this folder
#
# The root is made once and reused while it is whole (debootstrap finished and
# wrote the stamp); a root without the stamp is made again. A command runs as
# root in a mount namespace of its own, so that its mounts go with it: the
# system's /proc, /sys, /dev and /tmp (X displays and sessions are then one
# set, inside and out), this project folder at the same path, and in it
# build/debian13/linux in place of build/linux, so that the linux preset
# builds there. The environment is the root's own, but for the TENEBROLITE_*
# variables. TENEBROLITE_DEBIAN13_ROOT names another root (one shared by
# several work trees).
set -euo pipefail

project=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TENEBROLITE_DEBIAN13_ROOT:-$project/build/debian13/root}
builds=$project/build/debian13
stamp=$root/.tenebrolite-root
suite=trixie
mirror=http://deb.debian.org/debian

say() { echo "debian13: $*"; }

[ "$(id -u)" -eq 0 ] || exec sudo -E "$0" "$@"

inside() {
  mkdir -p "$builds/linux" "$root$project" "$root/tmp"
  # shellcheck disable=SC2016 # expanded inside the namespace
  unshare --mount --propagation private -- /bin/bash -c '
    set -e
    root=$1 project=$2 builds=$3
    shift 3
    mount --rbind /dev "$root/dev"
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --bind /tmp "$root/tmp"
    mount --bind "$project" "$root$project"
    mkdir -p "$root$project/build/linux"
    mount --bind "$builds/linux" "$root$project/build/linux"
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
    cd "$project"
    mapfile -t own < <(env | grep "^TENEBROLITE_" || true)
    exec chroot "$root" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
      HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" "${own[@]}" \
      /bin/bash -c "cd \"\$0\" && exec \"\$@\"" "$project" "$@"
  ' inside "$root" "$project" "$builds" "$@"
}

make_root() {
  if [ -f "$stamp" ]; then
    return 0
  fi
  command -v debootstrap >/dev/null || "$project/tools/deps.sh" debootstrap
  if [ -e "$root" ]; then
    say "the root at $root is not whole: making it again"
    rm -rf --one-file-system "$root"
  fi
  mkdir -p "$(dirname "$root")"
  say "making a Debian 13 root at $root (debootstrap $suite, a few minutes)"
  local log=$builds/debootstrap.log
  mkdir -p "$builds"
  if ! debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$log" 2>&1; then
    tail -20 "$log" >&2
    say "debootstrap failed; its log is $log" >&2
    exit 1
  fi
  printf 'deb %s %s main\ndeb %s %s-updates main\n' "$mirror" "$suite" "$mirror" "$suite" \
    >"$root/etc/apt/sources.list"
  # No service starts inside the root when a package installs.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  date -u +%FT%TZ >"$stamp"
  say "root made"
}

case "${1:-}" in
  make)
    shift
    make_root
    # The project's own installer, run in the root: only what is missing.
    [ $# -eq 0 ] || inside tools/deps.sh --no-recommends "$@"
    say "root ready: $(cat "$stamp" 2>/dev/null)"
    ;;
  run)
    shift
    [ -f "$stamp" ] || { say "no root yet: tools/debian13.sh make first" >&2; exit 1; }
    inside "$@"
    ;;
  *)
    sed -n '2,16p' "$0" >&2
    exit 2
    ;;
esac
