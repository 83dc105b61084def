#!/usr/bin/env bash
# Prints how fast the settings dialog builds its 128 x 128 preview: BuildPreview with and
# without the overlay, and, for comparison, the thumbnail taken by decoding the whole
# picture or overlay (median of 20 runs each, 64-bit build under Wine), on the pictures of
# a data folder:
#   tools/preview_benchmark.sh [DATA-FOLDER] [RUNS]
# Without a folder it takes the build's staged data/ when that holds a catalogue (its files
# embed thumbnails), else makes four 2048 x 2048 JPEG pictures with PNG overlays that embed
# none. Not a test: it only prints figures.
set -euo pipefail

source "$(dirname "$0")/wine_bench_env.sh"
bench_build quellwick_preview_benchmark
bench_make_work_dir quellwick_preview_bench

data=${1:-}
if [[ -z $data && -f "$build/data/Quellwicks.xml" ]]; then
  data="$build/data"
fi
if [[ -z $data ]]; then
  data="$work/data"
  mkdir -p "$data"
  catalogue='<?xml version="1.0" encoding="UTF-8"?>\n<Quellwicks>\n'
  for i in 0 1 2 3; do
    convert -size 2048x2048 radial-gradient:"#f4f0e0"-"#20202$i" -quality 90 "$data/moon_$i.jpg"
    convert -size 2048x2048 xc:black -fill none -stroke "#40d060" -strokewidth 6 \
      -draw "circle 1024,1024 1024,$((240 + 40 * i))" -draw 'line 0,1024 2047,1024' "$data/moon_${i}_ann.png"
    catalogue+="  <Quellwick paper=\"moon_$i.jpg\" phase=\"$((i * 50))\" ann=\"moon_${i}_ann.png\" title=\"$i\">$i</Quellwick>\n"
  done
  printf "$catalogue</Quellwicks>\n" >"$data/Quellwicks.xml"
fi

bench_start_xvfb 1280x1024x24

echo "=== BuildPreview (GDI+ under Wine) on $data"
"$build/wine-run" "$build/bench/quellwick_preview_benchmark.exe" \
  "Z:$(tr / '\\' <<<"$data")" "${2:-20}" | tr -d '\r'
