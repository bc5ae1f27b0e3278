#!/bin/sh
# Unpacks the SDK packages (libkvruntime-dev and kvbasic) into one folder
# (not into the system) and builds
# the examples outside the tree against it (count_frames; with CMake all of
# them), one way a run:
#   cmake       the examples' CMakeLists.txt with find_package(KvRuntime),
#               the package found through CMAKE_PREFIX_PATH; the package's
#               kv_add_basic_program translates the BASIC source
#   pkg-config  kvbasic translate, then g++ with nothing but the flags of
#               kvruntime.pc, its prefix moved
#   translator  kvbasic build of the example's BASIC source
# then runs it for a few frames and checks that it ended cleanly.
# Usage: build_with_sdk.sh cmake|pkg-config|translator <scratch folder> <package.deb>...
set -e
mode=$1 scratch=$2
shift 2
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch"
root="$scratch/root"
for deb in "$@"; do
  dpkg-deb -x "$deb" "$root"
done
cp -r "$root/usr/share/doc/kvbasic/examples" "$scratch/src"
out="$scratch/out"
mkdir -p "$out"

case $mode in
cmake)
  cmake -S "$scratch/src" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$root/usr"
  grep -q "^KvRuntime_DIR:PATH=$root/" "$out/CMakeCache.txt" || fail "KvRuntime was not found in the unpacked package"
  # Every example builds; count_frames is the one that runs.
  cmake --build "$out"
  # The package's CMake files are relocatable: the program was compiled and
  # linked with the unpacked headers and libraries, not the build tree's.
  grep -Eq -- "(-I|-isystem )$root/usr/include/kvbasic" "$out/build.ninja" || fail "the unpacked headers were not used"
  grep -q "$root/usr/lib/[^ ]*/libkvruntime.a" "$out/build.ninja" || fail "the unpacked runtime was not linked"
  ! grep -q -- "--wrap" "$out/build.ninja" || fail "the CMake package still wraps functions at link time"
  grep -q "$root/usr/bin/kvbasic translate" "$out/build.ninja" || fail "the unpacked translator did not translate the examples"
  ;;
pkg-config)
  pc=$(find "$root/usr/lib" -name kvruntime.pc)
  [ -n "$pc" ] || fail "no kvruntime.pc in the package"
  export PKG_CONFIG_PATH="$(dirname "$pc")"
  flags=$(pkg-config --define-variable=prefix="$root/usr" --cflags --libs kvruntime)
  echo "pkg-config kvruntime: $flags"
  echo "$flags" | grep -q -- "-I$root/usr/include/kvbasic" || fail "kvruntime.pc does not follow its prefix"
  # The example is BASIC: the SDK's translator writes its generated form,
  # which is compiled as any program in C++ against the runtime.
  "$root/usr/bin/kvbasic" translate "$scratch/src/count_frames.bas" -o "$out/count_frames.cpp"
  echo "$flags" | grep -q -- "-std=c++20" || fail "kvruntime.pc does not ask for C++20"
  # The runtime guards its OpenGL calls itself: nothing is wrapped at link time.
  ! echo "$flags" | grep -q -- "--wrap" || fail "kvruntime.pc still wraps functions at link time"
  g++ -o "$out/count_frames" "$out/count_frames.cpp" $flags
  cp "$(pkg-config --define-variable=prefix="$root/usr" --variable=defaultfont kvruntime)" "$out/"
  ;;
translator)
  [ -x "$root/usr/bin/kvbasic" ] || fail "no kvbasic in the package"
  # Run from its place in the unpacked package, kvbasic builds against that
  # SDK (headers, libraries, link flags), not the tree it was built in.
  # The compiler is a wrapper that notes its arguments, to see that.
  printf '#!/bin/sh\necho "$*" >> "%s"\nexec c++ "$@"\n' "$scratch/compiler.log" > "$scratch/compiler"
  chmod +x "$scratch/compiler"
  (cd "$scratch" && env -u KVBASIC_SDK CXX="$scratch/compiler" \
    "$root/usr/bin/kvbasic" build src/count_frames.bas -o out/count_frames)
  cat "$scratch/compiler.log"
  grep -q -- "-I'\?$root/usr/include/kvbasic" "$scratch/compiler.log" || fail "kvbasic did not use the unpacked headers"
  grep -q -- "$root/usr/lib/[^ ]*/libkvruntime.a" "$scratch/compiler.log" || fail "kvbasic did not link the unpacked runtime"
  ! grep -q -- "--wrap" "$scratch/compiler.log" || fail "kvbasic still wraps functions at link time"
  [ -f "$out/Smalfont.bmp" ] || fail "kvbasic did not put the default font beside the program"
  ;;
*)
  fail "unknown way to build: $mode"
  ;;
esac

# Started from another folder: the program loads its font from its own.
(cd "$scratch" && TMPDIR="$scratch" timeout 60 "$out/count_frames" 5) || fail "count_frames failed"
log=$(tr -d '\r' < "$scratch/ErrorLog.txt")
echo "$log"
echo "$log" | grep -qx -- '-End On Line' || fail "count_frames did not end through its END"
[ "$(echo "$log" | tail -n 4 | head -n 1)" = 0 ] || fail "count_frames ended with an error"
echo "count_frames built ($mode) against the unpacked SDK and ran"
