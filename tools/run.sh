#!/usr/bin/env bash
# Builds Quellwick.exe with its data and runs it under Wine in a virtual desktop window,
# as a user would see it. Without a display it runs on a private Xvfb, saves a screenshot
# after the first wallpaper refresh as build/screenshot.png and keeps running until
# interrupted (Ctrl+C).
#
#   bash tools/run.sh            64-bit build (runs on any Wine)
#   QW_BUILD=win32 bash tools/run.sh   the shipped 32-bit build, through qemu where the
#                                      kernel runs no 32-bit programs
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [[ -z ${QW_INSIDE_I386:-} ]]; then
  bash tools/ensure_packages.sh
  if [[ ${QW_BUILD:-} == win32 ]]; then
    exec bash tools/with_i386.sh env QW_INSIDE_I386=1 bash "$root/tools/run.sh" "$@"
  fi
fi

build_name=${QW_BUILD:-win64}
build="$root/build/$build_name"
if [[ $build_name == win32 ]]; then loader=/usr/lib/wine/wine; else loader=/usr/lib/wine/wine64; fi

if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$build_name.cmake" >/dev/null
fi
targets=(Quellwick)
if ninja -C "$build" -t targets all 2>/dev/null | grep -q '^quellwick_data:'; then
  targets+=(quellwick_data)
fi
ninja -C "$build" -j2 "${targets[@]}"

xvfb_pid=
wine_pid=
export WINEPREFIX="$build/wineprefix"
export WINELOADER="$loader"
export WINEDEBUG=${WINEDEBUG:--all}

cleanup() {
  [[ -n $wine_pid ]] && kill "$wine_pid" >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

headless=0
if [[ -z ${DISPLAY:-} ]] || ! xdpyinfo >/dev/null 2>&1; then
  headless=1
  display=90
  while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  sleep 1
fi

# Creates the build's private prefix on first use.
"$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 || true

started_marker=$(mktemp)
program="Z:$(tr / '\\' <<<"$build/bin/Quellwick.exe")"
echo "Running $program on a 1280x800 Wine virtual desktop (display $DISPLAY)"
"$loader" explorer.exe /desktop=Quellwick,1280x800 "$program" &
wine_pid=$!

if [[ $headless -eq 1 ]]; then
  # The first refresh comes about a second after start; the wallpaper may also go to
  # the user's local application data folder when the Windows folder is not writable.
  for _ in $(seq 1 60); do
    newest=$(find "$WINEPREFIX/drive_c" -maxdepth 6 -name Quellwick.bmp -newer "$started_marker" 2>/dev/null | head -1)
    [[ -n $newest ]] && break
    sleep 1
  done
  sleep 2
  import -window root -crop 1280x800+0+0 +repage "$root/build/screenshot.png"
  if [[ -n ${newest:-} ]]; then
    echo "Wallpaper installed: $newest"
  else
    echo "No wallpaper was written within a minute (see the screenshot)."
  fi
  echo "Screenshot saved to $root/build/screenshot.png"
  echo "Quellwick keeps running; press Ctrl+C to stop it."
fi
rm -f "$started_marker"
wait "$wine_pid" || true
