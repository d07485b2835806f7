# Which Wine loader starts which program on this machine. Sourced by every script that starts
# Wine (it defines only the names below).
#
# Debian's `wine` command takes the 32-bit loader whenever wine32:i386 is installed, even for a
# 64-bit program. On a machine whose kernel refuses 32-bit programs ("Exec format error") that
# breaks every Wine call, the 64-bit ones included. So the project's scripts never go through it:
# a 32-bit program starts with the 32-bit loader, everything else (64-bit programs and Wine's own
# tools, such as wineboot and reg) with the 64-bit one, which starts 32-bit processes through the
# 32-bit loader when they are asked for.
#
# wine_check_loaders finds out once whether the 32-bit loader runs here and exports the answer, so
# that the scripts and tests started below see the same:
#   DORMIVO_WINE32          "runs" or "no"
#   DORMIVO_WINE32_PROBLEM  when "no", why not (one line)
# DORMIVO_WINE32_REFUSED=1 makes it answer "no", as on a machine that refuses 32-bit programs.

DORMIVO_WINE_LOADER32=${DORMIVO_WINE_LOADER32:-/usr/lib/wine/wine}
DORMIVO_WINE_LOADER64=${DORMIVO_WINE_LOADER64:-/usr/lib/wine/wine64}

wine_check_loaders() {
  case "${DORMIVO_WINE32:-}" in runs | no) return 0 ;; esac
  local out
  if [ "${DORMIVO_WINE32_REFUSED:-0}" = 1 ]; then
    DORMIVO_WINE32=no
    DORMIVO_WINE32_PROBLEM="DORMIVO_WINE32_REFUSED=1 treats this machine as one that refuses"
    DORMIVO_WINE32_PROBLEM+=" 32-bit programs"
  elif [ ! -x "$DORMIVO_WINE_LOADER32" ]; then
    DORMIVO_WINE32=no
    DORMIVO_WINE32_PROBLEM="the 32-bit Wine is not installed ($DORMIVO_WINE_LOADER32 is missing;"
    DORMIVO_WINE32_PROBLEM+=" the package is wine32:i386)"
  elif out=$("$DORMIVO_WINE_LOADER32" --version 2>&1); then
    DORMIVO_WINE32=runs
    DORMIVO_WINE32_PROBLEM=
  else
    DORMIVO_WINE32=no
    case "$out" in
      *"Exec format error"*) out="Exec format error" ;;
      *) out=$(printf '%s' "$out" | tr '\n' ' ') ;;
    esac
    DORMIVO_WINE32_PROBLEM="the kernel does not run 32-bit programs:"
    DORMIVO_WINE32_PROBLEM+=" $DORMIVO_WINE_LOADER32 --version fails (${out% })"
  fi
  export DORMIVO_WINE32 DORMIVO_WINE32_PROBLEM
}

# The line that says which Wine levels this machine can run.
wine_loaders_line() {
  wine_check_loaders
  if [ "$DORMIVO_WINE32" = runs ]; then
    echo "32-bit Wine: runs here ($("$DORMIVO_WINE_LOADER32" --version)), so the shipped 32-bit" \
      "build's Wine level runs as well as the 64-bit one"
  else
    echo "32-bit Wine: does NOT run here, so only the 64-bit build's Wine level runs (through" \
      "$DORMIVO_WINE_LOADER64): $DORMIVO_WINE32_PROBLEM"
  fi
}

# Prints the machine of a PE file: i386, x86_64, or nothing when the file is not one (Wine's own
# tools are named without a path).
pe_machine() {
  [ -f "$1" ] || return 0
  local offset machine
  offset=$(od -An -tu4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 0
  [ "$(od -An -c -j "$offset" -N 4 "$1" 2>/dev/null | tr -d ' ')" = 'PE\0\0' ] || return 0
  machine=$(od -An -tx2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  case "$machine" in
    014c) echo i386 ;;
    8664) echo x86_64 ;;
  esac
}

# Prints the loader that starts <program>; fails with a message when it is a 32-bit program and
# the 32-bit loader does not run here.
wine_loader_for() {
  wine_check_loaders
  if [ "$(pe_machine "$1")" = i386 ]; then
    if [ "$DORMIVO_WINE32" != runs ]; then
      echo "cannot start the 32-bit program $1: $DORMIVO_WINE32_PROBLEM" >&2
      return 126
    fi
    echo "$DORMIVO_WINE_LOADER32"
  else
    echo "$DORMIVO_WINE_LOADER64"
  fi
}

# The Wine installation a prefix is made by: its version and the loaders that run. A prefix made
# by another one is made again (one made before the 32-bit Wine was installed has no 32-bit
# system DLLs, and 32-bit programs cannot start in it).
wine_installation() {
  wine_check_loaders
  local loaders=64
  [ "$DORMIVO_WINE32" = runs ] && loaders=32+64
  echo "$("$DORMIVO_WINE_LOADER64" --version) loaders $loaders"
}
