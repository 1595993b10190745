#!/usr/bin/env bash
# Installs what building and testing Quillet needs on Debian 12 (as root).
# Usage: scripts/install-deps.sh [native|windows|fuzz|coverage|all]   (default: all)
set -euo pipefail

what=${1:-all}
native=(g++ cmake ninja-build googletest libgtest-dev libgmock-dev libbenchmark-dev wamerican scowl)
windows=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine fonts-wine xvfb xdotool x11-utils imagemagick
         fp-utils nsis)
fuzz=(clang)
coverage=(gcovr)

packages=("${native[@]}")
case "$what" in
  native) ;;
  windows) packages+=("${windows[@]}") ;;
  fuzz) packages+=("${fuzz[@]}") ;;
  coverage) packages+=("${coverage[@]}") ;;
  all) packages+=("${windows[@]}" "${fuzz[@]}") ;;
  *) echo "usage: $0 [native|windows|fuzz|coverage|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends "${missing[@]}"
