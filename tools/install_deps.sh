#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, play and test, skipping
# those already present. Uses sudo when not run as root. With --checks it also
# installs what tools/deep_check.sh needs (clang with its sanitizer and fuzzer
# runtimes, and llvm-symbolizer for readable reports); ./play and ./test never
# ask for those.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libcairo2-dev
  fonts-liberation fonts-dejavu-core fontconfig
  libgtest-dev googletest libbenchmark-dev
  xvfb xdotool x11-utils
)

check_packages=(
  clang libclang-rt-14-dev llvm
)

if [ "${1:-}" = "--checks" ]; then packages+=("${check_packages[@]}"); fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
