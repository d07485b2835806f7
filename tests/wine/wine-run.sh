#!/usr/bin/env bash
# Runs a Windows program under Wine in a throwaway prefix kept beside the program (in the build
# tree), never in the real home folder: HOME and the XDG folders point into that prefix's own
# folder, so the prefix's Desktop, Templates and recycle bin are the test's own.
#   wine-run.sh <program.exe> [arguments...]
set -euo pipefail

program=$1
root=${DORMIVO_WINE_ROOT:-$(cd "$(dirname "$program")" && pwd)/wine-root}
mkdir -p "$root"

export HOME=$root/home
export XDG_DATA_HOME=$HOME/.local/share
export XDG_CONFIG_HOME=$HOME/.config
export XDG_CACHE_HOME=$HOME/.cache
export WINEPREFIX=$root/prefix
export WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}
export WINEDEBUG=${WINEDEBUG:--all}
mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info" "$XDG_CONFIG_HOME" \
  "$XDG_CACHE_HOME"

# Create the prefix once; concurrent callers wait for the first.
exec 9>"$root/.lock"
flock 9
if [ ! -f "$WINEPREFIX/.dormivo-ready" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  # The links Wine makes from the prefix's user folders into HOME point into the throwaway
  # HOME above; make sure none leads anywhere else.
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
      case "$(readlink -f "$link")" in
        "$root"/*) ;;
        *) echo "wine-run.sh: $link leads outside the test folder" >&2; exit 3 ;;
      esac
    fi
  done
  # End the session that made the prefix before anything runs in it: a process started in that
  # first session can see settings as they were before the prefix was complete (the display's DPI
  # among them).
  wineserver -w
  touch "$WINEPREFIX/.dormivo-ready"
fi
flock -u 9
exec 9>&-

exec wine "$@"
