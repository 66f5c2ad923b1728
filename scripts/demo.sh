#!/usr/bin/env bash
# Builds and runs the demo. With a display it opens the demo's window there.
# Without one it runs the demo in a virtual X server for about ten seconds,
# prints each status caption as the title changes, saves a screenshot, closes
# the window with its close box and says where the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
demo=build/bin/sprite_demo
if [[ ! -x $demo ]]; then
  echo "Built. The demo program does not exist yet."
  exit 0
fi
if [[ -n "${DISPLAY:-}" ]]; then
  exec "$demo"
fi

seconds=${DEMO_SECONDS:-10}
screenshot=$PWD/build/demo-screenshot.png
close_window=build/bin/x11_close_window
workdir=$(mktemp -d)
xvfb_pid=""
demo_pid=""
cleanup() {
  [[ -n $demo_pid ]] && kill "$demo_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb writes the number of the display it picked to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $workdir/display ]] && break
  sleep 0.1
done
if [[ ! -s $workdir/display ]]; then
  echo "Xvfb did not start:" >&2
  cat "$workdir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$workdir/display")"
echo "No display: running the demo in Xvfb on $DISPLAY for about $seconds seconds."

# Without SDL_VIDEODRIVER SDL could fall back to a driver that shows nothing.
SDL_VIDEODRIVER=x11 "$demo" &
demo_pid=$!
window=$(timeout 10 xdotool search --sync --name '^Sprite Demo' | head -n1 || true)
if [[ -z $window ]]; then
  echo "The demo's window did not appear." >&2
  exit 1
fi

title=""
end=$((SECONDS + seconds))
while ((SECONDS < end)) && kill -0 "$demo_pid" 2>/dev/null; do
  now=$(xdotool getwindowname "$window" 2>/dev/null || true)
  if [[ -n $now && $now != "$title" ]]; then
    title=$now
    echo "title: $title"
  fi
  sleep 0.1
done

import -window "$window" "$screenshot"

# The close box: the window manager's WM_DELETE_WINDOW message to the window.
"$close_window" "$window"
for _ in $(seq 50); do
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.1
done
status=0
wait "$demo_pid" || status=$?
demo_pid=""
echo "The demo closed with exit code $status."
echo "Screenshot: $screenshot"
exit "$status"
