#!/usr/bin/env bash
# Draws resources/Notifier.ico (a power symbol on a maroon tile) and resources/LogView.ico (a
# ruled list on the same tile), each at 48, 32 and 16 pixels, with ImageMagick. The icons are kept
# in the repository; run this only to change them.
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
convert -size 256x256 xc:none \
  -fill '#800000' -draw 'roundrectangle 8,8 248,248 40,40' \
  -fill '#f0f0f0' -draw 'roundrectangle 48,36 208,220 12,12' \
  -fill '#800000' -draw 'rectangle 72,64 184,84' \
  -fill '#800000' -draw 'rectangle 72,108 184,124' \
  -fill '#800000' -draw 'rectangle 72,148 184,164' \
  -fill '#800000' -draw 'rectangle 72,188 148,204' "$work/logview.png"
convert "$work/logview.png" -define icon:auto-resize=48,32,16 resources/LogView.ico
