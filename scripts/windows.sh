#!/usr/bin/env bash
# Builds the demo for Windows, 64- and 32-bit, from the same sources with
# mingw-w64: build-win64/bin/sprite_demo.exe and build-win32/bin/sprite_demo.exe,
# each with graphics/ beside it (drawn by the picture generator under Wine), and
# a zip of each (build-win64/sprite-demo-win64.zip, build-win32/sprite-demo-win32.zip).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh windows

for target in win64:x86_64 win32:i686; do
  name=${target%%:*}
  arch=${target##*:}
  build=build-$name
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-$arch.cmake" >/dev/null
  cmake --build "$build" -j2 --target sprite_demo demo_pictures
  (cd "$build" && cpack -G ZIP >/dev/null)
  echo "$build/bin/sprite_demo.exe, $build/sprite-demo-$name.zip"
done
