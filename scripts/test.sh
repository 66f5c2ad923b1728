#!/usr/bin/env bash
# Builds the project and runs every test: once in a normal build, then the unit
# tests and a short soak again under AddressSanitizer and UndefinedBehaviorSanitizer
# (leak checking on), then every fuzz target once over its seed corpus in a clang
# build, and last the Windows builds' tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSPRITE_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j2

# A leak that goes unreported would let every leak through: a program that leaks
# on purpose must fail under the same compiler, flags and options.
probe=build-sanitize/leak_probe
printf '#include <cstdlib>\nvoid* volatile kept;\nint main() { kept = std::malloc(64); kept = nullptr; }\n' \
  | c++ -x c++ -fsanitize=address,undefined -g -o "$probe" -
if "$probe" 2>"$probe.log" || ! grep -q "LeakSanitizer: detected memory leaks" "$probe.log"; then
  echo "Leak checking does not work here; see $probe.log" >&2
  exit 1
fi

# The unit tests, and the short soak with its leak check at exit.
ctest --test-dir build-sanitize --output-on-failure -j2 -L "unit|soak"

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSPRITE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2 --target fuzz_targets
ctest --test-dir build-fuzz --output-on-failure -j2 -L fuzz

# The Windows builds, 64- and 32-bit, cross-built with mingw-w64 by the README's
# Windows command, then the rest of each build: the engine and demo suites, the
# example and the end-to-end test, under Wine in a virtual X server, each build
# with a fresh Wine prefix of its own.
./scripts/windows.sh
for build in build-win64 build-win32; do
  rm -rf "$build/wineprefix" "$build/e2e-wineprefix"
  cmake --build "$build" -j2
  # One test program at a time: they share one desktop, whose activation and
  # keyboard focus a window of another test would take. The example runs once
  # first, alone, so that the new prefix's desktop process is up before the tests
  # start (two first programs at once were seen to hang on their way out).
  xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp" bash -c \
    'cmake/wine_run.sh "$PWD/$1/wineprefix" "$1/bin/engine_example.exe" 1 >/dev/null &&
     ctest --test-dir "$1" --output-on-failure' _ "$build"
done
