#!/usr/bin/env bash
# Runs the wizard's in-process page tests under Wine in the build's prefix:
#   run_wizard_tests.sh BUILD_DIR WIZARD_TESTS.exe [ARGS...]
# Needs a display (tools/with-display). The pages are top-level windows on a
# display without a window manager, where Wine waits two seconds for a
# manager to take back every closed page; so the test program's windows are
# marked unmanaged in the prefix first.
set -euo pipefail
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
build=$(cd "$1" && pwd)
exe=$2
shift 2
if [ -z "${DISPLAY:-}" ]; then
  echo "wizard tests: no display; run them under tools/with-display" >&2
  exit 1
fi
prefix=${TAVRIN_WINEPREFIX:-$build/wine/prefix}
"$tools/wine-prefix" "$prefix"
if [ ! -f "$prefix/.tavrin-wizard-tests" ]; then
  "$tools/wine-as-user" "$prefix" wine64 reg add \
    'HKCU\Software\Wine\AppDefaults\wizard_tests_win.exe\X11 Driver' /v Managed /d N /f >/dev/null
  touch "$prefix/.tavrin-wizard-tests"
fi
exec "$tools/wine-as-user" "$prefix" wine64 "$exe" "$@"
