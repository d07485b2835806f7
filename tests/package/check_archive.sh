#!/usr/bin/env bash
# The release archive holds exactly Notifier.exe and LogView.exe (32-bit Windows programs,
# stripped), README.md and LICENSE.
#   check_archive.sh <archive.zip> <objdump>
set -euo pipefail
archive=$1 objdump=$2
[ -f "$archive" ] || { echo "FAIL: no archive at $archive (run scripts/package.sh)"; exit 1; }
listing=$(cmake -E tar tf "$archive" | sort)
expected=$(printf '%s\n' LICENSE LogView.exe Notifier.exe README.md)
if [ "$listing" != "$expected" ]; then
  echo "FAIL: the archive lists"; echo "$listing"; exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$archive")
for program in Notifier.exe LogView.exe; do
  "$objdump" -f "$work/$program" | grep -q 'file format pei-i386' ||
    { echo "FAIL: $program in the archive is not a 32-bit Windows program"; exit 1; }
  if "$objdump" -h "$work/$program" | grep -q '\.debug'; then
    echo "FAIL: $program in the archive is not stripped"; exit 1
  fi
done
echo "ok $archive: $(tr '\n' ' ' <<<"$listing")"
