# End-to-end test helpers: a program under test in a virtual X server, driven as
# a person would drive it. Source this file, then:
#
#   e2e_start_xvfb                     start Xvfb on a free display, export DISPLAY
#   e2e_launch PROGRAM [ARGS...]       run the program on the x11 SDL driver (E2E_PID)
#   e2e_wait_window TITLE-REGEX        print the id of the window with that title
#   e2e_window_title ID                print the window's title
#   e2e_wait_title ID TITLE-REGEX      wait until the title matches
#   e2e_click ID X Y                   left click at client (X, Y) of the window
#   e2e_screenshot ID FILE             save what the window shows as a PNG
#   e2e_pixel FILE X Y                 print "R,G,B" of a pixel of a picture
#   e2e_close_window ID                the close box: WM_PROTOCOLS / WM_DELETE_WINDOW
#   e2e_wait_exit [SECONDS]            wait for the program; returns its exit code
#   e2e_stop                           stop the program (if still running) and Xvfb
#
# E2E_CLOSE_HELPER must name the x_close_window helper program. Every wait is
# bounded: xdotool can hang, so it always runs under `timeout`.

E2E_TIMEOUT=${E2E_TIMEOUT:-20}
E2E_XVFB_PID=""
E2E_PID=""
E2E_TMP=""

e2e_fail() {
  echo "e2e: $*" >&2
  return 1
}

e2e_start_xvfb() {
  command -v Xvfb >/dev/null || { e2e_fail "Xvfb is not installed"; return 1; }
  E2E_TMP=$(mktemp -d)
  local fdfile="$E2E_TMP/display"
  : >"$fdfile"
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$fdfile" 2>"$E2E_TMP/xvfb.log" &
  E2E_XVFB_PID=$!
  local waited=0
  while [[ ! -s "$fdfile" ]]; do
    if ! kill -0 "$E2E_XVFB_PID" 2>/dev/null || ((waited >= E2E_TIMEOUT * 10)); then
      e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
}

e2e_launch() {
  # Without an explicit driver SDL may fall back to an offscreen one and show nothing.
  SDL_VIDEODRIVER=x11 "$@" &
  E2E_PID=$!
}

e2e_wait_window() {
  timeout "$E2E_TIMEOUT" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1
}

e2e_window_title() {
  timeout 5 xdotool getwindowname "$1"
}

e2e_wait_title() {
  local id=$1 pattern=$2 waited=0 title=""
  while ((waited < E2E_TIMEOUT * 10)); do
    title=$(e2e_window_title "$id" 2>/dev/null || true)
    [[ "$title" =~ $pattern ]] && { echo "$title"; return 0; }
    sleep 0.1
    waited=$((waited + 1))
  done
  e2e_fail "title '$title' never matched '$pattern'"
}

e2e_click() {
  timeout 5 xdotool mousemove --window "$1" "$2" "$3" && sleep 0.1 &&
    timeout 5 xdotool mousedown 1 && sleep 0.1 && timeout 5 xdotool mouseup 1
}

e2e_screenshot() {
  timeout 10 import -window "$1" "png:$2"
}

e2e_pixel() {
  local value
  value=$(/usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:) || return 1
  echo "$value"
}

e2e_close_window() {
  "${E2E_CLOSE_HELPER:?E2E_CLOSE_HELPER names the x_close_window helper}" "$1"
}

e2e_wait_exit() {
  local seconds=${1:-$E2E_TIMEOUT} waited=0
  while kill -0 "$E2E_PID" 2>/dev/null; do
    if ((waited >= seconds * 10)); then
      e2e_fail "program still running after ${seconds}s"
      return 124
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  local code=0
  wait "$E2E_PID" || code=$?
  E2E_PID=""
  return "$code"
}

# Ends a process: SIGTERM, then SIGKILL if it is still there after 3 s. It polls
# instead of calling `wait`, which can block for good inside an EXIT trap; and SDL
# turns SIGTERM into a quit event that a program may ignore.
e2e_end_process() {
  local pid=$1 waited=0
  kill "$pid" 2>/dev/null || return 0
  while kill -0 "$pid" 2>/dev/null && ((waited < 30)); do
    sleep 0.1
    waited=$((waited + 1))
  done
  kill -KILL "$pid" 2>/dev/null || true
}

e2e_stop() {
  [[ -n "$E2E_PID" ]] && e2e_end_process "$E2E_PID"
  E2E_PID=""
  [[ -n "$E2E_XVFB_PID" ]] && e2e_end_process "$E2E_XVFB_PID"
  E2E_XVFB_PID=""
  [[ -n "$E2E_TMP" ]] && rm -rf "$E2E_TMP"
  E2E_TMP=""
}
