#!/usr/bin/env bash
# Runs a Windows program under Wine in a throwaway prefix kept beside the program (in the build
# tree), never in the real home folder: HOME and the XDG folders point into that prefix's own
# folder, so the prefix's Desktop, Templates and recycle bin are the test's own. A 32-bit program
# starts with the 32-bit Wine loader, anything else with the 64-bit one (wine-loader.sh).
#   wine-run.sh <program.exe> [arguments...]
# A prefix made by another Wine installation (another version, or before the 32-bit Wine was
# installed or while it could not run) is made again.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-loader.sh"
wine_check_loaders
program=$1
loader=$(wine_loader_for "$program") || exit 126
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

# Wine's own tools run with the 64-bit loader; the 32-bit processes they start (the 32-bit half
# of a new prefix) go through the 32-bit one.
tool() {
  WINELOADER=$DORMIVO_WINE_LOADER64 "$DORMIVO_WINE_LOADER64" "$@"
}

# Create the prefix once; concurrent callers wait for the first.
exec 9>"$root/.lock"
flock 9
installation=$(wine_installation)
ready=$WINEPREFIX/.dormivo-ready
if [ ! -f "$ready" ] || [ "$(cat "$ready")" != "$installation" ]; then
  if [ -f "$WINEPREFIX/system.reg" ]; then
    # Made by another Wine installation, or never finished: make it again.
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  tool wineboot -i >/dev/null 2>&1 || true
  tool reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  tool reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  tool reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
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
  echo "$installation" >"$ready"
fi
flock -u 9
exec 9>&-

export WINELOADER=$loader
exec "$loader" "$@"
