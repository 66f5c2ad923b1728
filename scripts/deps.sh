#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Prints nothing when everything is already installed.
set -euo pipefail

packages=(
  g++ clang cmake ninja-build pkg-config
  libsdl2-dev libsdl2-ttf-dev libpixman-1-dev libpng-dev
  googletest libgtest-dev libbenchmark-dev
  fonts-dejavu-core
  libclang-rt-14-dev
  xvfb xauth xdotool imagemagick x11-utils libx11-dev
  gnuplot-nox jq
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
