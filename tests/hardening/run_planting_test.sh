#!/usr/bin/env bash
# Runs the DLL-planting test under Wine:
#   run_planting_test.sh BUILD_DIR dll_planting_test.exe [ARGS...]
# in a Wine prefix of its own, <build>/wine/hardening-prefix, so that the
# install run it makes touches no other test's machine. Needs a display
# (tools/with-display).
set -euo pipefail
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
build=$(cd "$1" && pwd)
exe=$2
shift 2
prefix=$build/wine/hardening-prefix
if [ -z "${DISPLAY:-}" ]; then
  echo "dll_planting: no display; run the test under tools/with-display" >&2
  exit 1
fi
"$tools/wine-prefix" "$prefix"
status=0
"$tools/wine-as-user" "$prefix" wine64 "$exe" "$@" || status=$?
"$tools/wine-as-user" "$prefix" wineserver -w || true
exit $status
