#!/usr/bin/env bash
# Start-up time: from launching the game (first run, so it asks for the name)
# to its first shown picture that is not all black, beside a bare SDL program
# opening the same window, alternately in the same run, on a private Xvfb of
# each size. Usage: tools/startup_time.sh [build dir] [runs per size]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(readlink -f "${1:-$here/../build}")
runs=${2:-10}
source "$here/../tests/e2e/xvfb_common.bash"
probe="$build/libfirst_picture_probe.so"
scratch=$(mktemp -d)
trap 'stop_private_display; rm -rf "$scratch"' EXIT

# Runs program $1 once with the probe and prints its milliseconds to the first picture.
time_once() {
  rm -rf "$scratch/run" && mkdir "$scratch/run"
  (cd "$scratch/run" && START_US=${EPOCHREALTIME/./} LD_PRELOAD="$probe" FIRST_PICTURE_FILE="$scratch/ms" \
    SDL_AUDIODRIVER=dummy timeout 20 "$1" >/dev/null 2>&1 </dev/null) || true
  awk '{ printf "%.1f", $1 / 1000 }' "$scratch/ms"
  rm -f "$scratch/ms"
}

median() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
fastest() { tr ' ' '\n' | sed '/^$/d' | sort -n | head -n 1; }

for size in 1920x1080 3840x2160; do
  start_private_display "${size%x*}" "${size#*x}"
  game_times="" bare_times=""
  for _ in $(seq 1 "$runs"); do
    game_times="$game_times $(time_once "$build/gyrovessel")"
    bare_times="$bare_times $(time_once "$build/bare_window")"
  done
  game=$(echo "$game_times" | median) bare=$(echo "$bare_times" | median)
  echo "$size game ms:$game_times"
  echo "$size bare ms:$bare_times"
  awk -v s="$size" -v g="$game" -v b="$bare" 'BEGIN { printf "%s median: game %.1f ms, bare SDL %.1f ms, ratio %.2f\n", s, g, b, g / b }'
  # On a shared machine the fastest runs are the least disturbed.
  game=$(echo "$game_times" | fastest) bare=$(echo "$bare_times" | fastest)
  awk -v s="$size" -v g="$game" -v b="$bare" 'BEGIN { printf "%s fastest: game %.1f ms, bare SDL %.1f ms, ratio %.2f\n", s, g, b, g / b }'
  stop_private_display
  XVFB_PID=
done
