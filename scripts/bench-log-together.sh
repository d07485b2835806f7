#!/usr/bin/env bash
# Benchmark of tasks that fall due together (figures, not a test): how long the executors wait
# for their turn at the one Log.dat when eight start at the same moment, against one alone.
# Each run is a copy of Notifier.exe in one folder (action 9: logged, performs nothing;
# NotifyTimer=1). Wine's relay trace of the three lock calls, with time stamps, gives for each
# executor its wait for the lock (WaitForSingleObject, call to return) and its whole log step
# (CreateMutexA called until ReleaseMutex returned: the wait, the read and the three saves).
#   scripts/bench-log-together.sh [rounds, default 10] [preset win64|win32, default win64]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
repo=$PWD
rounds=${1:-10}
preset=${2:-win64}
executors=8

case $preset in
  win64) packages=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64) ;;
  win32) packages=(cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386) ;;
  *) echo "preset: win64 or win32" >&2; exit 2 ;;
esac
install_missing "${packages[@]}" xvfb x11-utils util-linux
wine_check_loaders
if [ "$preset" = win32 ] && [ "$DORMIVO_WINE32" != runs ]; then
  echo "the 32-bit build cannot run on this machine: $DORMIVO_WINE32_PROBLEM" >&2
  exit 1
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Notifier >/dev/null
bin=$repo/build/$preset/wine-bin
export DORMIVO_WINE_ROOT=$bin/wine-root
export WINEPREFIX=$DORMIVO_WINE_ROOT/prefix

work=$(mktemp -d "${TMPDIR:-/tmp}/dormivo-bench.XXXXXX")
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb

# A warm Wine session that traces only the lock calls.
tests/wine/wine-run.sh wineboot >/dev/null 2>&1
tests/wine/wine-run.sh reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
  /d 'kernel32.CreateMutexA;kernel32.WaitForSingleObject;kernel32.ReleaseMutex' /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -p
tests/wine/wine-run.sh wineboot >/dev/null 2>&1
cp "$bin/Notifier.exe" "$work/"
printf '[Settings]\r\nNotifyTimer=1\r\n' >"$work/Settings.dat"

# Starts <count> executors at once, once per round; appends "wait_ms step_ms" per executor of
# each round to <out>, one line per round with the largest of each.
run() {  # run <count> <out>
  local count=$1 out=$2 round i
  for round in $(seq "$rounds"); do
    for i in $(seq "$count"); do
      (cd "$work" && WINEDEBUG=+timestamp,+relay "$repo/tests/wine/wine-run.sh" ./Notifier.exe 9 \
        "r${round}e$i" 2>"trace.$i" >/dev/null) &
    done
    wait
    for i in $(seq "$count"); do
      awk '
        /Call KERNEL32.CreateMutexA/ && !created { split($0, f, ":"); created = f[1]; tid = f[2] }
        created && /Call KERNEL32.WaitForSingleObject/ && !waitcall { split($0, f, ":"); if (f[2] == tid) waitcall = f[1] }
        waitcall && /Ret  KERNEL32.WaitForSingleObject/ && !waited { split($0, f, ":"); if (f[2] == tid) waited = f[1] }
        waited && /Ret  KERNEL32.ReleaseMutex/ && !released { split($0, f, ":"); if (f[2] == tid) released = f[1] }
        END { if (released) printf "%.1f %.1f\n", (waited - waitcall) * 1000, (released - created) * 1000 }
      ' "$work/trace.$i"
    done | sort -n | awk -v n="$count" '{ w[NR] = $1; s[NR] = $2; if ($2 > ms) ms = $2 }
      END { if (NR != n) print "missing traces: " NR " of " n > "/dev/stderr"; print w[NR], ms }' >>"$out"
  done
}
median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

run 1 "$work/alone"
run "$executors" "$work/together"
echo "== $preset, $rounds rounds each (milliseconds; median over the rounds, range in brackets)"
for case in alone together; do
  waits=$(cut -d' ' -f1 "$work/$case" | median)
  steps=$(cut -d' ' -f2 "$work/$case" | median)
  wrange=$(cut -d' ' -f1 "$work/$case" | sort -n | sed -n '1p;$p' | paste -sd-)
  srange=$(cut -d' ' -f2 "$work/$case" | sort -n | sed -n '1p;$p' | paste -sd-)
  label=$([ "$case" = alone ] && echo "one executor alone" || echo "last of $executors started together")
  echo "$label: longest wait for the lock $waits [$wrange], longest log step $steps [$srange]"
done
