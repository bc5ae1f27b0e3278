#!/bin/sh
# Checks both packages: lintian (no error; no warning but the accepted ones,
# each explained in the accepted list), their dependencies, and the game's
# desktop entry, metainfo, icons and command link.
# Usage: check_packages.sh <game.deb> <sdk.deb> <lintian-accepted.txt> <scratch folder>
set -e
game_deb=$1 sdk_deb=$2 accepted=$3 scratch=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch"

# lintian exits non-zero on errors; warnings are compared with the list.
lintian --tag-display-limit 0 "$game_deb" "$sdk_deb" > "$scratch/lintian.txt" 2>&1 || true
cat "$scratch/lintian.txt"
grep -q '^E: ' "$scratch/lintian.txt" && fail "lintian reports errors"
grep '^W: ' "$scratch/lintian.txt" | sed 's/^W: \([^:]*\): \([^ ]*\).*/\1: \2/' | sort -u > "$scratch/warnings.txt"
sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$accepted" | sort -u > "$scratch/accepted.txt"
unexpected=$(comm -23 "$scratch/warnings.txt" "$scratch/accepted.txt")
[ -z "$unexpected" ] || fail "lintian warnings not in $accepted: $unexpected"

# Dependencies: the game's come from dpkg-shlibdeps, the SDK's name the
# -dev packages the static runtime links against.
game_depends=$(dpkg-deb -f "$game_deb" Depends)
echo "zorvelin Depends: $game_depends"
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 liblzo2-2 libenet7 libgl1 libstdc++6; do
  echo "$game_depends" | grep -q "$lib" || fail "zorvelin does not depend on $lib"
done
sdk_depends=$(dpkg-deb -f "$sdk_deb" Depends)
echo "kvbasic-dev Depends: $sdk_depends"
for lib in libsdl2-dev libsdl2-mixer-dev liblzo2-dev libenet-dev libavformat-dev libxkbcommon-dev libx11-dev libgl-dev; do
  echo "$sdk_depends" | grep -q "$lib" || fail "kvbasic-dev does not depend on $lib"
done

# The desktop entry and the metainfo.
root="$scratch/root"
dpkg-deb -x "$game_deb" "$root"
desktop=$(ls "$root"/usr/share/applications/*.desktop)
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate: $metainfo"
# The whole tree: the metainfo's desktop entry and icon are in the package.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
grep -qx 'Exec=zorvelin' "$desktop" || fail "the desktop entry does not start zorvelin"
[ -x "$root/usr/games/zorvelin" ] || fail "/usr/games/zorvelin does not lead to the program"
for size in 16 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/zorvelin.png"
  [ -f "$icon" ] || fail "no icon of $size pixels"
  # The PNG header's width and height (bytes 16 to 23) are the size.
  dims=$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')
  [ "$dims" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "icon of $size pixels is $dims"
done
[ -f "$root/usr/share/man/man6/zorvelin.6.gz" ] || fail "no man page"
echo "both packages pass"
