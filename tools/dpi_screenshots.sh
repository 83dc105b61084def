#!/usr/bin/env bash
# Takes the screenshots of Quellwick at 144 DPI (Wine's LogPixels) on a 1280x800 virtual
# desktop: the settings dialog (docs/settings_dialog_144dpi.png, after checking that every
# control lies inside it), the viewer with its tool bar, the About box, the place dialog and
# the tray icon (build/dpi144_*.png). Uses a copy of the build's prefix, so the build's tests keep 96 DPI.
#
#   bash tools/dpi_screenshots.sh [display number, default 103]
#   QW_BUILD=win32 bash tools/with_i386.sh bash tools/dpi_screenshots.sh   the 32-bit build
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
display=${1:-103}
build_name=${QW_BUILD:-win64}
build="$root/build/$build_name"
if [[ $build_name == win32 ]]; then loader=/usr/lib/wine/wine; else loader=/usr/lib/wine/wine64; fi
ninja -C "$build" -j2 Quellwick quellwick_data quellwick_ui_poke >/dev/null

export WINEPREFIX="$build/dpi144-prefix"
export WINELOADER="$loader"
export WINEDEBUG=${WINEDEBUG:--all}
export DISPLAY=":$display"

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  "$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 || true
  cp -a "$build/wineprefix" "$WINEPREFIX"
fi
wineserver -k >/dev/null 2>&1 || true
"$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
"$loader" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
  /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
# The full Moon pinned (the shipped catalogue's entry 31), so that every picture shows it.
"$loader" reg add 'HKCU\Software\Quellwick' /v MoonType /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$loader" reg add 'HKCU\Software\Quellwick' /v SelectedMoon /t REG_DWORD /d 31 /f >/dev/null 2>&1
wineserver -w

winpath() { echo "Z:$(tr / '\\' <<<"$1")"; }
# The helper joins the program's virtual desktop, where its windows are.
poke() { "$loader" explorer.exe /desktop=Quellwick,1280x800 "$(winpath "$build/tools/quellwick_ui_poke.exe")" "$@"; }
shot() { sleep 2; import -window root -crop 1280x800+0+0 +repage "$1"; echo "saved $1"; }

"$loader" explorer.exe /desktop=Quellwick,1280x800 "$(winpath "$build/bin/Quellwick.exe")" &
sleep 8
shot "$build/dpi144_desktop.png"
poke settings
poke check-settings || echo "some controls lie outside the settings dialog"
shot "$root/docs/settings_dialog_144dpi.png"
poke viewer
sleep 3
shot "$build/dpi144_viewer.png"
poke close-viewer
poke about
shot "$build/dpi144_about.png"
poke close-about
poke place
shot "$build/dpi144_place.png"
poke close-place
