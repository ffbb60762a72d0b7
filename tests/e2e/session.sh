#!/usr/bin/env bash
# A real session under its own Xvfb, started as ./play and the desktop entry
# start it: through the launcher beside the binary, from the source tree. Give
# a name of 20 letters and choose 98, both typed 5 ms a key, start an etude of
# the default kind (pitch 45), turn until every wall is solved, go back to the
# menu with "1" and leave with 99. Every typed letter must be in the player
# file's name, the file must hold exactly the one record of that etude, in the
# records folder under XDG_DATA_HOME, and no player file may appear in the
# source tree.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_common.bash"
source_tree=$(cd "$here/../.." && pwd)
launcher="$(dirname "$(readlink -f "$1")")/gyrovessel-launch"
[ -x "$launcher" ] || { echo "FAIL: no launcher beside the binary: $launcher"; exit 1; }

start_game_session "$launcher" "$source_tree"
point_at_window "$window"

# The main menu follows the name: play the default kind.
name=abcdefghijklmnopqrst
player_file=player-$name.txt
answer_name_then_play "$name" 5

# The window follows the game's pictures: in play the craft drifts, so two
# looks at what the window shows, a moment apart, differ.
sums="$(dirname "$(readlink -f "$1")")/window_picture_sum"
if [ -x "$sums" ]; then
  window=$(find_game_window)
  first=$("$sums" "$window")
  sleep 0.3
  second=$("$sums" "$window")
  [ "$first" != "$second" ] || { echo "FAIL: the window's picture stands still in play"; cat game.log; exit 1; }
else
  echo "no $sums: the window's picture is not looked at"
fi

solve_pitch_45_then_exit

wait_for_exit "$GAME_PID" 30 || { echo "FAIL: the game did not end"; cat game.log; exit 1; }
GAME_PID=
[ "$EXIT_STATUS" = "0" ] || { echo "FAIL: exit status $EXIT_STATUS"; cat game.log; exit 1; }

strays=$(find "$source_tree" -name "$player_file")
[ -z "$strays" ] || { echo "FAIL: a player file in the source tree: $strays"; exit 1; }
records="$workdir/data/gyrovessel"
[ -f "$records/$player_file" ] || { echo "FAIL: no $player_file in $records"; ls -laR "$workdir"; cat game.log; exit 1; }
cd "$records"
lines=$(tr -cd '\n' < "$player_file" | wc -c)
[ "$lines" = "1" ] || { echo "FAIL: expected one record, found $lines"; cat -A "$player_file"; exit 1; }
grep -qP '\r$' "$player_file" || { echo "FAIL: the record does not end with CR LF"; exit 1; }
IFS=, read -r kind duration expected observed year month day hour minute second record_status \
  < <(tr -d '\r' < "$player_file")
[ "$kind" = "1" ] || { echo "FAIL: kind $kind"; exit 1; }
[ "$expected" = "6" ] || { echo "FAIL: expected keystrokes $expected"; exit 1; }
[ "$observed" -ge 6 ] || { echo "FAIL: observed keystrokes $observed"; exit 1; }
if [ "$observed" = "$expected" ]; then want=1; else want=0; fi
[ "$record_status" = "$want" ] || { echo "FAIL: status $record_status for $expected/$observed"; exit 1; }
[ "$duration" -ge 0 ] && [ "$year" -ge 2000 ] && [ "$month" -ge 1 ] && [ "$month" -le 12 ] \
  && [ "$day" -ge 1 ] && [ "$hour" -le 23 ] && [ "$minute" -le 59 ] && [ "$second" -le 59 ] \
  || { echo "FAIL: date or duration fields: $(cat "$player_file")"; exit 1; }
echo "PASS: session recorded $(tr -d '\r' < "$player_file")"
