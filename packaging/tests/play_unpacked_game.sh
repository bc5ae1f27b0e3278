#!/bin/sh
# Unpacks the game package and plays it through /usr/games/zorvelin from
# another folder with a scripted input: title screen, an easy game, the
# level screen, some walking, Escape. The same script then drives the game
# of the build tree. Both runs must present the same pictures, byte for
# byte, and end with the same error log; the pictures must show the game
# (not blank, and changing as the script goes on).
# Usage: play_unpacked_game.sh <game.deb> <game program of the tree> <scratch folder>
set -e
game_deb=$1 tree_game=$2 scratch=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch"
dpkg-deb -x "$game_deb" "$scratch/root"

play() {  # play <program> <run folder>
  mkdir -p "$2"
  cat > "$2/input.txt" <<SCRIPT
5 screenshot $2/title.bmp
10 key 2 down
12 key 2 up
15 screenshot $2/level.bmp
20 key 57 down
25 key 57 up
30 key 205 down
70 key 205 up
75 key 208 down
95 key 208 up
100 screenshot $2/walked.bmp
105 key 1 down
SCRIPT
  # Started from the scratch folder, not from the program's own folder:
  # start-up must find the media next to the program.
  (cd "$scratch" && TMPDIR="$2" KV_INPUT_SCRIPT="$2/input.txt" KV_SEED=3 KV_UNPACED=1 \
    timeout 120 "$1" > "$2/output.txt" 2>&1) || { cat "$2/output.txt"; fail "$1 failed"; }
  tr -d '\r' < "$2/ErrorLog.txt" > "$2/log.txt"
  for picture in title level walked; do
    [ -s "$2/$picture.bmp" ] || fail "$1 took no picture $picture"
  done
}
play "$scratch/root/usr/games/zorvelin" "$scratch/unpacked"
play "$tree_game" "$scratch/tree"

for picture in title level walked; do
  cmp "$scratch/unpacked/$picture.bmp" "$scratch/tree/$picture.bmp" ||
    fail "the unpacked game shows another $picture picture than the game of the tree"
done
cmp "$scratch/unpacked/log.txt" "$scratch/tree/log.txt" || fail "the error logs differ"
# The game ran: the pictures differ from each other and are not one colour
# (the pixel data, after the 54-byte header, has more than one byte value).
cmp -s "$scratch/unpacked/title.bmp" "$scratch/unpacked/level.bmp" && fail "the key 1 did not start a game"
cmp -s "$scratch/unpacked/level.bmp" "$scratch/unpacked/walked.bmp" && fail "the game did not go on"
for picture in title walked; do
  values=$(tail -c +55 "$scratch/unpacked/$picture.bmp" | od -An -v -tu1 | tr -s ' ' '\n' | sort -u | wc -l)
  [ "$values" -gt 8 ] || fail "the $picture picture is nearly blank"
done
# Escape ends the game cleanly: the log ends with the end state, no error.
tail -n 5 "$scratch/unpacked/log.txt" | head -n 2 | tr '\n' ' ' | grep -qx -- '-End On Line 0 ' ||
  { cat "$scratch/unpacked/log.txt"; fail "the error log does not show a clean end"; }
echo "the unpacked game plays as the game of the tree"
