#!/usr/bin/env bash
# Prints how fast the fullscreen viewer paints: a full repaint of a 1920 x 1080 pane at best
# fit and at zoom 7.00, one zoom step with its relayout and repaint, and one line scroll, with
# a 2048 x 2048 picture and its overlay (median of 20 runs each, 64-bit build under Wine).
# Not a test: it only prints figures.
set -euo pipefail

source "$(dirname "$0")/wine_bench_env.sh"
bench_build quellwick_viewer_benchmark
# Large enough for a frame around a 1920 x 1080 pane.
bench_start_xvfb 1940x1100x24
"$build/wine-run" "$build/bench/quellwick_viewer_benchmark.exe" | tr -d '\r'
