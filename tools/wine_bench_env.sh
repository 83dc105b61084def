# What every benchmark script needs before it measures: sourced (never run) by
# tools/benchmark.sh, tools/idle_benchmark.sh, tools/preview_benchmark.sh and
# tools/viewer_benchmark.sh after their
# `set -euo pipefail`. Sourcing it goes to the source root, makes sure the packages are
# there and leaves:
#   root, build       the source root and the 64-bit Release build folder (build/win64);
#   WINEPREFIX        exported: the build's private prefix;
#   work              empty until bench_make_work_dir makes a scratch folder;
#   xvfb_pid          set by bench_start_xvfb;
#   program_pid       for a script that starts a program in the background;
# and an exit trap that stops that program, the prefix's wineserver and the X server, and
# removes the scratch folder.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/ensure_packages.sh

build="$root/build/win64"
work=
xvfb_pid=
program_pid=

# bench_build TARGET...: configures the build when it has never been configured, then
# builds only the named targets.
bench_build() {
  if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake >/dev/null
  fi
  ninja -C "$build" -j2 "$@" >/dev/null
}

# bench_make_work_dir NAME: a fresh scratch folder /tmp/NAME.XXXXXX in `work`.
bench_make_work_dir() {
  work=$(mktemp -d "/tmp/$1.XXXXXX")
}

# bench_start_xvfb WIDTHxHEIGHTxDEPTH: a private X server of that screen on the first free
# display from :90, as DISPLAY, given a second to come up.
bench_start_xvfb() {
  local display=90
  while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "$1" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  sleep 1
}

# winpath PATH: the Linux path as a Wine program sees it, through drive Z:.
winpath() { echo "Z:$(tr / '\\' <<<"$1")"; }

# cpu_ticks PID: the user and system CPU time of a Linux process so far, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# bench_start_program: starts $work/root/bin/Quellwick.exe with $WINELOADER on a 1280x800
# virtual desktop in the background, and leaves its Linux process id in `pid` (the
# loader's in `program_pid`); the script ends when the program does not start.
bench_start_program() {
  "$WINELOADER" explorer.exe /desktop=QuellwickIdle,1280x800 "$(winpath "$work/root/bin/Quellwick.exe")" &
  program_pid=$!
  pid=
  for _ in $(seq 1 30); do
    pid=$(pgrep -f "^Z:.*$(basename "$work").*Quellwick\.exe" | head -1 || true)
    [[ -n $pid ]] && return 0
    sleep 1
  done
  echo "Quellwick.exe did not start"
  exit 1
}

bench_cleanup() {
  [[ -n $program_pid ]] && kill "$program_pid" >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" >/dev/null 2>&1 || true
  [[ -n $work ]] && rm -rf "$work" || true
}

export WINEPREFIX="$build/wineprefix"
trap bench_cleanup EXIT
trap 'exit 130' INT TERM
