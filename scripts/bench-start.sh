#!/usr/bin/env bash
# Benchmarks of Notifier.exe under Wine (figures, not tests): the shipped 32-bit build (preset
# win32) and the 64-bit one (win64) in the same run, each against two yardsticks built by the same
# preset:
#   minimal_timer.exe  the least windowed program with a countdown: one hidden window, a
#                      one-second timer, exit after one tick;
#   minimal_form.exe   the least that the executor's start must do: also initialises COM, loads
#                      common controls version 6 and creates the hidden form with the executor's
#                      controls, its two fonts and its two timers, exit after one tick.
# For each build:
#   1. time from process start until the countdown runs (the window that owns its timer exists),
#      and peak memory (maximum resident set of the Wine process);
#   2. processor time (user + system) of a 10-second countdown;
#   3. when the log line is written for NotifyTimer 10, after start and after the countdown began.
# Notifier.exe runs with action 9, which is logged and performs nothing. Each build runs in its own
# prefix with a warm Wine session, as on a machine where Windows is already running. The runs take
# turns (each round runs every program of every build once), so that a change in the machine's
# load falls on all of them alike; the figures are the medians. The 32-bit build is measured only
# where the 32-bit Wine loader runs; otherwise the script says so.
#   scripts/bench-start.sh [runs, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
repo=$PWD
runs=${1:-5}

packages=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 googletest wine wine64 wine32:i386 xvfb x11-utils time bc util-linux)
install_missing "${packages[@]}"
wine_check_loaders
echo "== $(wine_loaders_line)"
builds=(win64)
[ "$DORMIVO_WINE32" = runs ] && builds=(win32 win64)
for build in "${builds[@]}"; do
  cmake --preset "$build" >/dev/null
  cmake --build --preset "$build" --target Notifier bench_start minimal_timer minimal_form \
    >/dev/null
done

work=$(mktemp -d "${TMPDIR:-/tmp}/dormivo-bench.XXXXXX")
cleanup() {
  for build in "${builds[@]}"; do
    WINEPREFIX=$repo/build/$build/wine-bin/wine-root/prefix wineserver -k 2>/dev/null || true
  done
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb

winpath() { local path=$1; echo "Z:${path//\//\\}"; }  # a host path on Wine's Z: drive
median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
ratio() { echo "scale=2; $1 / $2" | bc -l | sed 's/^\./0./'; }

# The programs of each build, in its own folder, and a warm session in each build's prefix.
for build in "${builds[@]}"; do
  bin=$repo/build/$build/wine-bin
  here=$work/$build
  for timer in 1 10; do
    mkdir -p "$here/notifier$timer"
    cp "$bin/Notifier.exe" "$here/notifier$timer/"
    printf '[Settings]\r\nNotifyTimer=%s\r\n' "$timer" >"$here/notifier$timer/Settings.dat"
  done
  cp "$bin/bench_start.exe" "$bin/minimal_timer.exe" "$bin/minimal_form.exe" "$here/"
  DORMIVO_WINE_ROOT=$bin/wine-root tests/wine/wine-run.sh wineboot >/dev/null 2>&1
  WINEPREFIX=$bin/wine-root/prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$bin/wine-root/prefix wineserver -p
  DORMIVO_WINE_ROOT=$bin/wine-root tests/wine/wine-run.sh wineboot >/dev/null 2>&1
done

# Samples by "<build> <figure> <program>", each a list of values.
declare -A samples
add() { samples["$1"]+="$2 "; }
med() { printf '%s\n' ${samples["$1"]} | median; }
# wine_in <build> <command...>: runs a Windows command of the build in its prefix.
wine_in() {
  local build=$1
  shift
  DORMIVO_WINE_ROOT=$repo/build/$build/wine-bin/wine-root tests/wine/wine-run.sh "$@"
}
# Starts a program by bench_start <count> times in a row and prints the last run's line. A count of
# 2 counts only a start that follows another start of the same program.
start_once() {  # start_once <build> <count> <window class> <log file or -> <program> [arguments...]
  local build=$1
  shift
  wine_in "$build" "$work/$build/bench_start.exe" "$@" 2>/dev/null |
    sed -n 's/^run [0-9]*: //p' | tail -n 1
}
# One run under /usr/bin/time; prints "cpu_seconds max_rss_kib".
time_once() {  # time_once <build> <program> [arguments...]
  local build=$1 user system kib
  shift
  /usr/bin/time -f '%U %S %M' -o "$work/time.txt" \
    env DORMIVO_WINE_ROOT="$repo/build/$build/wine-bin/wine-root" tests/wine/wine-run.sh "$@" \
    >/dev/null 2>&1
  read -r user system kib <"$work/time.txt"
  echo "$(echo "$user + $system" | bc -l) $kib"
}

echo "== $runs rounds"
for round in $(seq "$runs"); do
  for build in "${builds[@]}"; do
    here=$work/$build
    for program in Notifier MinimalTimer MinimalForm; do
      case $program in
        Notifier) line=(TfrmExecute - "$(winpath "$here/notifier1/Notifier.exe")" 9 bench) ;;
        MinimalTimer) line=(MinimalTimer - "$(winpath "$here/minimal_timer.exe")") ;;
        MinimalForm) line=(MinimalForm - "$(winpath "$here/minimal_form.exe")") ;;
      esac
      result=$(start_once "$build" 2 "${line[@]}")
      add "$build start $program" "$(echo "$result" | sed 's/^running after \([0-9.]*\) ms.*/\1/')"
    done
    read -r cpu kib < <(time_once "$build" "$here/notifier1/Notifier.exe" 9 bench)
    add "$build cpu Notifier" "$cpu"
    add "$build rss Notifier" "$kib"
    read -r cpu kib < <(time_once "$build" "$here/minimal_timer.exe")
    add "$build cpu MinimalTimer" "$cpu"
    add "$build rss MinimalTimer" "$kib"
    read -r cpu kib < <(time_once "$build" "$here/minimal_form.exe")
    add "$build cpu MinimalForm" "$cpu"
    add "$build rss MinimalForm" "$kib"
    read -r cpu _ < <(time_once "$build" "$here/notifier10/Notifier.exe" 9 bench)
    add "$build cpu10 Notifier" "$cpu"
    result=$(start_once "$build" 1 TfrmExecute "$(winpath "$here/notifier10/Log.dat")" \
      "$(winpath "$here/notifier10/Notifier.exe")" 9 bench)
    add "$build log Notifier" "$(echo "$result" | sed 's/.*log after \([0-9.]*\) ms.*/\1/')"
    add "$build logcount Notifier" \
      "$(echo "$result" | sed 's/.*(\([0-9.-]*\) ms after running).*/\1/')"
  done
  echo "round $round done"
done

for build in "${builds[@]}"; do
  arch=64-bit
  [ "$build" = win32 ] && arch="32-bit, shipped"
  n=$(med "$build start Notifier") t=$(med "$build start MinimalTimer")
  f=$(med "$build start MinimalForm")
  echo
  echo "=== $build build ($arch), medians of $runs runs"
  echo "start until the countdown runs: Notifier.exe $n ms, minimal_timer $t ms, minimal_form $f" \
    "ms; Notifier.exe / yardstick: $(ratio "$n" "$t"), $(ratio "$n" "$f")"
  n=$(med "$build rss Notifier") t=$(med "$build rss MinimalTimer")
  f=$(med "$build rss MinimalForm")
  echo "peak memory: Notifier.exe $n KiB, minimal_timer $t KiB, minimal_form $f KiB;" \
    "Notifier.exe / yardstick: $(ratio "$n" "$t"), $(ratio "$n" "$f")"
  n=$(med "$build cpu Notifier") t=$(med "$build cpu MinimalTimer")
  f=$(med "$build cpu MinimalForm")
  echo "processor time of a one-tick run: Notifier.exe $n s, minimal_timer $t s, minimal_form $f s"
  n=$(med "$build cpu10 Notifier")
  echo "processor time of a 10-second countdown: Notifier.exe $n s; against one tick of the" \
    "yardsticks: $(ratio "$n" "$t"), $(ratio "$n" "$f")"
  echo "log line for NotifyTimer 10: $(med "$build log Notifier") ms after the start," \
    "$(med "$build logcount Notifier") ms after the countdown began"
done

if [ "$DORMIVO_WINE32" != runs ]; then
  echo
  echo "== The shipped 32-bit build was NOT measured: $DORMIVO_WINE32_PROBLEM"
fi
