#!/usr/bin/env bash
# Makes the Debian package with CPack, unpacks it and finds the installed
# files under /usr, with a Depends line worked out from the linked libraries.
#   debian_package.sh BUILD_DIR GAME_BINARY
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/install_common.bash"
build=$(readlink -f "$1")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack"; }
packages=("$scratch"/*.deb)
[ ${#packages[@]} = 1 ] && [ -f "${packages[0]}" ] || fail "expected one package, found: ${packages[*]}"
package=${packages[0]}

dpkg-deb -x "$package" "$scratch/root"
[ "$(ls "$scratch/root")" = usr ] || fail "the package installs outside /usr: $(ls "$scratch/root")"
check_file_list "$scratch/root/usr"

depends=$(dpkg-deb -f "$package" Depends)
for library in libsdl2 libcairo2 libc6; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
echo "PASS: $(basename "$package"), Depends: $depends"
