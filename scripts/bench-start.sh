#!/usr/bin/env bash
# Benchmarks of Notifier.exe under Wine (figures, not tests), against the yardstick
# minimal_timer.exe, the least windowed program with a countdown (one hidden window, a one-second
# timer, exit after one tick):
#   1. time from process start until the countdown runs (the window that owns its timer exists),
#      and peak memory (maximum resident set of the Wine process);
#   2. processor time (user + system) of a 10-second countdown;
#   3. when the log line is written for NotifyTimer 10, after start and after the countdown began.
# Notifier.exe runs with action 9, which is logged and performs nothing.
#   scripts/bench-start.sh [runs, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
repo=$PWD
runs=${1:-5}

packages=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine wine64
  xvfb x11-utils time bc util-linux)
install_missing "${packages[@]}"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Notifier bench_start minimal_timer >/dev/null
bin=$repo/build/win64/wine-bin
export DORMIVO_WINE_ROOT=$bin/wine-root

work=$(mktemp -d "${TMPDIR:-/tmp}/dormivo-bench.XXXXXX")
cleanup() {
  WINEPREFIX=$DORMIVO_WINE_ROOT/prefix wineserver -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb

# A warm Wine session, as on a machine where Windows is already running.
tests/wine/wine-run.sh wineboot >/dev/null 2>&1
WINEPREFIX=$DORMIVO_WINE_ROOT/prefix wineserver -k 2>/dev/null || true
WINEPREFIX=$DORMIVO_WINE_ROOT/prefix wineserver -p
tests/wine/wine-run.sh wineboot >/dev/null 2>&1
app() {  # app <folder> <NotifyTimer>
  mkdir -p "$1"
  cp "$bin/Notifier.exe" "$1/"
  printf '[Settings]\r\nNotifyTimer=%s\r\n' "$2" >"$1/Settings.dat"
}
app "$work/one" 1
app "$work/ten" 10
cp "$bin/minimal_timer.exe" "$work/"

winpath() { local path=$1; echo "Z:${path//\//\\}"; }  # a host path on Wine's Z: drive
median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
# Runs a program <runs> times under /usr/bin/time; prints the medians "cpu_seconds max_rss_kib".
measure() {
  local cpu=() rss=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%U %S %M' -o "$work/time.txt" tests/wine/wine-run.sh "$@" >/dev/null 2>&1
    read -r user system kib <"$work/time.txt"
    cpu+=("$(echo "$user + $system" | bc -l)")
    rss+=("$kib")
  done
  echo "$(printf '%s\n' "${cpu[@]}" | median) $(printf '%s\n' "${rss[@]}" | median)"
}
started() {  # started <window class> <command...>: median milliseconds until the countdown runs
  tests/wine/wine-run.sh "$bin/bench_start.exe" "$runs" "$@" 2>/dev/null |
    sed -n 's/^median: running after \([0-9.]*\) ms.*/\1/p'
}

echo "== start until the countdown runs ($runs runs each, median)"
start_notifier=$(started TfrmExecute - "$(winpath "$work/one/Notifier.exe")" 9 bench)
start_minimal=$(started MinimalTimer - "$(winpath "$work/minimal_timer.exe")")
echo "Notifier.exe: $start_notifier ms   minimal program: $start_minimal ms   ratio: $(echo "scale=3; $start_notifier / $start_minimal" | bc -l)"

echo "== peak memory and processor time of a one-tick run"
read -r cpu_one rss_notifier < <(measure "$work/one/Notifier.exe" 9 bench)
read -r cpu_minimal rss_minimal < <(measure "$work/minimal_timer.exe")
echo "Notifier.exe (NotifyTimer 1): $rss_notifier KiB, $cpu_one s   minimal program: $rss_minimal KiB, $cpu_minimal s   memory ratio: $(echo "scale=3; $rss_notifier / $rss_minimal" | bc -l)"

echo "== processor time of a 10-second countdown"
read -r cpu_ten _ < <(measure "$work/ten/Notifier.exe" 9 bench)
echo "Notifier.exe (NotifyTimer 10): $cpu_ten s   minimal program (one tick): $cpu_minimal s   ratio: $(echo "scale=3; $cpu_ten / $cpu_minimal" | bc -l)"

echo "== moment of the log line for NotifyTimer 10"
tests/wine/wine-run.sh "$bin/bench_start.exe" "$runs" TfrmExecute "$(winpath "$work/ten/Log.dat")" \
  "$(winpath "$work/ten/Notifier.exe")" 9 bench 2>/dev/null
