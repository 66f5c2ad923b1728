#!/usr/bin/env bash
# The example dialog on a real X server: its window appears with its title, a
# click on its button changes the picture it shows, and the close box ends the
# program with exit code 0.
# Usage: example_dialog_e2e.sh EXAMPLE-PROGRAM CLOSE-HELPER [OUTPUT-DIR]
set -euo pipefail
here=$(dirname "$0")
source "$here/e2e_lib.sh"
program=$1
export E2E_CLOSE_HELPER=$2
output=${3:-$(mktemp -d)}
mkdir -p "$output"

command -v Xvfb >/dev/null || { echo "Xvfb is missing: skipped"; exit 77; }
trap e2e_stop EXIT
e2e_start_xvfb
e2e_launch "$program"
window=$(e2e_wait_window '^Example Dialog$')
[[ -n "$window" ]] || { echo "no window titled 'Example Dialog'"; exit 1; }
echo "window $window: $(e2e_window_title "$window")"

# The picture (red) fills client pixels 20..259 x 20..179; the button sits at 276..347 x 20..47.
picture_before=""
for _ in $(seq 50); do
  e2e_screenshot "$window" "$output/before.png"
  picture_before=$(e2e_pixel "$output/before.png" 140 100)
  [[ "$picture_before" == "200,30,30" ]] && break
  sleep 0.1
done
[[ "$picture_before" == "200,30,30" ]] || { echo "picture before the click: $picture_before"; exit 1; }

e2e_click "$window" 312 34
title=$(e2e_wait_title "$window" '^Example Dialog: 1 clicks$')
echo "title after the click: $title"
picture_after=""
for _ in $(seq 50); do
  e2e_screenshot "$window" "$output/after.png"
  picture_after=$(e2e_pixel "$output/after.png" 140 100)
  [[ "$picture_after" == "30,30,200" ]] && break
  sleep 0.1
done
[[ "$picture_after" == "30,30,200" ]] || { echo "picture after the click: $picture_after"; exit 1; }

e2e_close_window "$window"
code=0
e2e_wait_exit 10 || code=$?
echo "exit code: $code"
exit "$code"
