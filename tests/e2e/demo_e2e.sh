#!/usr/bin/env bash
# The demo on a real X server, driven from outside as a person would: its title
# and status caption, balls over background 1, the buttons for the background,
# translucency, deletion and the frame delay, Escape, and the close box.
# Usage: demo_e2e.sh SPRITE-DEMO CLOSE-HELPER [OUTPUT-DIR]
set -euo pipefail
here=$(dirname "$0")
source "$here/e2e_lib.sh"
source "$here/demo_e2e_common.sh"
program=$1
export E2E_CLOSE_HELPER=$2
output=${3:-$(mktemp -d)}
mkdir -p "$output"
pictures=$(dirname "$program")/graphics

command -v Xvfb >/dev/null || { echo "Xvfb is missing: skipped"; exit 77; }
trap e2e_stop EXIT
for n in 1 2; do /usr/bin/convert "$pictures/bkgnd$n.bmp" "$output/bkgnd$n.png"; done
demo_ball_colours "$pictures/ball3d.bmp" "$output/ball-colours.txt"

e2e_start_xvfb
e2e_launch "$program"

# The title is "Sprite Demo" until the first measurement ends, 25 steps in.
window=""
first_title=""
for _ in $(seq 1000); do
  window=$(xdotool search --onlyvisible --name '^Sprite Demo' 2>/dev/null | head -n1 || true)
  if [[ -n $window ]]; then
    first_title=$(e2e_window_title "$window" || true)
    break
  fi
  sleep 0.01
done
[[ -n $window ]] || { echo "no window titled 'Sprite Demo'"; exit 1; }
echo "first title: $first_title"
[[ $first_title == "Sprite Demo" || $first_title =~ $DEMO_CAPTION_RE ]] || { echo "unexpected title"; exit 1; }
caption=$(e2e_wait_title "$window" "$DEMO_CAPTION_RE")
echo "caption: $caption"
[[ $caption == *"displaying at"*" Frames/sec" && $caption == "Sprite Demo:     32 Sprites ("* ]]

# Balls over background 1, no magenta anywhere.
demo_canvas "$window" "$output/start.png"
ball=$(demo_ball_pixels "$output/start.png" "$output/ball-colours.txt")
magenta=$(demo_count "$output/start.png" "$DEMO_MAGENTA")
echo "start: $ball ball pixels, $magenta magenta pixels"
((ball > 20000)) || { echo "no balls to be seen"; exit 1; }
((magenta == 0)) || { echo "magenta on the canvas"; exit 1; }
demo_shows_background "$output/start.png" "$output/bkgnd1.png" "$output/bkgnd2.png" ||
  { echo "background 1 is not shown"; exit 1; }

# "Change Background" shows background 2.
on_background2() {
  demo_canvas "$window" "$output/background2.png" &&
    demo_shows_background "$output/background2.png" "$output/bkgnd2.png" "$output/bkgnd1.png"
}
demo_button "$window" 9
demo_poll 5 on_background2 || { echo "background 2 did not appear"; exit 1; }
echo "background 2 shown"

# "AlphaBlend ON": half translucent balls no longer show their own opaque colours.
translucent() {
  demo_canvas "$window" "$output/alpha.png" &&
    (($(demo_ball_pixels "$output/alpha.png" "$output/ball-colours.txt") < ball / 10))
}
demo_button "$window" 1
demo_poll 5 translucent || { echo "the balls did not become translucent"; exit 1; }
echo "translucent: $(demo_ball_pixels "$output/alpha.png" "$output/ball-colours.txt") opaque ball pixels left"
demo_button "$window" 2

# "Delete First Original": only the background is left, and the count is 0.
only_background() {
  demo_canvas "$window" "$output/deleted.png" &&
    (($(demo_differing "$output/deleted.png" "$output/bkgnd2.png") == 0))
}
demo_button "$window" 11
demo_poll 5 only_background || { echo "balls left after Delete First Original"; exit 1; }
caption=$(e2e_wait_title "$window" '^Sprite Demo:     0 Sprites \( 140 X 140 pixels\)')
echo "after deleting: $caption"

# "Speed: 50 ms Sleep": 24 sleeps of 50 ms fall inside each measurement.
demo_button "$window" 7
caption=$(e2e_wait_title "$window" 'displaying at (00[01][0-9]\.[0-9]{2}|0020\.[0-9]{2}|0021\.00) Frames/sec$')
echo "with the frame delay: $caption"

# Escape does not close the window.
timeout 5 xdotool windowfocus --sync "$window" || true
timeout 5 xdotool key Escape
sleep 1
kill -0 "$E2E_PID" 2>/dev/null || { echo "Escape ended the program"; exit 1; }
e2e_window_title "$window" >/dev/null || { echo "Escape closed the window"; exit 1; }
echo "Escape: window still open"

# The close box ends the program with exit code 0 within two seconds.
e2e_close_window "$window"
code=0
e2e_wait_exit 2 || code=$?
echo "exit code: $code"
exit "$code"
