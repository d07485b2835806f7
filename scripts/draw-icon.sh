#!/usr/bin/env bash
# Draws resources/Notifier.ico (a power symbol on a maroon tile, 48, 32 and 16 pixels) with
# ImageMagick. The icon is kept in the repository; run this only to change it.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 256x256 xc:none \
  -fill '#800000' -draw 'roundrectangle 8,8 248,248 40,40' \
  -fill '#f0f0f0' -draw 'circle 128,140 128,52' \
  -fill '#800000' -draw 'circle 128,140 128,76' \
  -fill '#800000' -draw 'rectangle 104,24 152,120' \
  -fill '#f0f0f0' -draw 'roundrectangle 116,36 140,138 12,12' "$work/icon.png"
convert "$work/icon.png" -define icon:auto-resize=48,32,16 resources/Notifier.ico
