#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Prints nothing when everything is already installed.
#   deps.sh            what the Linux build, its tests and the demo need
#   deps.sh windows    also the Windows cross builds and Wine (64- and 32-bit;
#                      the latter needs the i386 architecture, enabled here)
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

if [[ ${1:-} == windows ]]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
