#!/usr/bin/env bash
# The run command. On a fresh Debian 12 machine, as root, it installs what is missing, builds the
# shipped 32-bit Notifier.exe (the 64-bit one where this machine refuses 32-bit programs, or when
# DORMIVO_BUILD=win64) and runs it under Wine as the scheduler would: in a throwaway application
# folder, with a Settings.dat that shows the warning window for a few seconds, and the harmless
# action 5 (turn the monitor off, which does nothing under Wine). It shows the window on the
# display when there is one (otherwise on a private Xvfb), saves a screenshot of it, and prints
# the new Log.dat line and where the screenshot is.
#   scripts/run.sh [seconds of countdown, default 8]
# DORMIVO_DPI=144 or 192 shows it at 150 % or 200 % (in a prefix of its own set to that DPI).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
repo=$PWD
seconds=${1:-8}
dpi=${DORMIVO_DPI:-96}

packages=(cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 googletest wine wine64 wine32:i386 xvfb x11-utils imagemagick
  util-linux)
packages+=($(wine_x_libraries))
install_missing "${packages[@]}"

wine_check_loaders
build=${DORMIVO_BUILD:-win32}
if [ "$build" = win32 ] && [ "$DORMIVO_WINE32" != runs ]; then
  echo "== the shipped 32-bit build cannot run here ($DORMIVO_WINE32_PROBLEM); running the 64-bit one"
  build=win64
fi

echo "== building Notifier.exe (preset $build)"
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" --target Notifier >/dev/null

app=$(mktemp -d "${TMPDIR:-/tmp}/dormivo-run.XXXXXX")
cp "build/$build/wine-bin/Notifier.exe" "$app/"
printf '[Settings]\r\nNotify=1\r\nNotifyTimer=%s\r\nPlaySound=0\r\n' "$seconds" >"$app/Settings.dat"
# The Wine prefix is the throwaway one of the build tree, whose home folder is redirected into it;
# another DPI than 96 gets the build tree's DPI prefix, set to it.
export DORMIVO_WINE_ROOT=$repo/build/$build/wine-bin/wine-root
[ "$dpi" != 96 ] && export DORMIVO_WINE_ROOT=$repo/build/$build/wine-bin/wine-root-dpi

notifier_pid=
cleanup() {
  [ -n "$notifier_pid" ] && kill "$notifier_pid" 2>/dev/null || true
  if [ -n "${XVFB_PID:-}" ]; then
    # End the Wine session on the private display before the display itself.
    WINEPREFIX=$DORMIVO_WINE_ROOT/prefix wineserver -k 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
  fi
}
trap cleanup EXIT
start_xvfb
if [ -n "${XVFB_PID:-}" ]; then echo "== no display: using Xvfb on $DISPLAY"; fi

if [ "$dpi" != 96 ]; then
  tests/wine/wine-run.sh reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" \
    /f >/dev/null 2>&1
fi

echo "== starting Notifier.exe 5 \"Run command demo\" -c in $app"
tests/wine/wine-run.sh "$app/Notifier.exe" 5 "Run command demo" -c &
notifier_pid=$!

# The warning window: the top-level "Notifier" window of 474 x 127 pixels at 96 DPI (scaled to
# the DPI), once it is mapped.
width=$(((474 * dpi + 48) / 96))
height=$(((127 * dpi + 48) / 96))
shot=$app/notifier-window.png
window=
for _ in $(seq 600); do
  window=$(xwininfo -root -tree 2>/dev/null |
    awk -v size=" ${width}x${height}+" '/"Notifier"/ && index($0, size) {print $1; exit}')
  if [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q 'IsViewable'; then
    break
  fi
  window=
  sleep 0.1
done
if [ -n "$window" ]; then
  # Past the first second, in which the warning's buttons are greyed.
  sleep 1.5
  geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x "+" y}')
  import -window root -crop "${width}x${height}+$geometry" +repage "$shot"
else
  echo "the warning window did not appear" >&2
fi

status=0
wait "$notifier_pid" || status=$?
notifier_pid=
echo "== Notifier.exe ended with exit code $status"
if [ -f "$app/Log.dat" ]; then
  echo "== new line of $app/Log.dat:"
  tail -n 1 "$app/Log.dat"
else
  echo "== no Log.dat was written" >&2
  status=1
fi
[ -f "$shot" ] && echo "== screenshot of the warning window: $shot"
exit "$status"
