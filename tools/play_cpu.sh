#!/usr/bin/env bash
# Power in play: the real game on a private Xvfb of the given size, name given,
# an etude started, then sky modes 1 to 4 for a quarter of the time each; prints
# the CPU share of one core that the game and the X server used meanwhile
# (user + system time from /proc/PID/stat).
# Usage: tools/play_cpu.sh <game binary> [width] [height] [seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
game=$(readlink -f "$1")
width=${2:-1920} height=${3:-1080} seconds=${4:-20}
source "$here/../tests/e2e/xvfb_common.bash"
workdir=$(mktemp -d)
trap end_game_session EXIT
start_private_display "$width" "$height"
cd "$workdir"
SDL_AUDIODRIVER=dummy "$game" >game.log 2>&1 </dev/null &
GAME_PID=$!
window=$(find_game_window) || true
[ -n "$window" ] || fail "no window"
point_at_window "$window"
answer_name_then_play meter
window=$(find_game_window)
point_at_window "$window"
sleep 1

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
game0=$(ticks "$GAME_PID") x0=$(ticks "$XVFB_PID") t0=${EPOCHREALTIME}
quarter=$(awk -v s="$seconds" 'BEGIN { print s / 4 }')
for mode in 1 2 3 4; do
  sleep "$quarter"
  [ "$mode" = 4 ] || xdotool type --delay 0 "S"
done
game1=$(ticks "$GAME_PID") x1=$(ticks "$XVFB_PID") t1=${EPOCHREALTIME}
awk -v g=$((game1 - game0)) -v x=$((x1 - x0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" -v size="${width}x${height}" \
  'BEGIN { s = t1 - t0; printf "%s over %.1f s: game %.1f %% of a core, X server %.1f %%, together %.1f %%\n", size, s, 100 * g / hz / s, 100 * x / hz / s, 100 * (g + x) / hz / s }'
