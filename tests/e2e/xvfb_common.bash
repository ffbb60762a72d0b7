# Shared by the end-to-end scripts: a private Xvfb display for one run of the
# real game binary, torn down however the script ends.

start_private_display() {
  local width=${1:-1920} height=${2:-1080}
  for number in $(seq 91 120); do
    if [ ! -e "/tmp/.X${number}-lock" ] && [ ! -e "/tmp/.X11-unix/X${number}" ]; then
      Xvfb ":${number}" -screen 0 "${width}x${height}x24" -nolisten tcp >/dev/null 2>&1 &
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
