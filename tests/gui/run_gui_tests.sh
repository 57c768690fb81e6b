#!/usr/bin/env bash
# Runs the GUI tests under Wine and keeps their screenshots:
#   run_gui_tests.sh BUILD_DIR GUI_TESTS.exe [ARGS...]
# The tests get a Wine prefix of their own, <build>/wine/gui-prefix (or
# $TAVRIN_GUI_WINEPREFIX), so the AutoCAD keys they wipe and seed are not
# those of the engine tests, and a virtual desktop, so that Wine draws the
# pages' frames and title bars itself. The Wine side cannot write into the
# build folder, so the test program saves its BMP screenshots inside the
# prefix; they end up as PNG files in <build>/gui-shots.
# Needs a display (tools/with-display).
set -euo pipefail
tools=$(cd "$(dirname "$0")/../../tools" && pwd)
build=$(cd "$1" && pwd)
exe=$2
shift 2
prefix=${TAVRIN_GUI_WINEPREFIX:-$build/wine/gui-prefix}
if [ -z "${DISPLAY:-}" ]; then
  echo "gui: no display; run the tests under tools/with-display" >&2
  exit 1
fi

"$tools/wine-prefix" "$prefix"
# Once per prefix (wine-prefix already draws "宋体" with the machine's Chinese
# font): the virtual desktop, and Wine's Marlett, which draws the title bar's
# buttons, copied where Wine finds it.
if [ ! -f "$prefix/.tavrin-gui-setup" ]; then
  as_user() { "$tools/wine-as-user" "$prefix" "$@"; }
  as_user wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  as_user wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
  marlett=/usr/share/wine/fonts/marlett.ttf
  [ -f "$marlett" ] && as_user cp "$marlett" "$prefix/drive_c/windows/Fonts/"
  as_user wineserver -w
  touch "$prefix/.tavrin-gui-setup"
fi

shots_unix=$prefix/drive_c/tavrin-gui-shots
rm -rf "$shots_unix"
status=0
"$tools/wine-as-user" "$prefix" wine64 "$exe" --shots='C:\tavrin-gui-shots' "$@" || status=$?
"$tools/wine-as-user" "$prefix" wineserver -w || true

out=$build/gui-shots
rm -rf "$out"
mkdir -p "$out"
count=0
for bmp in "$shots_unix"/*.bmp; do
  [ -e "$bmp" ] || continue
  name=$(basename "$bmp" .bmp)
  convert "$bmp" "$out/$name.png"
  count=$((count + 1))
done
echo "gui: $count screenshots in $out"
exit $status
