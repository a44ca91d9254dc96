#!/usr/bin/env bash
# Every DLL and program we ship imports Windows system DLLs only: nothing
# of the compiler's runtime may be left to find on the user's machine.
# Usage: imports_test.sh OBJDUMP FILE...
set -u
objdump=$1; shift
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|comctl32|shell32|ole32)\.dll$'
status=0
for file in "$@"; do
  imports=$("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
  [ -n "$imports" ] || { echo "$file: no import table found"; status=1; continue; }
  while read -r dll; do
    if ! echo "$dll" | tr '[:upper:]' '[:lower:]' | grep -Eq "$allowed"; then
      echo "$file imports $dll"; status=1
    fi
  done <<< "$imports"
  echo "$file: ${imports//$'\n'/ }"
done
exit $status
