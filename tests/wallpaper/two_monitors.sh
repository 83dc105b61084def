#!/bin/sh
# Runs a test program of this build on a display of two monitors of different shapes (Wine
# reads them from Xinerama when RandR is off, and without a virtual desktop), in a prefix
# of its own beside the build's, so that no Wine process of another display takes part.
# Usage: two_monitors.sh <wine-run> <program> [arguments...]
set -e
runner=$(mktemp)
xvfb_log=$(mktemp)
sed 's|/wineprefix|/wineprefix-monitors|g' "$1" >"$runner"
shift
prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$runner")
Xvfb -displayfd 1 +xinerama -extension RANDR -nolisten tcp -screen 0 1600x900x24 -screen 1 1280x1024x24 \
  >"$xvfb_log" 2>/dev/null &
xvfb=$!
finish() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  kill $xvfb 2>/dev/null
  rm -f "$runner" "$xvfb_log"
}
trap finish EXIT
i=0
while [ ! -s "$xvfb_log" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
DISPLAY=":$(head -n 1 "$xvfb_log")"
export DISPLAY
sh "$runner" "$@"
