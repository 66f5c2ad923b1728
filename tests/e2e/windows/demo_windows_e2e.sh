#!/usr/bin/env bash
# The Windows demo under Wine on a real X server, driven from outside by
# e2e_driver.exe (real mouse and keyboard input): the title and the status
# caption, "Delete Last Clone", Escape and the close box. A screenshot of the
# window, taken from the X server, goes to OUTPUT-DIR/sprite_demo.png; its canvas
# must show the balls and no magenta.
# Usage: demo_windows_e2e.sh WINE-RUN PREFIX DRIVER SPRITE-DEMO [OUTPUT-DIR]
# Like the other end-to-end tests it runs in an Xvfb of its own, and with a Wine
# prefix of its own (PREFIX, made on first use): the Wine programs of a prefix
# share one display, and no other program's window may take the input meant for
# the demo.
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

command -v Xvfb >/dev/null || { echo "Xvfb is missing: skipped"; exit 77; }
command -v wine >/dev/null || { echo "wine is missing: skipped"; exit 77; }
command -v import >/dev/null || { echo "ImageMagick's import is missing: skipped"; exit 77; }
[[ -f $pictures/ball3d.bmp ]] || { echo "no $pictures/ball3d.bmp: build the demo's pictures first"; exit 1; }
cleanup() {
  # The prefix's Wine processes go before their display does.
  [[ -d $prefix ]] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
  e2e_stop
}
trap cleanup EXIT
e2e_start_xvfb
echo "display $DISPLAY, Wine prefix $prefix"

demo_ball_colours "$pictures/ball3d.bmp" "$output/ball-colours.txt"
rm -f "$output/sprite_demo.png" "$output/canvas.png"
windows_program=$(timeout 60 "$wine_run" "$prefix" winepath -w "$program" | tr -d '\r') || true
[[ -n $windows_program ]] || { echo "winepath failed"; exit 1; }

# The driver asks for the screenshot once the caption has its shape and waits for
# an answer line, through a pair of pipes. The timeout ends it (and, through its
# job, the demo) should it hang.
mkfifo "$E2E_TMP/to-driver" "$E2E_TMP/from-driver"
timeout -k 5 100 "$wine_run" "$prefix" "$driver" "$windows_program" "$DEMO_CAPTION_RE" \
  <"$E2E_TMP/to-driver" >"$E2E_TMP/from-driver" 2>&1 &
driver_pid=$!
exec {to_driver}>"$E2E_TMP/to-driver" {from_driver}<"$E2E_TMP/from-driver"
# An answer to a driver that has already ended must not end this script.
trap '' PIPE
shot_ok=1
window=()
canvas=()
while IFS= read -r line <&"$from_driver"; do
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
      echo go >&"$to_driver" || true
      ;;
  esac
done
exec {to_driver}>&- {from_driver}<&-
code=0
wait "$driver_pid" || code=$?
echo "driver exit code: $code"
((code == 0)) || exit "$code"
[[ -f $output/sprite_demo.png ]] || { echo "no screenshot was asked for"; exit 1; }
((shot_ok)) || { echo "the screenshot checks failed"; exit 1; }
