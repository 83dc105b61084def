#!/usr/bin/env bash
# Prints how fast the wallpaper is rendered and how little the running program costs:
#  1. RenderWallpaper with a 2048 x 2048 JPEG and its overlay at 1280x800, 1920x1080 and
#     3840x2160 (median of 10 runs each, 64-bit build under Wine), the live Moon drawn with
#     its labels at the same sizes with the ratio, and ImageMagick doing the catalogue's
#     fit-on-black-and-save-as-BMP from the same files, with the ratio;
#  2. the CPU time Quellwick.exe uses over 5 idle minutes (QW_IDLE_SECONDS to change).
# Not a test: it only prints figures.
set -euo pipefail

source "$(dirname "$0")/wine_bench_env.sh"
bench_build Quellwick quellwick_render_benchmark quellwick_data
bench_make_work_dir quellwick_bench
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=-all
bench_start_xvfb 1280x1024x24
"$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 || true

# The same picture and overlay for both renderers.
convert -size 2048x2048 radial-gradient:'#f4f0e0'-'#202020' -quality 92 "$work/moon.jpg"
convert -size 2048x2048 xc:none -fill none -stroke '#40d060' -strokewidth 6 \
  -draw 'circle 1024,1024 1024,240' -draw 'line 0,1024 2047,1024' -draw 'line 1024,0 1024,2047' "$work/moon_ann.png"

echo "=== RenderWallpaper and RenderLiveWallpaper (Quellwick under Wine), 10 runs per size"
quellwick_output=$("$build/wine-run" "$build/bench/quellwick_render_benchmark.exe" \
  "$(winpath "$work/moon.jpg")" "$(winpath "$work/moon_ann.png")" "$(winpath "$work")" "$(winpath "$build/data")" 10 |
  tr -d '\r')
echo "$quellwick_output"

median_ms() { sort -n | awk '{a[NR]=$1} END {if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
echo "=== ImageMagick (convert), same fit on black, saved as BMP, 10 runs per size"
for size in 1280x800 1920x1080 3840x2160; do
  times=()
  for _ in $(seq 1 10); do
    start=$(date +%s%N)
    convert "$work/moon.jpg" "$work/moon_ann.png" -resize "$size" -composite \
      -background black -gravity center -extent "$size" "BMP:$work/im_$size.bmp"
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  im=$(printf '%s\n' "${times[@]}" | median_ms)
  qw=$(sed -nE "s/^RenderWallpaper $size .*median ([0-9.]+) ms.*/\1/p" <<<"$quellwick_output")
  ratio=$(awk -v q="${qw:-0}" -v i="$im" 'BEGIN { if (q > 0) printf "%.2f", (i / 1000) / q; else print "n/a" }')
  printf 'convert %-9s median %.1f ms; Quellwick %s ms; ImageMagick time / Quellwick time = %s\n' \
    "$size" "$(awk -v i="$im" 'BEGIN { print i / 1000 }')" "${qw:-?}" "$ratio"
done

idle=${QW_IDLE_SECONDS:-300}
echo "=== Quellwick.exe CPU time over $idle idle seconds (timer ticks, one refresh a minute)"
mkdir -p "$work/root/bin" "$work/root/data"
cp "$build/bin/Quellwick.exe" "$work/root/bin/"
cp "$work/moon.jpg" "$work/moon_ann.png" "$work/root/data/"
cat >"$work/root/data/Quellwicks.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Quellwicks>
  <Quellwick paper="moon.jpg" phase="0" ann="moon_ann.png" title="New">New</Quellwick>
  <Quellwick paper="moon.jpg" phase="100" ann="moon_ann.png" title="Full">Full</Quellwick>
  <Quellwick paper="moon.jpg" phase="200" ann="moon_ann.png" title="New">New</Quellwick>
</Quellwicks>
XML
bench_start_program
sleep 5
before=$(cpu_ticks "$pid")
sleep "$idle"
after=$(cpu_ticks "$pid")
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$idle" \
  'BEGIN { printf "CPU time %.2f s over %d s (%.3f%% of one core)\n", t / hz, s, 100 * t / hz / s }'
