#!/bin/sh
# The checks inside the fresh Debian root of install_in_debian_root.sh, one
# step a call (sdk, install, run; see there). Runs as root in the root.
# Usage: debian_root_checks.sh sdk|install|run
set -e
step=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive TMPDIR=/tmp HOME=/root LC_ALL=C.UTF-8
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games
work=/tmp/checks
mkdir -p "$work"

# The error log of the program that ran last: it ended through its END with
# no error.
ran_cleanly() {
  log=$(tr -d '\r' < "$TMPDIR/ErrorLog.txt")
  echo "$log" | grep -qx -- '-End On Line' || { echo "$log"; fail "$1 did not end through its END"; }
  [ "$(echo "$log" | tail -n 4 | head -n 1)" = 0 ] || { echo "$log"; fail "$1 ended with an error"; }
}

# True when every package named is installed.
installed() {
  for package; do
    dpkg-query -W -f '${Status}\n' "$package" 2>/dev/null | grep -qx 'install ok installed' || return 1
  done
}

case $step in
sdk)
  # Nothing but libkvruntime-dev, kvbasic and what they depend on.
  installed g++ pkg-config libsdl2-dev libavcodec-dev || fail "the dependencies are not installed"
  mkdir -p "$work/translator" "$work/pkg-config"
  cp /usr/share/doc/kvbasic/examples/count_frames.bas "$work/"
  (cd "$work/translator" && kvbasic build ../count_frames.bas -o count_frames) || fail "kvbasic build failed"
  [ -f "$work/translator/Smalfont.bmp" ] || fail "kvbasic build did not put the default font beside the program"
  kvbasic translate "$work/count_frames.bas" -o "$work/pkg-config/count_frames.cpp"
  # shellcheck disable=SC2046
  g++ -o "$work/pkg-config/count_frames" "$work/pkg-config/count_frames.cpp" $(pkg-config --cflags --libs kvruntime) ||
    fail "a compile with the flags of kvruntime.pc failed"
  cp "$(pkg-config --variable=defaultfont kvruntime)" "$work/pkg-config/"
  echo "sdk: kvbasic build and a pkg-config build work with the packages' dependencies alone"
  ;;
install)
  apt-get install -y -q /tmp/zorvelin_*.deb
  apt-get install -y -q --no-install-recommends xvfb xauth x11-utils cmake make
  ;;
run)
  said=$(env -u DISPLAY zorvelin --version) || fail "zorvelin --version failed"
  echo "zorvelin --version: $said"
  [ "$said" = "zorvelin $(dpkg-query -W -f '${Version}' zorvelin | sed 's/-[^-]*$//')" ] ||
    fail "zorvelin --version does not name the package's version"

  desktop=$(dpkg -L zorvelin | grep '^/usr/share/applications/.*\.desktop$')
  [ -f "$desktop" ] || fail "the game has no desktop entry"
  command=$(sed -n 's/^Exec=//p' "$desktop")
  wmclass=$(sed -n 's/^StartupWMClass=//p' "$desktop")
  [ -n "$wmclass" ] || fail "the desktop entry names no StartupWMClass"
  cat > "$work/input.txt" <<SCRIPT
10 screenshot $work/title.bmp
20 key 2 down
22 key 2 up
40 screenshot $work/level.bmp
600 key 1 down
SCRIPT
  cat > "$work/play.sh" <<'PLAY'
#!/bin/sh
# Starts the game as the menu does and reads the class of its window while
# it runs (no window manager: the game's window is a child of the root).
work=$1 command=$2
KV_WINDOWED=1 KV_NO_MESSAGEBOX=1 SDL_AUDIODRIVER=dummy KV_INPUT_SCRIPT="$work/input.txt" \
  $command > "$work/game-output.txt" 2>&1 &
game=$!
class=""
for attempt in $(seq 100); do
  for window in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
    found=$(xprop -id "$window" WM_CLASS 2>/dev/null | sed -n 's/^WM_CLASS(STRING) = //p')
    [ -n "$found" ] && class=$found
  done
  [ -n "$class" ] && break
  sleep 0.2
done
echo "$class" > "$work/wmclass.txt"
wait $game
PLAY
  xvfb-run -a -s "-screen 0 1024x768x24" sh "$work/play.sh" "$work" "$command" ||
    { cat "$work/game-output.txt"; fail "the game failed"; }
  cat "$work/game-output.txt"
  echo "the window's WM_CLASS: $(cat "$work/wmclass.txt")"
  # WM_CLASS is the instance and the class; docks match StartupWMClass to
  # the class.
  [ "$(sed 's/^.*, "\(.*\)"$/\1/' "$work/wmclass.txt")" = "$wmclass" ] ||
    fail "the window's class is not the desktop entry's StartupWMClass $wmclass"
  ran_cleanly zorvelin
  for picture in title level; do
    [ -s "$work/$picture.bmp" ] || fail "the game took no picture $picture"
  done
  cmp -s "$work/title.bmp" "$work/level.bmp" && fail "the key 1 did not start a game"
  values=$(tail -c +55 "$work/level.bmp" | od -An -v -tu1 | tr -s ' ' '\n' | sort -u | wc -l)
  [ "$values" -gt 8 ] || fail "the level picture is nearly blank"
  echo "run: the game plays"

  for way in translator pkg-config; do
    (cd / && SDL_AUDIODRIVER=dummy KV_NO_MESSAGEBOX=1 KV_WINDOWED=1 \
      xvfb-run -a -s "-screen 0 1024x768x24" "$work/$way/count_frames" 5) || fail "count_frames ($way) failed"
    ran_cleanly "count_frames ($way)"
  done
  cmake -S /usr/share/doc/kvbasic/examples -B "$work/cmake" > "$work/cmake.txt" 2>&1 ||
    { cat "$work/cmake.txt"; fail "the examples' CMake project does not configure"; }
  cmake --build "$work/cmake" --target count_frames -j2 || fail "the examples' CMake project does not build"
  (cd / && SDL_AUDIODRIVER=dummy KV_NO_MESSAGEBOX=1 KV_WINDOWED=1 \
    xvfb-run -a -s "-screen 0 1024x768x24" "$work/cmake/count_frames" 5) || fail "count_frames (CMake) failed"
  ran_cleanly "count_frames (CMake)"
  echo "run: programs built with kvbasic, pkg-config and CMake run"

  # Purge: no file of the packages stays, only folders other packages own.
  dpkg -L zorvelin libkvruntime-dev kvbasic | sort -u > "$work/owned.txt"
  apt-get purge -y -q zorvelin kvbasic libkvruntime-dev
  left=""
  while read -r path; do
    [ "$path" = /. ] && continue
    [ -e "$path" ] || [ -L "$path" ] || continue
    dpkg -S "$path" > /dev/null 2>&1 && continue
    left="$left $path"
  done < "$work/owned.txt"
  [ -z "$left" ] || fail "purging left:$left"
  dpkg -l zorvelin libkvruntime-dev kvbasic 2>/dev/null | grep -E '^(ii|rc)' && fail "a package is not purged"
  echo "run: purging leaves nothing"
  ;;
*)
  fail "unknown step $step"
  ;;
esac
