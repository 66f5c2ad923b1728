#!/usr/bin/env bash
# Builds the benchmarks and runs them, then prints the tables of medians per frame:
# the compositor, SDL2, pixman and memcpy on the demo's scene, then the scaling
# cases (more balls, smaller balls, larger canvases) beside their memcpy baselines.
# Extra arguments go to the benchmark program, e.g. --benchmark_filter=compositor,
# or --benchmark_filter=scale for the scaling cases alone.
# BENCH_REPETITIONS sets the number of runs per case (default 9). The results are
# also written to build/bench.json, which scripts/bench_plot.sh plots.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target sprite_bench
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "CPU:  $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores"
exec build/bin/sprite_bench --benchmark_repetitions="${BENCH_REPETITIONS:-9}" \
  --benchmark_report_aggregates_only=true \
  --benchmark_out=build/bench.json --benchmark_out_format=json "$@"
