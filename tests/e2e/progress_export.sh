#!/usr/bin/env bash
# The real binary writes a player's PROGRESS page and CSV with no display at
# all, and refuses an invalid name or a player without records with a non-zero
# status and one line on standard error.
set -euo pipefail
game=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
unset DISPLAY WAYLAND_DISPLAY
export SDL_AUDIODRIVER=dummy

printf '11,60,18,18,2026,12,6,20,1,2,1\r\n11,70,18,20,2026,12,7,20,5,0,0\r\n1,33,0,0,2026,12,7,21,0,0,-1\r\n' > player-ada7.txt

fail() { echo "FAILED: $*" >&2; exit 1; }

"$game" --progress ADA7 page.png || fail "--progress to PNG"
"$game" --progress ada7 page.svg || fail "--progress to SVG with a lower-case name"
"$game" --progress ADA7 page.pdf || fail "--progress to PDF"
[ "$(head -c 8 page.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "page.png is no PNG"
grep -q '<svg' page.svg || fail "page.svg is no SVG"
grep -q '<path' page.svg || fail "page.svg holds no figures"
[ "$(head -c 5 page.pdf)" = "%PDF-" ] || fail "page.pdf is no PDF"

"$game" --csv ADA7 > records.csv || fail "--csv"
expected=$(printf 'etude,kind,seconds,keystrokes_expected,keystrokes_observed,date,time,status\r\n1,Roll 135,60,18,18,2026-12-06,20:01:02,won\r\n2,Roll 135,70,18,20,2026-12-07,20:05:00,lost\r\n3,Pitch 45,33,0,0,2026-12-07,21:00:00,incomplete\r')
[ "$(cat records.csv)" = "$expected" ] || { cat -A records.csv >&2; fail "CSV differs"; }

# Refusals: non-zero status, nothing on standard output, exactly one line on standard error.
for arguments in "--csv BAD-NAME" "--csv NOBODY" "--progress NOBODY out.png" "--progress ADA7 out.bmp"; do
  status=0
  # shellcheck disable=SC2086
  "$game" $arguments > out.txt 2> err.txt || status=$?
  [ "$status" -ne 0 ] || fail "$arguments succeeded"
  [ ! -s out.txt ] || fail "$arguments wrote to standard output"
  [ "$(wc -l < err.txt)" -eq 1 ] || { cat err.txt >&2; fail "$arguments: not one line of error"; }
done
[ ! -e out.png ] || fail "a refused export left a file"
echo "progress export: ok"
