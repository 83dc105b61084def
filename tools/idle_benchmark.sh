#!/usr/bin/env bash
# Prints what the running program costs while nothing happens: the CPU time of Quellwick.exe,
# how often its threads wake up (voluntary context switches, read from /proc) and its private
# memory at the end (anonymous resident pages: a mapped file's pages are not private), over
# QW_IDLE_SECONDS (default 120) on a Wine virtual desktop, 64-bit build. QW_PROGRAM names
# another Quellwick.exe to measure instead, for a before-and-after comparison; QW_LIVE=1
# measures the live Moon with its labels instead of the catalogue's pictures.
# Not a test: it only prints figures.
set -euo pipefail

source "$(dirname "$0")/wine_bench_env.sh"
program=${QW_PROGRAM:-}
if [[ -z $program ]]; then
  bench_build Quellwick quellwick_data
  program="$build/bin/Quellwick.exe"
fi
bench_make_work_dir quellwick_idle
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=-all
bench_start_xvfb 1280x1024x24
"$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 || true

mkdir -p "$work/root/bin" "$work/root/data"
cp "$program" "$work/root/bin/Quellwick.exe"
convert -size 512x512 radial-gradient:'#f4f0e0'-'#202020' "$work/root/data/moon.png"
cat >"$work/root/data/Quellwicks.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Quellwicks>
  <Quellwick paper="moon.png" phase="0" title="New">New</Quellwick>
  <Quellwick paper="moon.png" phase="100" title="Full">Full</Quellwick>
  <Quellwick paper="moon.png" phase="200" title="New">New</Quellwick>
</Quellwicks>
XML
if [[ ${QW_LIVE:-0} == 1 ]]; then
  cp "$build/data/moon_albedo.gray" "$build/data/DejaVuSans.ttf" "$build/data/DejaVuSans-Bold.ttf" "$work/root/data/"
  for value in LiveMoon Annotate; do
    "$WINELOADER" reg add 'HKCU\Software\Quellwick' /v "$value" /t REG_DWORD /d 1 /f >/dev/null 2>&1
  done
fi
bench_start_program
sleep 5 # past the start and the first refresh

wake_ups() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }
idle=${QW_IDLE_SECONDS:-120}
cpu_before=$(cpu_ticks "$pid")
wakes_before=$(wake_ups "$pid")
sleep "$idle"
cpu_after=$(cpu_ticks "$pid")
wakes_after=$(wake_ups "$pid")
hz=$(getconf CLK_TCK)
private_kb=$(awk '/^RssAnon/ {print $2}' /proc/"$pid"/status)
if [[ ${QW_LIVE:-0} == 1 ]]; then
  "$WINELOADER" reg delete 'HKCU\Software\Quellwick' /f >/dev/null 2>&1 || true
fi
echo "=== $(basename "$program") idle for $idle s$([[ ${QW_LIVE:-0} == 1 ]] && echo ', live Moon')"
echo "private memory (anonymous resident) ${private_kb} KiB"
awk -v t=$((cpu_after - cpu_before)) -v w=$((wakes_after - wakes_before)) -v hz="$hz" -v s="$idle" 'BEGIN {
  printf "CPU time %.2f s (%.3f%% of one core, %.3f s a minute)\n", t / hz, 100 * t / hz / s, 60 * t / hz / s
  printf "wake-ups %d (%.1f a minute)\n", w, 60 * w / s
}'
