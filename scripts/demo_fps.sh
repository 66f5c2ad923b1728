#!/usr/bin/env bash
# The demo's caption frame rate in Xvfb: each program given (default
# build/bin/sprite_demo) runs FPS_ROUNDS times (default 3), the programs taking
# turns, for FPS_SECONDS (default 8) opaque and as long with "AlphaBlend ON",
# both at "Speed: None". Prints the median and the best caption of every run.
#   scripts/demo_fps.sh [PROGRAM ...]
set -euo pipefail
cd "$(dirname "$0")/.."
programs=("$@")
((${#programs[@]})) || programs=(build/bin/sprite_demo)
rounds=${FPS_ROUNDS:-3}
seconds=${FPS_SECONDS:-8}
source tests/e2e/e2e_lib.sh
source tests/e2e/demo_e2e_common.sh
export E2E_CLOSE_HELPER=$PWD/build/bin/x_close_window
trap e2e_stop EXIT
e2e_start_xvfb

# Collects the frame rate of every new caption for `seconds`; prints "median best".
sample() {
  local window=$1 last="" now end=$((SECONDS + seconds)) rates=()
  while ((SECONDS < end)); do
    now=$(e2e_window_title "$window" 2>/dev/null || true)
    if [[ $now != "$last" && $now =~ displaying\ at\ ([0-9.]+) ]]; then
      rates+=("${BASH_REMATCH[1]}")
      last=$now
    fi
    sleep 0.05
  done
  printf '%s\n' "${rates[@]}" | sort -n | awk '{ v[NR] = $1 } END { printf "%.0f %.0f (%d captions)", v[int((NR + 1) / 2)], v[NR], NR }'
}

for ((round = 1; round <= rounds; ++round)); do
  for program in "${programs[@]}"; do
    e2e_launch "$program"
    window=$(e2e_wait_window '^Sprite Demo')
    sleep 1  # past the first captions
    opaque=$(sample "$window")
    demo_button "$window" 1  # AlphaBlend ON
    sleep 0.5
    blended=$(sample "$window")
    e2e_close_window "$window"
    e2e_wait_exit 10 || true
    echo "round $round  $program  opaque: $opaque  AlphaBlend ON: $blended"
  done
done
