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

# No display: the end-to-end harness runs the demo in Xvfb and closes it the way
# a window manager's close box does.
source tests/e2e/e2e_lib.sh
export E2E_CLOSE_HELPER=$PWD/build/bin/x_close_window
seconds=${DEMO_SECONDS:-10}
screenshot=$PWD/build/demo-screenshot.png
trap e2e_stop EXIT

e2e_start_xvfb
echo "No display: running the demo in Xvfb on $DISPLAY for about $seconds seconds."
e2e_launch "$demo"
window=$(e2e_wait_window '^Sprite Demo')
if [[ -z $window ]]; then
  echo "The demo's window did not appear." >&2
  exit 1
fi

title=""
end=$((SECONDS + seconds))
while ((SECONDS < end)) && kill -0 "$E2E_PID" 2>/dev/null; do
  now=$(e2e_window_title "$window" 2>/dev/null || true)
  if [[ -n $now && $now != "$title" ]]; then
    title=$now
    echo "title: $title"
  fi
  sleep 0.1
done

e2e_screenshot "$window" "$screenshot"
e2e_close_window "$window"
status=0
e2e_wait_exit 10 || status=$?
echo "The demo closed with exit code $status."
echo "Screenshot: $screenshot"
exit "$status"
