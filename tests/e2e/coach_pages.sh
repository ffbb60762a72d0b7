#!/usr/bin/env bash
# The real binary under its own Xvfb: a new player opens the PROGRESS page (60)
# and leaves it with Enter, chooses kind 5, opens the HELP page (61) and
# leaves it with "1", then lets the coach choose (62), which gives a new player
# kind 1, Pitch 45. The coached etude is played to its end; the player file
# must then hold its one record, of kind 1, not the 5 chosen before the coach.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_common.bash"

start_game_session "$1"
point_at_window "$window"

xdotool type --delay 60 "coached"
xdotool key Return
sleep 1
window=$(find_game_window)
point_at_window "$window"

# A menu line: the number, then Enter.
choose() {
  xdotool type --delay 60 "$1"
  xdotool key Return
  sleep 1.5
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after menu choice $1"
}

# Each page must take its own way back: an Enter left to the menu would open
# the name question, a "1" left to it would turn the next 62 into 162.
choose 60
xdotool key Return        # back from PROGRESS
sleep 1
choose 5
choose 61
xdotool type --delay 0 "1"  # back from HELP
sleep 1
choose 62
choose 98
sleep 1

# Pitch 45: "7" solves every wall after one or seven presses (see session.sh).
for _ in $(seq 1 150); do
  xdotool type --delay 0 "7"
  sleep 0.15
done
sleep 2
xdotool type --delay 60 "1"
sleep 2
window=$(find_game_window)
point_at_window "$window"
xdotool type --delay 60 "99"
xdotool key Return

wait_for_exit "$GAME_PID" 30 || fail "the game did not end"
GAME_PID=
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS"

[ -f player-coached.txt ] || { ls -la; fail "no player file"; }
lines=$(tr -cd '\n' < player-coached.txt | wc -c)
[ "$lines" = "1" ] || { cat -A player-coached.txt; fail "expected one record, found $lines"; }
IFS=, read -r kind duration expected observed _ _ _ _ _ _ record_status < <(tr -d '\r' < player-coached.txt)
[ "$kind" -ge 1 ] && [ "$kind" -le 16 ] || fail "kind $kind is not 1 to 16"
[ "$kind" = "1" ] || fail "the coach should give a new player kind 1, the record has $kind"
[ "$expected" = "6" ] || fail "expected keystrokes $expected"
[ "$record_status" = "1" ] || [ "$record_status" = "0" ] || fail "status $record_status: the etude did not end"
echo "PASS: pages 60 and 61 came back to the menu; the coached etude was recorded as $(tr -d '\r' < player-coached.txt)"
