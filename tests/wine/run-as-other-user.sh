#!/usr/bin/env bash
# Runs a Windows test program under Wine as a user other than root, in a throwaway prefix of that
# user's own: Wine enforces read-only files only for such a user. The user is uid 65534 unless
# DORMIVO_OTHER_UID names another. The program and its helpers are copied into a temporary folder
# that user owns, which is removed afterwards.
#   run-as-other-user.sh <program.exe> [arguments...]
# When no other user can be used, the program runs as it is, with DORMIVO_OTHER_USER_PROBLEM
# telling why, so that the tests that need the other user skip with that reason. Exits with the
# program's code, or 1 when no test ran.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=$1
shift
uid=${DORMIVO_OTHER_UID:-65534}
out=$(mktemp)
work=

cleanup() {
  if [ -n "$work" ]; then
    setpriv --reuid="$uid" --regid="$uid" --clear-groups \
      env WINEPREFIX="$work/wine-root/prefix" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
  fi
  rm -f "$out"
}
trap cleanup EXIT

problem=
if [ "$(id -u)" -ne 0 ]; then
  # Already another user than root: the usual runner does.
  "$here/wine-run.sh" "$program" "$@" 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
else
  if ! command -v setpriv >/dev/null; then
    problem="setpriv is not installed"
  elif ! setpriv --reuid="$uid" --regid="$uid" --clear-groups true 2>/dev/null; then
    problem="cannot switch to uid $uid"
  else
    work=$(mktemp -d /tmp/dormivo-other-user.XXXXXX)
    chmod 755 "$work"
    mkdir "$work/bin"
    cp "$(dirname "$program")"/*.exe "$work/bin/" &&
      cp "$here/wine-run.sh" "$here/wine-loader.sh" "$work/" &&
      chown -R "$uid:$uid" "$work" || problem="cannot prepare $work for uid $uid"
  fi
  if [ -z "$problem" ]; then
    (cd "$work" && setpriv --reuid="$uid" --regid="$uid" --clear-groups \
      env -u XDG_RUNTIME_DIR -u TMPDIR DORMIVO_WINE_ROOT="$work/wine-root" \
      "$work/wine-run.sh" "$work/bin/$(basename "$program")" "$@") 2>&1 | tee "$out"
    rc=${PIPESTATUS[0]}
  else
    echo "run-as-other-user.sh: $problem; running as root" >&2
    DORMIVO_OTHER_USER_PROBLEM=$problem "$here/wine-run.sh" "$program" "$@" 2>&1 | tee "$out"
    rc=${PIPESTATUS[0]}
  fi
fi

if ! grep -Eq '^\[==========\] [1-9][0-9]* tests? from .* ran' "$out"; then
  echo "run-as-other-user.sh: no test ran" >&2
  exit 1
fi
exit "$rc"
