#!/usr/bin/env bash
# Plots the scaling benchmark from sprite_bench's JSON output: ms per frame against
# the number of balls (800 x 600 canvas; balls of 140 x 140 and 32 x 32, opaque and
# 50 %) and against the canvas area (32 and 1000 opaque balls of 140 x 140), each
# with the memcpy of the same bytes on the same axes. Medians when the run had
# repetitions, else the single runs.
#
#   scripts/bench_plot.sh [results.json] [picture.png]
#
# The defaults are build/bench.json, which scripts/bench.sh writes, and
# bench/scale.png.
set -euo pipefail
cd "$(dirname "$0")/.."
results=${1:-build/bench.json}
picture=${2:-bench/scale.png}
./scripts/deps.sh

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

# One line per scaling benchmark: kind, width, height, ball size, balls, opacity, ms.
jq -r '
  def ms: .cpu_time * ({"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}[.time_unit]);
  [.benchmarks[] | select(.run_name | test("^scale(_memcpy)?/"))]
  | group_by(.run_name)[]
  | (map(select(.run_type == "aggregate" and .aggregate_name == "median"))
     + map(select(.run_type == "iteration")))[0]
  | (.run_name | capture("^(?<kind>[a-z_]+)/(?<w>[0-9]+)x(?<h>[0-9]+)/(?<size>[0-9]+)px/n(?<n>[0-9]+)/(?<op>.+)$")) as $c
  | [$c.kind, $c.w, $c.h, $c.size, $c.n, $c.op, ms] | @tsv' "$results" > "$data/all.tsv"
if [[ ! -s "$data/all.tsv" ]]; then
  echo "no scaling results in $results (run scripts/bench.sh --benchmark_filter=scale)" >&2
  exit 1
fi

# Against the number of balls: n, ms.
for kind in scale scale_memcpy; do
  for size in 140 32; do
    for op in opaque 50%; do
      awk -F'\t' -v k="$kind" -v s="$size" -v o="$op" \
        '$1 == k && $2 == 800 && $3 == 600 && $4 == s && $6 == o { print $5, $7 }' "$data/all.tsv" |
        sort -n > "$data/count_${kind}_${size}_${op%\%}.dat"
    done
  done
  # Against the canvas area in megapixels: area, ms.
  for n in 32 1000; do
    awk -F'\t' -v k="$kind" -v n="$n" '$1 == k && $4 == 140 && $5 == n && $6 == "opaque" { print $2 * $3 / 1e6, $7 }' \
      "$data/all.tsv" | sort -n > "$data/area_${kind}_${n}.dat"
  done
done

gnuplot <<EOF
set terminal pngcairo size 1400,560 font "DejaVu Sans,11"
set output "$picture"
set multiplot layout 1,2 title "One animation step per frame (SpriteMove of every ball, SpriteUpdateCanvas), headless; memcpy of the same bytes beside it"
set logscale xy
set grid
set key top left
set ylabel "ms per frame (median CPU time)"

set title "Against the number of balls, 800 x 600 canvas"
set xlabel "balls"
set xrange [26:1200]
set xtics (32, 64, 128, 256, 512, 1000)
plot "$data/count_scale_140_opaque.dat" with linespoints lw 2 pt 7 lc rgb "#1f5fbf" title "engine, 140 x 140, opaque", \
     "$data/count_scale_140_50.dat" with linespoints lw 2 pt 5 lc rgb "#6fa0e8" title "engine, 140 x 140, 50 %", \
     "$data/count_scale_memcpy_140_opaque.dat" with linespoints lw 2 dt 2 pt 6 lc rgb "#1f5fbf" title "memcpy, 140 x 140", \
     "$data/count_scale_32_opaque.dat" with linespoints lw 2 pt 7 lc rgb "#c0392b" title "engine, 32 x 32, opaque", \
     "$data/count_scale_32_50.dat" with linespoints lw 2 pt 5 lc rgb "#e8867a" title "engine, 32 x 32, 50 %", \
     "$data/count_scale_memcpy_32_opaque.dat" with linespoints lw 2 dt 2 pt 6 lc rgb "#c0392b" title "memcpy, 32 x 32"

set title "Against the canvas area, balls of 140 x 140, opaque"
set xlabel "canvas megapixels (800 x 600, 1920 x 1080, 2560 x 1440, 3840 x 2160)"
set xrange [0.4:10]
set xtics (0.48, 1, 2, 3.7, 8.3)
plot "$data/area_scale_1000.dat" with linespoints lw 2 pt 7 lc rgb "#1f5fbf" title "engine, 1000 balls", \
     "$data/area_scale_memcpy_1000.dat" with linespoints lw 2 dt 2 pt 6 lc rgb "#1f5fbf" title "memcpy, 1000 balls", \
     "$data/area_scale_32.dat" with linespoints lw 2 pt 7 lc rgb "#c0392b" title "engine, 32 balls", \
     "$data/area_scale_memcpy_32.dat" with linespoints lw 2 dt 2 pt 6 lc rgb "#c0392b" title "memcpy, 32 balls"
unset multiplot
EOF
echo "wrote $picture"
