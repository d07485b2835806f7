#!/usr/bin/env bash
# Builds the shipped 32-bit Notifier.exe and LogView.exe and packs them, stripped, with the README
# and the licence into build/package/Dormivo-<version>-win32.zip (the four files at the top of the
# archive).
set -euo pipefail
cd "$(dirname "$0")/.."
# A build tree that is already configured keeps its settings (the test command turns the Wine
# tests off in it on a machine that refuses 32-bit programs).
[ -f build/win32/CMakeCache.txt ] || cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Notifier LogView
version=$(sed -n 's/^project(Dormivo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$PWD/build/package
stage=$out/stage
archive=$out/Dormivo-$version-win32.zip
rm -rf "$stage" "$archive"
mkdir -p "$stage"
cp build/win32/wine-bin/Notifier.exe build/win32/wine-bin/LogView.exe README.md LICENSE "$stage/"
i686-w64-mingw32-strip --strip-all "$stage/Notifier.exe" "$stage/LogView.exe"
(cd "$stage" && cmake -E tar cf "$archive" --format=zip Notifier.exe LogView.exe README.md LICENSE)
echo "$archive"
