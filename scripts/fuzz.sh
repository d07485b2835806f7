#!/usr/bin/env bash
# Runs every fuzz target longer than the test command does, keeping the corpora it grows in
# build/sanitize/tests/fuzz/corpus/<target>.
#   scripts/fuzz.sh [seconds per target, default 600]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
for target in build/sanitize/tests/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  mkdir -p "build/sanitize/tests/fuzz/corpus/$name" "build/fuzz-findings/$name"
  echo "== $name: $seconds s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build/fuzz-findings/$name/" \
    "build/sanitize/tests/fuzz/corpus/$name" "tests/fuzz/corpus/$name" 2>&1 |
    grep -E 'DONE|stat::|==[0-9]+==|SUMMARY|Done' || true
done
