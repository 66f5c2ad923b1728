#!/usr/bin/env bash
# The Windows demo under Wine on a real X server, driven from outside by
# e2e_driver.exe (real mouse and keyboard input): the title and the status
# caption, "Delete Last Clone", Escape and the close box. A screenshot of the
# window, taken from the X server, goes to OUTPUT-DIR/sprite_demo.png; its canvas
# must show the balls and no magenta.
# Usage: demo_windows_e2e.sh WINE-RUN PREFIX DRIVER SPRITE-DEMO [OUTPUT-DIR]
# Uses the X server in DISPLAY; without one it starts its own Xvfb, with a Wine
# prefix of its own in OUTPUT-DIR (a prefix's Wine processes share one display).
set -euo pipefail
here=$(dirname "$0")
source "$here/../e2e_lib.sh"
source "$here/../demo_e2e_common.sh"
wine_run=$1
prefix=$(realpath -m "$2")
driver=$(realpath "$3")
program=$(realpath "$4")
output=${5:-$(mktemp -d)}
mkdir -p "$output"
pictures=$(dirname "$program")/graphics

command -v wine >/dev/null || { echo "wine is missing: skipped"; exit 77; }
command -v import >/dev/null || { echo "ImageMagick's import is missing: skipped"; exit 77; }
own_prefix=""
cleanup() {
  [[ -n $own_prefix ]] && WINEPREFIX=$own_prefix wineserver -k 2>/dev/null
  e2e_stop
}
trap cleanup EXIT
if [[ -z ${DISPLAY:-} ]]; then
  command -v Xvfb >/dev/null || { echo "no DISPLAY and Xvfb is missing: skipped"; exit 77; }
  e2e_start_xvfb
  prefix=$output/wineprefix
  own_prefix=$prefix
fi
timeout 10 xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "no X server at $DISPLAY: skipped"; exit 77; }
echo "display $DISPLAY, Wine prefix $prefix"

demo_ball_colours "$pictures/ball3d.bmp" "$output/ball-colours.txt"
rm -f "$output/sprite_demo.png" "$output/canvas.png"
windows_program=$(timeout 60 "$wine_run" "$prefix" winepath -w "$program" | tr -d '\r') || true
[[ -n $windows_program ]] || { echo "winepath failed"; exit 1; }

# The driver asks for the screenshot once the caption has its shape and waits for
# an answer line. The timeout ends it (and, through its job, the demo) should it hang.
coproc DRIVER { exec timeout -k 5 100 "$wine_run" "$prefix" "$driver" "$windows_program" "$DEMO_CAPTION_RE" 2>&1; }
driver_pid=$DRIVER_PID
to_driver=${DRIVER[1]}
shot_ok=1
window=()
canvas=()
while IFS= read -r line <&"${DRIVER[0]}"; do
  line=${line%$'\r'}
  echo "$line"
  case $line in
    "window "*) read -r -a window <<<"${line#window }" ;;
    "canvas "*) read -r -a canvas <<<"${line#canvas }" ;;
    "screenshot now")
      shot_ok=0
      if ((${#window[@]} == 4 && ${#canvas[@]} == 4)) &&
        timeout 20 import -window root -crop "${window[2]}x${window[3]}+${window[0]}+${window[1]}" +repage \
          "png:$output/sprite_demo.png" &&
        /usr/bin/convert "$output/sprite_demo.png" -crop "${canvas[2]}x${canvas[3]}+${canvas[0]}+${canvas[1]}" \
          +repage "$output/canvas.png"; then
        ball=$(demo_ball_pixels "$output/canvas.png" "$output/ball-colours.txt")
        magenta=$(demo_count "$output/canvas.png" "$DEMO_MAGENTA")
        echo "screenshot: $output/sprite_demo.png; canvas: $ball ball pixels, $magenta magenta pixels"
        ((ball > 20000)) || echo "FAILED: no balls to be seen in the screenshot"
        ((magenta == 0)) || echo "FAILED: magenta on the canvas"
        ((ball > 20000 && magenta == 0)) && shot_ok=1
      else
        echo "FAILED: no screenshot"
      fi
      echo go >&"$to_driver"
      ;;
  esac
done
code=0
wait "$driver_pid" || code=$?
echo "driver exit code: $code"
((code == 0)) || exit "$code"
[[ -f $output/sprite_demo.png ]] || { echo "no screenshot was asked for"; exit 1; }
((shot_ok)) || { echo "the screenshot checks failed"; exit 1; }
