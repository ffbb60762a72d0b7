#!/usr/bin/env bash
# Installs the game into a scratch prefix and checks it as a desktop would:
# exactly the expected files, icons of their stated sizes, a desktop entry and
# metainfo that the validators accept and that name installed files, a manual
# page that renders without warnings, and an installed binary that answers
# --help, --version, a wrong option and a missing argument without a display.
#   installed_files.sh BUILD_DIR GAME_BINARY
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/install_common.bash"
build=$1

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
check_file_list "$prefix"

for size in 48 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  file -b "$icon" | grep -q "PNG image data, $size x $size," || fail "$icon: $(file -b "$icon")"
done
grep -q '<path' "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "the SVG icon holds no vector figures"

entry="$prefix/share/applications/$app_id.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
# The menu must start the launcher that is installed, and the icon must exist.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
icon_name=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "Icon=$icon_name is not installed"

appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"

page="$prefix/share/man/man6/gyrovessel.6"
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warns: $warnings"
MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "EXIT STATUS" || fail "the manual page does not render"

# The command line, with no display to open a window on.
game="$prefix/bin/gyrovessel"
run() { env -u DISPLAY -u WAYLAND_DISPLAY "$game" "$@" >"$prefix/out" 2>"$prefix/err"; }
status=0; run --help || status=$?
[ "$status" = 0 ] && grep -q '^Usage: gyrovessel' "$prefix/out" && [ ! -s "$prefix/err" ] \
  || fail "--help: status $status, $(cat "$prefix/out" "$prefix/err")"
status=0; run --version || status=$?
[ "$status" = 0 ] && grep -qx 'gyrovessel [0-9]*\.[0-9]*\.[0-9]*' "$prefix/out" \
  || fail "--version: status $status, $(cat "$prefix/out" "$prefix/err")"
status=0; run --fullscreen || status=$?
[ "$status" = 2 ] && [ ! -s "$prefix/out" ] \
  && [ "$(cat "$prefix/err")" = "gyrovessel: unknown option '--fullscreen'
Try 'gyrovessel --help' for more information." ] \
  || fail "unknown option: status $status, $(cat "$prefix/out" "$prefix/err")"
status=0; run --csv || status=$?
[ "$status" = 2 ] && grep -q "^gyrovessel: option '--csv' needs NAME$" "$prefix/err" \
  || fail "--csv without NAME: status $status, $(cat "$prefix/out" "$prefix/err")"
echo "PASS: installed files, validators, manual page and command line"
