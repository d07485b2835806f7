#!/usr/bin/env bash
# The test command. On a fresh Debian 12 machine, as root, it installs what is missing; then it
# builds every preset and runs every level of tests: native units, the same under ASan and UBSan
# with each fuzz target for a bounded time, the checks of the 32-bit and 64-bit Windows builds,
# and the tests of the real Windows layer and executable under Wine (with Xvfb when there is no
# display), once for the shipped 32-bit build and once for the 64-bit one. On a machine whose
# kernel does not run 32-bit programs the 32-bit Wine level cannot run: the command says so at the
# start and at the end, and runs the 64-bit level through the 64-bit Wine loader.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

packages=(cmake make g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick faketime
  locales util-linux python3)
packages+=($(wine_x_libraries))
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

# Whether this machine runs 32-bit programs decides which Wine levels can run.
wine_check_loaders
echo "== $(wine_loaders_line)"

run_preset() {
  echo "== preset $1"
  cmake --preset "$@" >/dev/null
  cmake --build --preset "$1"
}

run_preset native
ctest --preset native

run_preset sanitize
ctest --preset sanitize

# Everything that starts Wine below shares one display (CTest starts the Wine test programs to list
# their tests). Each build has its own prefixes beside its programs.
prefixes() {
  local bin=$PWD/build/$1/wine-bin
  echo "$bin/wine-root/prefix" "$bin/wine-root-dpi/prefix"
}
end_wine_sessions() {
  local prefix
  for prefix in $(prefixes "$1"); do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
}
cleanup() {
  end_wine_sessions win32
  end_wine_sessions win64
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
start_xvfb

# The shipped build's Wine tests are registered only where its loader runs: CTest starts the test
# program to list them.
wine32_tests=ON
[ "$DORMIVO_WINE32" = runs ] || wine32_tests=OFF
run_preset win32 -DDORMIVO_WINE_TESTS=$wine32_tests
scripts/package.sh
ctest --preset win32 --label-exclude wine

run_preset win64
ctest --preset win64 --label-exclude wine

# wine_level <preset>: runs the build's Wine tests; sets level_result to what happened.
wine_level() {
  local started=$SECONDS status=0
  echo "== Wine level of the $1 build"
  # One warm session for these tests: the session's services and desktop stay up from one test to
  # the next instead of starting anew for each. They are started here, outside CTest, since they
  # keep the output files of the process that started them open.
  local root=$PWD/build/$1/wine-bin/wine-root
  DORMIVO_WINE_ROOT=$root tests/wine/wine-run.sh wineboot >/dev/null 2>&1  # makes the prefix
  WINEPREFIX=$root/prefix wineserver -p
  DORMIVO_WINE_ROOT=$root tests/wine/wine-run.sh wineboot >/dev/null 2>&1
  ctest --preset "$1" --label-regex wine --label-exclude dpi || status=1
  # The DPI runs use a prefix of their own; they run alone, after the other Wine tests' session
  # has ended, so that nothing else on the display is left from them.
  end_wine_sessions "$1"
  ctest --preset "$1" --label-regex dpi || status=1
  end_wine_sessions "$1"
  local took="$((SECONDS - started)) s"
  if [ "$status" -eq 0 ]; then
    level_result="passed ($took)"
  else
    level_result="FAILED ($took)"
  fi
  return "$status"
}

failed=0
if [ "$DORMIVO_WINE32" = runs ]; then
  wine_level win32 || failed=1
  result32=$level_result
else
  result32="did NOT run on this machine: $DORMIVO_WINE32_PROBLEM"
fi
wine_level win64 || failed=1
result64=$level_result

echo "== Wine level, 32-bit build (shipped): $result32"
echo "== Wine level, 64-bit build: $result64"
if [ "$DORMIVO_WINE32" != runs ]; then
  echo "== The shipped 32-bit Notifier.exe was NOT tested under Wine here; run scripts/test.sh on" \
    "a machine that runs 32-bit programs for that."
fi
exit "$failed"
