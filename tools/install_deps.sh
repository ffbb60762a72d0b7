#!/usr/bin/env bash
# Installs the Debian packages one use of the source tree needs, skipping those
# already present. Uses sudo when not run as root.
#   tools/install_deps.sh play     building and playing (./play)
#   tools/install_deps.sh test     the same plus the test tools (./test)
#   tools/install_deps.sh checks   the same plus clang with its sanitizer and
#                                  fuzzer runtimes and llvm-symbolizer, for
#                                  tools/deep_check.sh
set -euo pipefail

play_packages=(
  build-essential cmake pkg-config
  libsdl2-dev libx11-dev libxext-dev libcairo2-dev
  fonts-liberation fonts-dejavu-core fontconfig
)
test_packages=(
  libgtest-dev googletest libbenchmark-dev
  xvfb xdotool x11-utils
  desktop-file-utils appstream man-db groff-base
  dpkg-dev file
)

check_packages=(
  clang libclang-rt-14-dev llvm
)

case "${1:-}" in
  play) packages=("${play_packages[@]}") ;;
  test) packages=("${play_packages[@]}" "${test_packages[@]}") ;;
  checks) packages=("${play_packages[@]}" "${test_packages[@]}" "${check_packages[@]}") ;;
  *) echo "usage: $0 play|test|checks" >&2; exit 2 ;;
esac

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
