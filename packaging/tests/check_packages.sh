#!/bin/sh
# Checks the source and binary packages of one build: lintian (pedantic and
# experimental tags included: none may show; debian/*lintian-overrides
# explain the few that are overridden), the versions, the dependencies, the
# debug symbol packages, the installed documentation, and the game's desktop
# entry, metainfo, icons and command link.
# Usage: check_packages.sh <.changes> <zorvelin.deb> <libkvruntime-dev.deb> <kvbasic.deb> <scratch folder>
set -e
changes=$1 game_deb=$2 runtime_deb=$3 translator_deb=$4 scratch=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch"

# lintian on everything the .changes names: the source package, the three
# packages and their -dbgsym packages, with every tag shown. The one
# tolerated: the override of a false spelling error in kvbasic's machine
# code going unused when the compiler lays the code out differently.
lintian --pedantic --display-experimental --display-info --tag-display-limit 0 \
  "$changes" > "$scratch/lintian.txt" 2>&1 || true
cat "$scratch/lintian.txt"
tags=$(grep '^[EWIPX]: ' "$scratch/lintian.txt" | grep -v '^I: kvbasic: unused-override spelling-error-in-binary ' || true)
[ -z "$tags" ] || fail "lintian reports: $tags"

# One version everywhere: the packages, the programs' --version, the CMake
# package and the pkg-config file all name the upstream version.
version=$(dpkg-deb -f "$game_deb" Version)
upstream=${version%-*}
[ "$upstream" != "$version" ] || fail "version $version has no Debian revision"
for deb in "$runtime_deb" "$translator_deb"; do
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb is not version $version"
done
# The programs' debug symbols.
for name in zorvelin-dbgsym kvbasic-dbgsym; do
  deb="$(dirname "$changes")/${name}_${version}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || fail "no $deb"
  dpkg-deb -c "$deb" | grep -q '/usr/lib/debug/.build-id/.*\.debug$' || fail "$deb holds no debug symbols"
done
root="$scratch/root"
for deb in "$game_deb" "$runtime_deb" "$translator_deb"; do
  dpkg-deb -x "$deb" "$root"
done
# kvbasic build --web builds the browser's runtime from what kvbasic ships.
translator_files=$(dpkg-deb -c "$translator_deb")
for file in share/kvbasic/browser/runtime/commands.h share/kvbasic/browser/runtime/core/command_list.def \
    share/kvbasic/browser/runtime/files/web_write_back.cpp share/kvbasic/browser/runtime/platform/web/browser_clock.cpp \
    share/kvbasic/browser/link_options.txt share/kvbasic/browser/desktop_only_sources.txt share/kvbasic/browser/pre.js \
    share/kvbasic/browser/shell.html share/kvbasic/browser/sdl_library_functions.json libexec/kvbasic/build-web-libraries; do
  echo "$translator_files" | grep -q " \./usr/$file\$" || fail "kvbasic does not ship /usr/$file"
done
said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/games/zorvelin" --version) || fail "zorvelin --version failed"
[ "$said" = "zorvelin $upstream" ] || fail "zorvelin --version says: $said"
said=$("$root/usr/bin/kvbasic" --version)
[ "$said" = "kvbasic $upstream" ] || fail "kvbasic --version says: $said"
pc=$(find "$root/usr/lib" -name kvruntime.pc)
grep -qx "Version: $upstream" "$pc" || fail "kvruntime.pc is not version $upstream"
grep -q '^Cflags:.* -std=c++20' "$pc" || fail "kvruntime.pc does not ask for C++20"

# Dependencies: the game's come from dpkg-shlibdeps; the runtime's name the
# -dev packages the static library was compiled against, each with the
# version it needs; the translator needs the runtime and a compiler.
depends=$(dpkg-deb -f "$game_deb" Depends)
echo "zorvelin Depends: $depends"
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-image-2.0-0 liblzo2-2 libenet7 libgl1 libstdc++6; do
  echo "$depends" | grep -q "$lib" || fail "zorvelin does not depend on $lib"
done
depends=$(dpkg-deb -f "$runtime_deb" Depends)
echo "libkvruntime-dev Depends: $depends"
for dev in libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev libsdl2-ttf-dev liblzo2-dev libenet-dev libavformat-dev libavcodec-dev \
    libswscale-dev libswresample-dev libavutil-dev libxkbcommon-dev libx11-dev libgl-dev; do
  echo "$depends" | grep -Eq "(^|, )$dev \(>= [0-9:.]+\)" || fail "libkvruntime-dev does not depend on a version of $dev"
done
built_with=$(dpkg-query -W -f '${Version}' libavcodec-dev)
echo "$depends" | grep -q "libavcodec-dev (>= ${built_with%%.*}\.[0-9]*)" ||
  fail "libkvruntime-dev does not ask for the libavcodec-dev it was built with ($built_with)"
echo "$depends" | grep -q "libavcodec-dev (<< " || fail "libkvruntime-dev does not stay below the next FFmpeg"
echo "$depends" | grep -Eq "(^|, )pkg-config(,|$)" || fail "libkvruntime-dev does not depend on pkg-config"
depends=$(dpkg-deb -f "$translator_deb" Depends)
echo "kvbasic Depends: $depends"
echo "$depends" | grep -q "libkvruntime-dev (= $version)" || fail "kvbasic does not depend on libkvruntime-dev $version"
echo "$depends" | grep -q "g++" || fail "kvbasic does not depend on a C++ compiler"

# What goes where: the translator is not in the development package.
dpkg-deb -c "$runtime_deb" | grep -E '/usr/(bin|libexec)/' && fail "libkvruntime-dev ships programs"
dpkg-deb -c "$translator_deb" | grep -q '/usr/libexec/kvbasic/shoebox_pack$' || fail "kvbasic has no packer"

# The editor support: the Neovim configuration with its syntax file and its
# nvim-dap part, the VS Code extension's sources with its debugger, and the
# language server and the debug adapter they start answering.
for file in nvim/kvbasic.lua nvim/kvbasic_dap.lua nvim/syntax/kvbasic.vim vscode/package.json \
    vscode/extension.js vscode/syntaxes/kvbasic.tmLanguage.json; do
  [ -f "$root/usr/share/kvbasic/editors/$file" ] || fail "kvbasic has no editors/$file"
done
grep -q '"type": "kvbasic"' "$root/usr/share/kvbasic/editors/vscode/package.json" ||
  fail "the VS Code extension contributes no kvbasic debugger"
initialize='{"jsonrpc":"2.0","id":1,"method":"initialize","params":{}}'
said=$(printf 'Content-Length: %d\r\n\r\n%s' "${#initialize}" "$initialize" | "$root/usr/bin/kvbasic" lsp) || true
echo "$said" | grep -q '"hoverProvider":true' || fail "kvbasic lsp does not answer initialize: $said"
initialize='{"seq":1,"type":"request","command":"initialize","arguments":{"adapterID":"kvbasic"}}'
said=$(printf 'Content-Length: %d\r\n\r\n%s' "${#initialize}" "$initialize" | "$root/usr/bin/kvbasic" dap) || true
echo "$said" | grep -q '"supportsConfigurationDoneRequest":true' || fail "kvbasic dap does not answer initialize: $said"

# The player's documentation: the man page tells how to play, where the
# error log is, and how to record a game for a bug report.
page="$root/usr/share/man/man6/zorvelin.6.gz"
[ -f "$page" ] || fail "no man page zorvelin(6)"
for word in KV_WINDOWED ErrorLog.txt KV_RECORD_INPUT KV_INPUT_SCRIPT KV_FRAME_CHECKSUMS 'zorvelin \\-\\-version'; do
  zcat "$page" | grep -q -- "$word" || fail "zorvelin(6) does not mention $word"
done
zcat "$page" | grep -qi "readme" && fail "zorvelin(6) sends the player to a README no package installs"
[ -f "$root/usr/share/man/man1/kvbasic.1.gz" ] || fail "no man page kvbasic(1)"
[ -f "$root/usr/share/doc/libkvruntime-dev/commands.md.gz" ] || fail "the command reference is not installed compressed"
[ -f "$root/usr/share/doc/kvbasic/language.md.gz" ] || fail "the language reference is not installed compressed"
[ -f "$root/usr/share/doc/kvbasic/debugging.md.gz" ] || fail "the debugging guide is not installed compressed"

# The desktop entry and the metainfo.
desktop=$(ls "$root"/usr/share/applications/*.desktop)
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate: $metainfo"
# The whole tree: the metainfo's desktop entry and icon are in the package.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
grep -q 'example' "$metainfo" "$desktop" && fail "an address points at an example domain"
grep -qx 'Exec=zorvelin' "$desktop" || fail "the desktop entry does not start zorvelin"
# The window's class is the program's file name (the install test reads it
# from the running window).
program=$(readlink -f "$root/usr/games/zorvelin")
[ -x "$program" ] || fail "/usr/games/zorvelin does not lead to the program"
grep -qx "StartupWMClass=$(basename "$program")" "$desktop" || fail "StartupWMClass is not $(basename "$program")"
for size in 16 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/zorvelin.png"
  [ -f "$icon" ] || fail "no icon of $size pixels"
  # The PNG header's width and height (bytes 16 to 23) are the size.
  dims=$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')
  [ "$dims" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "icon of $size pixels is $dims"
done
echo "the packages pass"
