#!/usr/bin/env bash
# Builds the shipped 32-bit Notifier.exe and packs it, stripped, with the README and the licence
# into build/package/Dormivo-<version>-win32.zip (the three files at the top of the archive).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Notifier
version=$(sed -n 's/^project(Dormivo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$PWD/build/package
stage=$out/stage
archive=$out/Dormivo-$version-win32.zip
rm -rf "$stage" "$archive"
mkdir -p "$stage"
cp build/win32/wine-bin/Notifier.exe README.md LICENSE "$stage/"
i686-w64-mingw32-strip --strip-all "$stage/Notifier.exe"
(cd "$stage" && cmake -E tar cf "$archive" --format=zip Notifier.exe README.md LICENSE)
echo "$archive"
