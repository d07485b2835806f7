#!/usr/bin/env bash
# Benchmark of the task log (not a test): the executor's use of a 64 MiB Log.dat left by another
# program (load it, add one entry, trim to 1000 bytes, save, close) beside a plain read and write
# of the same bytes; and the log viewer's read of the same file into its rows beside the
# executor's load alone, and its export of the file as CSV. Each is run several times, each time in a process of its own from the
# same file with a warm page cache; prints the median time and the largest peak memory of each.
#   scripts/bench-log.sh [runs, default 5] [bytes, default 67108864]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
bytes=${2:-67108864}

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DDORMIVO_BENCH=ON -DDORMIVO_TESTS=OFF \
  >/dev/null
cmake --build build/bench --target log_bench -j 2 >/dev/null
bench=build/bench/bench/log_bench

work=build/bench/work
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
echo "== generating a log of $bytes bytes"
"$bench" generate "$work/source.dat" "$bytes"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A median_of
for mode in plain load viewer csv log; do
  : >"$work/$mode.txt"
  for _ in $(seq "$runs"); do
    cp "$work/source.dat" "$work/Log.dat"
    cat "$work/Log.dat" >/dev/null
    rm -f "$work/copy.dat"
    if [ "$mode" = plain ]; then
      "$bench" plain "$work/Log.dat" "$work/copy.dat" >>"$work/$mode.txt"
      cmp -s "$work/Log.dat" "$work/copy.dat"
    elif [ "$mode" = log ]; then
      "$bench" log "$work/Log.dat" >>"$work/$mode.txt"
      size=$(stat -c %s "$work/Log.dat")
      [ "$size" -ge 1000 ] && [ "$size" -lt 1200 ] && [ ! -e "$work/Log.dat.tmp" ]
    elif [ "$mode" = csv ]; then
      rm -f "$work/Log.csv"
      "$bench" csv "$work/Log.dat" "$work/Log.csv" >>"$work/$mode.txt"
      head -c 46 "$work/Log.csv" | grep -q '^"Date-Time","Event","Command / Description"'
      [ ! -e "$work/Log.csv.tmp" ]
    else
      "$bench" "$mode" "$work/Log.dat" >>"$work/$mode.txt"
      cmp -s "$work/source.dat" "$work/Log.dat"
    fi
  done
  seconds=$(sed 's/.*seconds=\([0-9.]*\).*/\1/' "$work/$mode.txt" | median)
  peak=$(sed 's/.*peak_kib=\([0-9]*\).*/\1/' "$work/$mode.txt" | sort -n | tail -1)
  median_of[$mode]=$seconds
  awk -v m="$mode" -v s="$seconds" -v p="$peak" -v b="$bytes" \
    'BEGIN { printf "%-6s median %.3f s   peak memory %d KiB (%.2f x the file)\n", m, s, p, p * 1024 / b }'
done
awk -v v="${median_of[viewer]}" -v l="${median_of[load]}" \
  'BEGIN { printf "viewer load / executor load: %.2f\n", v / l }'
echo "== last Log.dat after the log run:"
head -c 300 "$work/Log.dat"
echo
