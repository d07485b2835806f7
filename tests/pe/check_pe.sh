#!/usr/bin/env bash
# Checks Windows executables: their format, ASLR and DEP, no writable code, and that they need no
# DLL beyond the system's. With --shipped, the import table may name only DLLs that Windows
# always loads from its own folder (so a DLL planted beside the executable is never loaded),
# comctl32 only when the manifest binds it side by side, the manifest must run the program as the
# invoker and per-monitor DPI aware, and Notifier.exe must bind LockWorkStation at load time.
#   check_pe.sh [--shipped] <objdump> <pei-i386|pei-x86-64> <program.exe>...
set -euo pipefail
shipped=0
if [ "$1" = --shipped ]; then
  shipped=1
  shift
fi
objdump=$1 format=$2
shift 2
known_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|msvcrt|comdlg32|shlwapi|rpcrt4|imm32|ws2_32|psapi|setupapi|sechost|combase|normaliz|nsi|wldap32|msctf|shcore|comctl32)\.dll$'
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|msvcrt|comctl32|comdlg32|winmm|wininet|shlwapi|uuid|version|ws2_32|bcrypt|crypt32|secur32|rpcrt4|uxtheme|imm32|powrprof|psapi|userenv|ntdll)\.dll$'
status=0
for exe in "$@"; do
  dump=$("$objdump" -p "$exe")
  if ! grep -q "file format $format" <<<"$dump"; then
    echo "FAIL $exe: not $format"; status=1
  fi
  characteristics=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$dump")
  wanted=(DYNAMIC_BASE NX_COMPAT)
  [ "$format" = pei-x86-64 ] && wanted+=(HIGH_ENTROPY_VA)
  for flag in "${wanted[@]}"; do
    if ! grep -qw "$flag" <<<"$characteristics"; then
      echo "FAIL $exe: $flag is not set"; status=1
    fi
  done
  # A section that holds code must not be writable.
  while read -r section; do
    echo "FAIL $exe: section $section is both writable and executable"; status=1
  done < <("$objdump" -h "$exe" | awk '/^ *[0-9]+ /{name=$2; next} /CODE/ && !/READONLY/{print name}')
  allowed=$system_dlls
  [ $shipped -eq 1 ] && allowed=$known_dlls
  while read -r dll; do
    if ! grep -qiE "$allowed" <<<"$dll"; then
      echo "FAIL $exe: imports $dll, which is not allowed here"; status=1
    fi
    if [ $shipped -eq 1 ] && grep -qi '^comctl32' <<<"$dll" &&
      ! grep -q 'Microsoft.Windows.Common-Controls' "$exe"; then
      echo "FAIL $exe: imports $dll without a manifest that binds common controls"; status=1
    fi
  done < <(sed -n 's/^\tDLL Name: //p' <<<"$dump")
  if [ $shipped -eq 1 ]; then
    for wanted in 'level="asInvoker"' '<dpiAwareness' 'PerMonitorV2'; do
      if ! grep -qF "$wanted" "$exe"; then
        echo "FAIL $exe: its manifest does not state $wanted"; status=1
      fi
    done
  fi
  if [ $shipped -eq 1 ] && [ "$(basename "$exe")" = Notifier.exe ] &&
    ! grep -qE '^\s+[0-9a-f]+\s+[0-9]+\s+LockWorkStation$' <<<"$dump"; then
    echo "FAIL $exe: LockWorkStation is not bound at load time"; status=1
  fi
  [ $status -eq 0 ] && echo "ok $exe: $format, imports $(sed -n 's/^\tDLL Name: //p' <<<"$dump" | tr '\n' ' ')"
done
exit $status
