#!/usr/bin/env bash
# Builds and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [[ ! -x build/bin/sprite_demo ]]; then
  echo "Built. The demo program does not exist yet."
  exit 0
fi
exec build/bin/sprite_demo
