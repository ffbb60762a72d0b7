#!/usr/bin/env bash
# Power at rest: the real game on a private Xvfb of the given size, left alone
# at the name question ("name") or, with a name given, at the main menu
# ("menu") or on the PROGRESS page ("progress"); after a few settling seconds prints, over the given seconds, the
# CPU share of one core that the game and the X server used (nanoseconds on a
# core from /proc/PID/task/*/schedstat, finer than the ticks of /proc/PID/stat)
# and the game's wake-ups a second, in all and per thread (voluntary +
# involuntary context switches from /proc/PID/task/*/status).
# SDL_AUDIODRIVER is passed through (dummy when unset).
# Usage: tools/idle_cpu.sh <game binary> [menu|name|progress] [width] [height] [seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
game=$(readlink -f "$1")
where=${2:-menu} width=${3:-1920} height=${4:-1080} seconds=${5:-10}
source "$here/../tests/e2e/xvfb_common.bash"
workdir=$(mktemp -d)
trap end_game_session EXIT
start_private_display "$width" "$height"
cd "$workdir"
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$game" >game.log 2>&1 </dev/null &
GAME_PID=$!
window=$(find_game_window) || true
[ -n "$window" ] || fail "no window"
point_at_window "$window"
if [ "$where" != name ]; then
  xdotool type --delay 60 "idler"
  xdotool key Return
  sleep 1
  window=$(find_game_window)
  point_at_window "$window"
fi
if [ "$where" = progress ]; then
  xdotool type --delay 60 "60"
  xdotool key Return
fi
# Long enough for the start cue to end and any quiet-time rule to take effect.
sleep 4

# One line per thread: "tid name nanoseconds-on-a-core switches".
threads() {
  for task in /proc/"$1"/task/*; do
    awk -v tid="${task##*/}" -v name="$(cat "$task/comm" 2>/dev/null)" -v ns="$(cut -d' ' -f1 "$task/schedstat" 2>/dev/null)" \
      '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { print tid, name, ns + 0, n + 0 }' "$task/status" 2>/dev/null || true
  done
}
threads "$GAME_PID" >before.txt
threads "$XVFB_PID" >x_before.txt
t0=${EPOCHREALTIME}
sleep "$seconds"
t1=${EPOCHREALTIME}
threads "$GAME_PID" >after.txt
threads "$XVFB_PID" >x_after.txt
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during the measurement"

# Threads that began meanwhile count from zero; those that ended are not counted.
report='NR == FNR { ns[$1] = $3; n[$1] = $4; next }
  { s = t1 - t0; cpu = ($3 - ns[$1]) / 1e7 / s; rate = ($4 - n[$1]) / s; total_cpu += cpu; total_rate += rate
    if (detail) printf "  thread %-7s %-16s %6.3f %% of a core %6.1f wake-ups/s\n", $1, $2, cpu, rate }
  END { printf "%s: %.3f %% of a core, %.1f wake-ups a second\n", who, total_cpu, total_rate }'
echo "$where ${width}x${height}, idle over ${seconds} s:"
awk -v t0="$t0" -v t1="$t1" -v detail=1 -v who="game" "$report" before.txt after.txt
awk -v t0="$t0" -v t1="$t1" -v detail=0 -v who="X server" "$report" x_before.txt x_after.txt
