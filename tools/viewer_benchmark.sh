#!/usr/bin/env bash
# Prints how fast the fullscreen viewer paints: a full repaint of a 1920 x 1080 pane at best
# fit and at zoom 7.00, one zoom step with its relayout and repaint, and one line scroll, with
# a 2048 x 2048 picture and its overlay (median of 20 runs each, 64-bit build under Wine).
# Not a test: it only prints figures.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/ensure_packages.sh

build="$root/build/win64"
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake >/dev/null
fi
ninja -C "$build" -j2 quellwick_viewer_benchmark >/dev/null

xvfb_pid=
export WINEPREFIX="$build/wineprefix"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
# Large enough for a frame around a 1920 x 1080 pane.
Xvfb ":$display" -screen 0 1940x1100x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
sleep 1
"$build/wine-run" "$build/tests/viewer/quellwick_viewer_benchmark.exe" | tr -d '\r'
