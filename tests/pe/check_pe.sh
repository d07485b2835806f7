#!/usr/bin/env bash
# Checks Windows executables: their format and that they need no DLL beyond the system's.
#   check_pe.sh <objdump> <pei-i386|pei-x86-64> <program.exe>...
set -euo pipefail
objdump=$1 format=$2
shift 2
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
  while read -r dll; do
    if ! grep -qiE "$system_dlls" <<<"$dll"; then
      echo "FAIL $exe: imports $dll, which is not a system DLL"; status=1
    fi
  done < <(sed -n 's/^\tDLL Name: //p' <<<"$dump")
  [ $status -eq 0 ] && echo "ok $exe: $format, imports $(sed -n 's/^\tDLL Name: //p' <<<"$dump" | tr '\n' ' ')"
done
exit $status
