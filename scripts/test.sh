#!/usr/bin/env bash
# The test command. On a fresh Debian 12 machine, as root, it installs what is missing; then it
# builds every preset and runs every level of tests: native units, the same under ASan and UBSan
# with each fuzz target for a bounded time, the checks of the 32-bit and 64-bit Windows builds,
# and the tests of the real Windows layer and executable under Wine (with Xvfb when there is no
# display).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

packages=(cmake make g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick faketime locales
  util-linux python3)
install_missing "${packages[@]}"
# The locales the time-text tests compare with under Wine.
for wanted in en_US.UTF-8 de_DE.UTF-8; do
  if ! locale -a 2>/dev/null | grep -qi "^${wanted%.UTF-8}.utf8$"; then
    if [ "$(id -u)" -eq 0 ]; then
      sed -i "s/^# *\(${wanted} UTF-8\)/\1/" /etc/locale.gen
      locale-gen >/dev/null
    fi
  fi
done

run_preset() {
  echo "== preset $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

run_preset native
ctest --preset native

run_preset sanitize
ctest --preset sanitize

run_preset win32
scripts/package.sh
ctest --preset win32

run_preset win64
cleanup() {
  WINEPREFIX="$PWD/build/win64/wine-bin/wine-root/prefix" wineserver -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
start_xvfb
ctest --preset win64 --label-exclude dpi
# The DPI runs use a prefix of their own; they run alone, after the other Wine tests' session
# has ended, so that nothing else on the display is left from them.
WINEPREFIX="$PWD/build/win64/wine-bin/wine-root/prefix" wineserver -k 2>/dev/null || true
ctest --preset win64 --label-regex dpi
