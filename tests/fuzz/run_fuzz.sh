#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and runs each one
# for a bounded time on the committed seeds. Environment:
#   FUZZ_SECONDS   time per target (default 30)
#   FUZZ_BUILD_DIR build folder (default build/fuzz in the repository)
# A crash, a broken invariant or an input that takes more than 2 seconds stops the run with
# a non-zero exit and leaves the input as crash-* (or timeout-*, oom-*) in the build
# folder's artifacts/.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-30}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: fuzz targets not built"
    exit 0
fi

cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
ninja -j2 -C "$build"

# New inputs go to the build folder's corpus; the committed seeds are only read.
# run_target NAME [libFuzzer options...]
run_target() {
    name=$1
    shift
    mkdir -p "$build/corpus/$name" "$build/artifacts"
    "$build/${name}_fuzzer" -max_total_time="$seconds" -timeout=2 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$name-" "$@" \
        "$build/corpus/$name" "$root/tests/fuzz/corpus/$name"
}
run_target html_to_rtf -dict="$root/tests/fuzz/html_to_rtf.dict"
# Inputs as large as the settings dialog's search window (4 MB), where a reader whose work
# grows faster than its input would take seconds.
run_target embedded_thumbnail -max_len=4194304
