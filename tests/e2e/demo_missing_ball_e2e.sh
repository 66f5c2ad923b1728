#!/usr/bin/env bash
# The demo without graphics/ball3d.bmp: the window opens and the loop runs, the
# canvas shows background 1 alone, and the caption still counts 32 sprites.
# Usage: demo_missing_ball_e2e.sh SPRITE-DEMO CLOSE-HELPER [OUTPUT-DIR]
set -euo pipefail
here=$(dirname "$0")
source "$here/e2e_lib.sh"
source "$here/demo_e2e_common.sh"
export E2E_CLOSE_HELPER=$2
output=${3:-$(mktemp -d)}
mkdir -p "$output"

command -v Xvfb >/dev/null || { echo "Xvfb is missing: skipped"; exit 77; }
# The demo reads its pictures beside its executable: a copy of it, with the
# backgrounds but no ball picture.
rm -rf "$output/program"
mkdir -p "$output/program/graphics"
cp "$1" "$output/program/sprite_demo"
cp "$(dirname "$1")"/graphics/bkgnd*.bmp "$output/program/graphics/"
/usr/bin/convert "$output/program/graphics/bkgnd1.bmp" "$output/bkgnd1.png"

trap e2e_stop EXIT
e2e_start_xvfb
e2e_launch "$output/program/sprite_demo"
window=$(e2e_wait_window '^Sprite Demo')
[[ -n "$window" ]] || { echo "no window titled 'Sprite Demo'"; exit 1; }
caption=$(e2e_wait_title "$window" "$DEMO_CAPTION_RE")
echo "caption: $caption"
[[ $caption == "Sprite Demo:     32 Sprites ("* ]] || { echo "the caption does not count 32"; exit 1; }

demo_canvas "$window" "$output/canvas.png"
differing=$(demo_differing "$output/canvas.png" "$output/bkgnd1.png")
echo "pixels off background 1: $differing"
((differing == 0)) || { echo "the canvas shows more than background 1"; exit 1; }

e2e_close_window "$window"
code=0
e2e_wait_exit 2 || code=$?
echo "exit code: $code"
exit "$code"
