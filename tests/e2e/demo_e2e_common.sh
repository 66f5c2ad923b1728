# Shared by the demo's end-to-end tests: reading the canvas out of screenshots.
# Source after e2e_lib.sh. The canvas is client pixels 0..799 x 0..599; button k
# (1..11) is centred at (880, 40 k - 20).

DEMO_CAPTION_RE='^Sprite Demo:    [ -][0-9]+ Sprites \( 140 X 140 pixels\) displaying at [0-9]{4,}\.[0-9]{2} Frames/sec$'

demo_button() {
  e2e_click "$1" 880 $((40 * $2 - 20))
}

# demo_canvas WINDOW FILE: a screenshot of the canvas alone.
demo_canvas() {
  local whole="${2%.png}-window.png"
  e2e_screenshot "$1" "$whole" && /usr/bin/convert "$whole" -crop 800x600+0+0 +repage "$2"
}

# demo_count FILE AWK-CONDITION: how many pixels satisfy the condition on r, g, b.
demo_count() {
  /usr/bin/convert "$1" -depth 8 -format %c histogram:info:- |
    awk -v FS='[ :(),]+' "{ n = \$2; r = \$3; g = \$4; b = \$5; if ($2) total += n } END { print total + 0 }"
}

DEMO_MAGENTA='r > 150 && b > 150 && g < 100'

# demo_ball_colours BALL-BMP FILE: the colours of the ball in frame 1, one
# "r,g,b" a line, for demo_ball_pixels.
demo_ball_colours() {
  /usr/bin/convert "$1" -crop 140x140+0+0 +repage -depth 8 -format %c histogram:info:- |
    awk -v FS='[ :(),]+' '!($3 == 255 && $4 == 0 && $5 == 255) { print $3 "," $4 "," $5 }' >"$2"
}

# demo_ball_pixels FILE COLOURS: how many pixels show a colour of the opaque ball.
# Translucent balls mix with the background and show almost none.
demo_ball_pixels() {
  /usr/bin/convert "$1" -depth 8 -format %c histogram:info:- |
    awk -v FS='[ :(),]+' 'NR == FNR { ball[$0] = 1; next } ($3 "," $4 "," $5) in ball { total += $2 }
      END { print total + 0 }' "$2" -
}

# demo_differing FILE PICTURE: how many pixels differ between the two pictures.
demo_differing() {
  # compare exits with 1 when the pictures differ; the count is on stderr.
  { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 >/dev/null || true; } | awk '{ print int($1) }'
}

# demo_poll SECONDS COMMAND...: runs the command every 0.2 s until it succeeds.
demo_poll() {
  local tries=$(($1 * 5))
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# demo_shows_background FILE SHOWN OTHER: the canvas picture shows background
# picture SHOWN (at least a tenth of its pixels, whatever the balls cover) and
# nothing of picture OTHER (under 1 %).
demo_shows_background() {
  local pixels=$((800 * 600))
  local off_shown off_other
  off_shown=$(demo_differing "$1" "$2")
  off_other=$(demo_differing "$1" "$3")
  echo "$((pixels - off_shown)) pixels of $(basename "$2"), $((pixels - off_other)) of $(basename "$3")" >&2
  ((pixels - off_shown >= pixels / 10 && pixels - off_other < pixels / 100))
}
