#!/bin/sh
# Installs the packages into a fresh Debian 12 root made with mmdebstrap
# (variant apt: the essential packages and apt) and checks them there as a
# user meets them (debian_root_checks.sh, run inside the root):
#   sdk      apt has installed libkvruntime-dev and kvbasic with their
#            dependencies and nothing else (no Recommends): kvbasic build
#            and a compile with the flags of kvruntime.pc work
#   install  apt installs the game as it does by default (with its
#            Recommends), and the tools of the checks: Xvfb, xprop, CMake
#   run      the game starts under Xvfb the way its desktop entry starts it,
#            its window's class is the entry's StartupWMClass, a scripted
#            start plays and ends cleanly; the programs built above run; the
#            examples' CMake project builds against the installed SDK;
#            purging the packages leaves none of their files behind
# Downloads are kept in $KV_APT_CACHE (default ~/.cache/zorvelin-package/apt)
# for the next run. The root lives only as long as mmdebstrap runs.
# Usage: install_in_debian_root.sh <scratch folder> <zorvelin.deb> <libkvruntime-dev.deb> <kvbasic.deb>
set -e
scratch=$1 game_deb=$2 runtime_deb=$3 translator_deb=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
cache="${KV_APT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvelin-package/apt}"
rm -rf "$scratch" && mkdir -p "$scratch" "$cache"
for deb in "$game_deb" "$runtime_deb" "$translator_deb"; do
  [ -f "$deb" ] || fail "no $deb"
done
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
runtime_deb=$(absolute "$runtime_deb")
translator_deb=$(absolute "$translator_deb")
game_deb=$(absolute "$game_deb")

# force-unsafe-io: the root is thrown away, dpkg need not sync every file.
# The packages given by path are mounted into the root at the same path
# while apt installs them (mmdebstrap's file-mirror-automount hooks). The
# cache is written back after each apt step, so that a failing check still
# keeps the downloads.
start=$(date +%s)
TMPDIR="$scratch" mmdebstrap --variant=apt --skip=essential/unlink --dpkgopt=force-unsafe-io \
  --hook-dir=/usr/share/mmdebstrap/hooks/file-mirror-automount \
  --include="$runtime_deb" --include="$translator_deb" \
  --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
  --setup-hook="sync-in $cache /var/cache/apt/archives/" \
  --customize-hook="sync-out /var/cache/apt/archives $cache" \
  --customize-hook="copy-in $here/debian_root_checks.sh $game_deb /tmp" \
  --customize-hook='chroot "$1" sh /tmp/debian_root_checks.sh sdk' \
  --customize-hook='chroot "$1" sh /tmp/debian_root_checks.sh install' \
  --customize-hook="sync-out /var/cache/apt/archives $cache" \
  --customize-hook='chroot "$1" sh /tmp/debian_root_checks.sh run' \
  bookworm /dev/null
# The packages under test are no downloads.
rm -f "$cache"/zorvelin_* "$cache"/libkvruntime-dev_* "$cache"/kvbasic_*
echo "installed and checked in a fresh Debian 12 root in $(($(date +%s) - start)) s"
