# Shared by the end-to-end scripts: a private Xvfb display for one run of the
# real game binary in a scratch directory, torn down however the script ends.

# XVFB_ARGS, when set, goes to the server too (say, a shared-memory extension turned off).
start_private_display() {
  local width=${1:-1920} height=${2:-1080}
  for number in $(seq 91 120); do
    if [ ! -e "/tmp/.X${number}-lock" ] && [ ! -e "/tmp/.X11-unix/X${number}" ]; then
      Xvfb ":${number}" -screen 0 "${width}x${height}x24" -nolisten tcp ${XVFB_ARGS:-} >/dev/null 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":${number}"
      for _ in $(seq 1 50); do
        if xdpyinfo >/dev/null 2>&1; then return 0; fi
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.1
      done
      kill "$XVFB_PID" 2>/dev/null || true
    fi
  done
  echo "no free display for Xvfb" >&2
  return 1
}

stop_private_display() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}

# Waits for the game's window and prints its id.
find_game_window() {
  timeout 30 xdotool search --sync --onlyvisible --name "^Gyrovessel 012$" 2>/dev/null | head -n 1
}

# Keys reach an SDL window under a bare Xvfb once the pointer is over it.
point_at_window() {
  local window=$1
  xdotool mousemove --window "$window" 200 200
  sleep 0.3
}

# Waits up to $2 seconds for process $1, a child of this shell, to end; sets
# EXIT_STATUS to its exit status and fails when it is still running.
wait_for_exit() {
  local pid=$1 seconds=$2
  EXIT_STATUS=
  for _ in $(seq 1 $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      EXIT_STATUS=0
      wait "$pid" || EXIT_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Says what went wrong, shows the game's own output and ends the script.
fail() {
  echo "FAIL: $*"
  cat "${workdir:-.}/game.log" 2>/dev/null || true
  exit 1
}

# Kills a game still running, stops the display and removes the scratch directory.
end_game_session() {
  [ -n "${GAME_PID:-}" ] && kill "$GAME_PID" 2>/dev/null || true
  stop_private_display
  if [ -n "${workdir:-}" ]; then rm -rf "$workdir"; fi
}

# Starts the program $1 (the game binary or its launcher) on a fresh 1920 x 1080
# display with silent audio, and waits for its window. It starts in directory
# $2, by default a fresh scratch directory (where the binary's player files
# land); XDG_DATA_HOME points into the scratch directory, so a launcher's
# records folder is $workdir/data/gyrovessel. Sets GAME_PID, workdir (also the
# current directory) and window, and cleans all of it up when the script exits.
start_game_session() {
  local game start_dir
  game=$(readlink -f "$1")
  workdir=$(mktemp -d)
  start_dir=${2:-$workdir}
  trap end_game_session EXIT
  start_private_display 1920 1080
  cd "$workdir"
  (cd "$start_dir" && SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$workdir/data" exec "$game") \
    >game.log 2>&1 </dev/null &
  GAME_PID=$!
  # A search that times out is a missing window, reported as such.
  window=$(find_game_window) || true
  [ -n "$window" ] || fail "no window named Gyrovessel 012"
}

# Types the player name at the first question, then 98 at the main menu that
# follows, each with $2 milliseconds between keys (60 when not given), and
# waits for the etude to start.
answer_name_then_play() {
  local delay=${2:-60}
  xdotool type --delay "$delay" "$1"
  xdotool key Return
  sleep 1
  window=$(find_game_window)
  point_at_window "$window"
  xdotool type --delay "$delay" "98"
  xdotool key Return
  sleep 2
}

# A display number with no X server behind it.
unused_display() {
  for number in $(seq 200 299); do
    if [ ! -e "/tmp/.X${number}-lock" ] && [ ! -e "/tmp/.X11-unix/X${number}" ]; then
      echo ":${number}"
      return 0
    fi
  done
  return 1
}

# Plays an etude of kind Pitch 45 to its end, goes back to the menu with "1"
# and chooses 99. Every wall is tumbled by 45 degrees one way or the other
# about its pitch axis, so "7" solves it after one or seven presses; presses
# that arrive while a wall sinks are dropped, and enough of them get through.
solve_pitch_45_then_exit() {
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
}
