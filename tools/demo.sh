#!/usr/bin/env bash
# The main job: installs what is missing, builds SetUp.exe (build/win), lays
# out a demo setup folder and a demo machine in a Wine prefix of its own
# (build/win/wine/demo-prefix: AutoCAD 2010, 2018 and 2020 with their program
# folders and a profile of the user each), and starts the wizard:
#  - on the user's display when DISPLAY is set and answers: SetUp.exe runs
#    there in a Wine virtual desktop, for the user to click through;
#  - otherwise on a virtual display, walked through by demo_walk.exe (Next,
#    Next, the folder picker opened and cancelled, Install, OK), with a
#    screenshot of every page and of the picker in build/win/demo/shots.
# Afterwards it prints what the install wrote: the files and the registry
# entries. Every run starts from the same demo machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/deps.sh

build=$root/build/win
echo "== building SetUp.exe in build/win"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target SetUp demo_walk

prefix=$build/wine/demo-prefix
tools/wine-prefix "$prefix"
owner=$(stat -c %U "$prefix")
as_user() { "$root/tools/wine-as-user" "$prefix" "$@"; }
drive=$prefix/drive_c

# Once per prefix: every program in a virtual desktop, so that Wine draws
# the windows' frames, and Wine's Marlett for the title bars' buttons.
if [ ! -f "$prefix/.tavrin-demo-setup" ]; then
  as_user wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  as_user wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
  marlett=/usr/share/wine/fonts/marlett.ttf
  [ -f "$marlett" ] && as_user cp "$marlett" "$drive/windows/Fonts/"
  as_user wineserver -w
  touch "$prefix/.tavrin-demo-setup"
fi

echo "== laying out the demo machine in $prefix"
setup_win='C:\TavrinSetup'
setup=$drive/TavrinSetup
acad=$drive/Program\ Files/Autodesk
install=$drive/Tavrin
appdata=$drive/users/$owner/AppData/Roaming/Tavrin
shots_win='C:\TavrinDemoShots'
shots_unix=$drive/TavrinDemoShots
rm -rf "$setup" "$acad" "$install" "$appdata" "$shots_unix"
for key in 'HKLM\SOFTWARE\Autodesk' 'HKLM\SOFTWARE\Wow6432Node\Autodesk' 'HKCU\SOFTWARE\Autodesk'; do
  as_user wine64 reg delete "$key" /f >/dev/null 2>&1 || true
done

# The setup folder: SetUp.exe beside the plug-in's files, by the names the
# payload copy knows. Their content is a line of text: the demo shows where
# each file goes, not a working plug-in.
mkdir -p "$setup"
cp "$build/wizard/SetUp.exe" "$setup/SetUp.exe"
for name in Tavrin.prt5 Tavrin.prt6 Tavrin.prt7 Tavrin_EN.shx Tavrin_HZ.shx BPlot_Cfg.cfg BPlot_TK.tk \
  TV_BatchPlot2008.ARX TV_BatchPlot2010.ARX TV_BatchPlot2013.ARX TV_BatchPlot2015.ARX TV_BatchPlot2017.ARX \
  TV_BatchPlot2018.ARX TV_BatchPlot2019.ARX TV_BatchPlot2021.ARX 使用说明.txt; do
  echo "demo sample of $name" >"$setup/$name"
done
for year in 2010 2018 2020; do
  mkdir -p "$acad/AutoCAD $year/Fonts" "$acad/AutoCAD $year/Drv"
  echo "AutoCAD $year" >"$acad/AutoCAD $year/acad.exe"
  echo "AutoCAD's own plot driver" >"$acad/AutoCAD $year/Drv/pdfplot9.hdi"
done
# AutoCAD's own files are old; whatever is newer than the stamp afterwards
# was written by the install (a copy keeps its source's time, and the setup
# folder's files are new).
find "$acad" -type f -exec touch -d '2000-01-01' {} +
stamp=$prefix/.demo-stamp
touch -d '2000-01-02' "$stamp"
# regedit reads the machine's code page (936).
iconv -f UTF-8 -t GBK tools/demo_machine.reg >"$drive/demo_machine.reg"
if [ "$(id -u)" -eq 0 ] && [ "$owner" != root ]; then
  chown -R "$owner": "$setup" "$acad" "$drive/demo_machine.reg"
fi
as_user wine64 regedit /S 'C:\demo_machine.reg'
as_user wineserver -w

walked=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "== the wizard is on your display ($DISPLAY), in a Wine desktop window; click it through"
  # The Wine side runs as $owner, who needs the display's cookie.
  if [ "$(id -u)" -eq 0 ] && [ "$owner" != root ]; then
    cookie=$(mktemp)
    xauth extract "$cookie" "$DISPLAY" 2>/dev/null || true
    chown "$owner" "$cookie"
    export XAUTHORITY=$cookie
    trap 'rm -f "$cookie"' EXIT
  fi
  status=0
  as_user wine64 "$setup_win\\SetUp.exe" || status=$?
  as_user wineserver -w || true
  echo "demo: the wizard ended (exit code $status)"
else
  echo "== no display: the wizard is walked through on a virtual display"
  tools/with-display "$root/tools/wine-as-user" "$prefix" sh -c \
    'status=0; wine64 "$1" "$2" "$3" || status=$?; wineserver -w; exit $status' \
    sh "$build/tests/gui/demo_walk.exe" "$setup_win\\SetUp.exe" "$shots_win"
  walked=1
  out=$build/demo/shots
  rm -rf "$out"
  mkdir -p "$out"
  for bmp in "$shots_unix"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "$out/$(basename "$bmp" .bmp).png"
  done
fi

# --- What the install wrote ---------------------------------------------------

# Lists the files that the install wrote below a folder of the drive, as
# Windows paths, with their sizes.
list_files() {
  local dir=$1 win=$2 none=${3:-nothing} files
  files=$(if [ -d "$dir" ]; then cd "$dir" && find . -type f -newer "$stamp" -printf '    %P  (%s bytes)\n' | sort; fi)
  echo "  $win:"
  echo "${files:-    ($none)}" | sed 's|/|\\|g'
}

echo
echo "== files written"
list_files "$install/Tavrin批打印软件" 'C:\Tavrin\Tavrin批打印软件 (the install folder)'
list_files "$appdata" "%APPDATA%\\Tavrin (the user's configuration folder)"
for year in 2010 2018 2020; do
  list_files "$acad/AutoCAD $year/Fonts" "C:\\Program Files\\Autodesk\\AutoCAD $year\\Fonts"
  list_files "$acad/AutoCAD $year/Drv" "C:\\Program Files\\Autodesk\\AutoCAD $year\\Drv" \
    'nothing: the plot driver is for AutoCAD 2008 only'
done

# The registry keys as regedit exports them (UTF-16), shown in UTF-8: the
# demand-load entries and every profile's trusted folders.
export_key() {
  local key=$1 file=$drive/demo-export.reg
  rm -f "$file"
  as_user wine64 regedit /E 'C:\demo-export.reg' "$key" >/dev/null 2>&1 || true
  if [ -f "$file" ]; then iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r'; fi
  rm -f "$file"
}
show_entries() {
  awk -v wanted="$1" '
    /^\[/ { key = substr($0, 2, length($0) - 2); sub(/^HKEY_LOCAL_MACHINE/, "HKLM", key);
            sub(/^HKEY_CURRENT_USER/, "HKCU", key); shown = (key ~ wanted); header = 0; next }
    shown && /^"/ {
      if (wanted == "Variables$" && $0 !~ /^"TRUSTEDPATHS"=/) next
      if (!header) { print "  " key; header = 1 }
      line = $0; gsub(/\\\\/, "\\", line); sub(/^"/, "", line); sub(/"=/, " = ", line); sub(/"$/, "", line)
      sub(/= "/, "= ", line); sub(/= dword:0*/, "= (DWORD) ", line); sub(/\(DWORD\) $/, "(DWORD) 0", line)
      print "      " line
    }'
}
echo
echo "== registry entries"
echo " demand-load entries (HKEY_LOCAL_MACHINE):"
export_key 'HKEY_LOCAL_MACHINE\SOFTWARE\Autodesk' | show_entries 'TV_BatchPlot'
echo " trusted folders of the user's AutoCAD profiles (HKEY_CURRENT_USER), as they are now:"
export_key 'HKEY_CURRENT_USER\SOFTWARE\Autodesk' | show_entries 'Variables$'

if [ "$walked" = 1 ]; then
  echo
  echo "== screenshots (PNG) in $build/demo/shots:"
  ls "$build/demo/shots" | sed 's/^/  /'
fi
