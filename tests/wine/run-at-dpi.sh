#!/usr/bin/env bash
# Runs a Windows test program under Wine with the display set to a DPI ("Make text and other
# items larger": 96 is 100 %, 144 is 150 %, 192 is 200 %), in a throwaway prefix of its own beside
# the program, so that the other tests keep theirs at 96. The setting is made before the program
# starts, since a Wine process reads it once as it starts; DORMIVO_EXPECT_DPI tells the program.
#   run-at-dpi.sh <dpi> <program.exe> [arguments...]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
dpi=$1
program=$2
shift 2
export DORMIVO_WINE_ROOT=${DORMIVO_WINE_ROOT:-$(cd "$(dirname "$program")" && pwd)/wine-root-dpi}
export DORMIVO_EXPECT_DPI=$dpi

"$here/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" \
  /f >/dev/null 2>&1
exec "$here/wine-run.sh" "$program" "$@"
