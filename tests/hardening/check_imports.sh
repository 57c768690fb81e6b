#!/usr/bin/env bash
# Checks the import table of a Windows program: every DLL it imports must be
# one that Windows takes only from the system folder (known_dlls.txt), since
# the imports are loaded before any code of the program can protect it.
#   check_imports.sh OBJDUMP PROGRAM.exe
#       passes when every import is a known DLL and there are no delay imports
#   check_imports.sh OBJDUMP PROGRAM.exe --expect-unknown NAME
#       the check's own test: passes only when it refuses PROGRAM.exe and
#       names NAME among the imports it refuses
set -euo pipefail
objdump=$1
program=$2
expect=""
if [ "${3:-}" = "--expect-unknown" ]; then expect=$(echo "$4" | tr 'A-Z' 'a-z'); fi
here=$(cd "$(dirname "$0")" && pwd)

headers=$("$objdump" -p "$program")
imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr 'A-Z' 'a-z' | sort -u)
if [ -z "$imports" ]; then
  echo "imports: found no import table in $program" >&2
  exit 1
fi
known=$(grep -v '^#' "$here/known_dlls.txt" | grep -v '^$')

refused=()
for dll in $imports; do
  grep -qx "$dll" <<<"$known" || refused+=("$dll")
done
# Delay imports are loaded later by name, from wherever the search finds them.
delay=$(echo "$headers" | awk '/Delay Import Directory/ && ($3 != "0000000000000000" || $4 != "00000000") {print "delay imports"}')
[ -n "$delay" ] && refused+=("(delay import table)")

echo "imports of $(basename "$program"): $(echo $imports)"
if [ -n "$expect" ]; then
  for dll in "${refused[@]}"; do
    if [ "$dll" = "$expect" ]; then
      echo "imports: refused ${refused[*]}, as expected"
      exit 0
    fi
  done
  echo "imports: expected $expect to be refused; refused: ${refused[*]:-nothing}" >&2
  exit 1
fi
if [ ${#refused[@]} -gt 0 ]; then
  echo "imports: not known DLLs, loadable from the program's folder: ${refused[*]}" >&2
  exit 1
fi
echo "imports: every one is a known DLL"
