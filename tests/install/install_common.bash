# Shared by the install checks: what an installation holds, relative to its
# prefix (cmake --install --prefix P, or /usr in the Debian package).

app_id=io.github.gyrovessel.Gyrovessel

expected_files() {
  printf '%s\n' \
    bin/gyrovessel \
    bin/gyrovessel-launch \
    share/applications/$app_id.desktop \
    share/icons/hicolor/128x128/apps/$app_id.png \
    share/icons/hicolor/256x256/apps/$app_id.png \
    share/icons/hicolor/48x48/apps/$app_id.png \
    share/icons/hicolor/scalable/apps/$app_id.svg \
    share/man/man6/gyrovessel.6 \
    share/metainfo/$app_id.metainfo.xml | LC_ALL=C sort
}

fail() {
  echo "FAIL: $*"
  exit 1
}

# Fails unless the files under $1 are exactly the expected ones.
check_file_list() {
  local root=$1 found
  found=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
  if [ "$found" != "$(expected_files)" ]; then
    diff <(expected_files) <(echo "$found") || true
    fail "the files under $root are not the expected ones"
  fi
}
