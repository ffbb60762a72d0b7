#!/usr/bin/env bash
# The real binary under its own Xvfb: the window "Gyrovessel 012" appears with
# the work area's size, Escape at the name question is only a key that typed
# lines ignore, and Escape during play ends the program with status 0. Before
# that, with DISPLAY naming a display that is not there, it says so and ends
# with status 1, as with no DISPLAY at all.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_common.bash"

missing=$(unused_display) || fail "no unused display number"
status=0
message=$(DISPLAY=$missing SDL_AUDIODRIVER=dummy timeout 30 "$1" 2>&1 </dev/null) || status=$?
[ "$status" = "1" ] || fail "exit status $status with DISPLAY=$missing: $message"
expected="Gyrovessel needs a graphic display, and the display named by DISPLAY ($missing) could not be opened."
[ "$message" = "$expected" ] || fail "with DISPLAY=$missing it said: $message"

start_game_session "$1"

# A bare Xvfb has no panels: the work area is the whole 1920 x 1080 screen.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = "1920" ] && [ "$HEIGHT" = "1080" ] || fail "window is ${WIDTH}x${HEIGHT}, not 1920x1080"
point_at_window "$window"

xdotool key Escape
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "Escape in a typed answer ended the game"

answer_name_then_play tester
window=$(find_game_window)
point_at_window "$window"
xdotool key Escape

wait_for_exit "$GAME_PID" 30 || fail "the game did not end after Escape"
GAME_PID=
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS"
echo "PASS: window 1920x1080, Escape in play ended the game with status 0"
