#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and runs each one
# for a bounded time on the committed seeds. Environment:
#   FUZZ_SECONDS   time per target (default 60)
#   FUZZ_BUILD_DIR build folder (default build/fuzz in the repository)
# A crash or a broken invariant stops the run with a non-zero exit and leaves the input
# as crash-* (or timeout-*, oom-*) in the build folder's artifacts/.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-60}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: fuzz targets not built"
    exit 0
fi

cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
ninja -j2 -C "$build"

# New inputs go to the build folder's corpus; the committed seeds are only read.
mkdir -p "$build/corpus/html_to_rtf" "$build/artifacts"
"$build/html_to_rtf_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" \
    -dict="$root/tests/fuzz/html_to_rtf.dict" \
    "$build/corpus/html_to_rtf" "$root/tests/fuzz/corpus/html_to_rtf"
