#!/usr/bin/env bash
# Builds Quellwick natively and for 32- and 64-bit Windows and runs every test: the
# native ones under AddressSanitizer and UBSan, the Windows ones under Wine on each
# build's private prefix, headless under Xvfb. Ends with a summary; non-zero on failure.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/ensure_packages.sh || exit 1

started=$(date +%s)
summary=()
failed=0

# One private X server for every Wine run.
display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"

stop_wine() {
  # The installer tests run in a prefix of their own.
  for prefix in build/win32/wineprefix build/win64/wineprefix build/win32/tests/installer/wineprefix; do
    if [[ -d "$prefix" ]]; then
      WINEPREFIX="$root/$prefix" wineserver -k >/dev/null 2>&1 || true
    fi
  done
}
cleanup() {
  stop_wine
  kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

note() { summary+=("$(printf '%-8s %s' "$1" "$2")"); }

# configure_and_build NAME CMAKE-ARGS...
configure_and_build() {
  local name=$1
  shift
  echo "=== $name: configure and build"
  if ! cmake -S . -B "build/$name" -G Ninja "$@" >"build/$name.configure.log" 2>&1; then
    cat "build/$name.configure.log"
    return 1
  fi
  ninja -C "build/$name"
}

# run_tests NAME [CTEST-OPTIONS...]: creates the build's Wine prefix once (Windows builds),
# keeps one wineserver up, runs the build's tests and records the counts, and which tests
# passed only when run again. A 32-bit build runs it all through tools/with_i386.sh, so
# that every 32-bit program starts where the kernel or the emulator can run it.
run_tests() {
  local name=$1
  shift
  local log="build/$name.test.log" runner=()
  [[ $name == win32 ]] && runner=(bash tools/with_i386.sh)
  echo "=== $name: test"
  local started_at=$(date +%s)
  "${runner[@]}" bash -c '
    name=$1; shift
    if [[ -x build/$name/wine-run ]]; then
      "build/$name/wine-run" cmd.exe /c exit >/dev/null 2>&1
      WINEPREFIX="$PWD/build/$name/wineprefix" wineserver -p >/dev/null 2>&1
    fi
    ctest --test-dir "build/$name" -j2 --output-on-failure "$@"' run_tests "$name" "$@" 2>&1 |
    tee "$log" | grep -Ev '^ *(Start|[0-9]+/[0-9]+ Test) .*Passed|^ *Start ' || true
  local line again seconds=$(($(date +%s) - started_at))
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  again=$(grep -E 'Test +#[0-9]+: .*\*\*\*(Failed|Exception|Timeout)' "$log" | sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/' | sort -u | paste -sd' ' || true)
  if [[ -n "$line" && "$line" == *"100% tests passed"* ]]; then
    note "$name" "passed: $(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line") tests in $seconds s${again:+ (passed on a second run: $again)}"
  else
    note "$name" "FAILED: ${line:-no tests ran}"
    failed=1
  fi
}

mkdir -p build

if configure_and_build native -DCMAKE_BUILD_TYPE=Debug; then
  run_tests native
else
  note native "FAILED: build"
  failed=1
fi

for name in win64 win32; do
  if ! configure_and_build "$name" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$name.cmake"; then
    note "$name" "FAILED: build"
    failed=1
    continue
  fi
  if [[ $name == win32 ]] && ! why=$(bash tools/with_i386.sh --check); then
    note "$name" "built; tests NOT RUN: $why"
    failed=1
    continue
  fi
  # Now and then Wine fails to start a program at all (it exits at once with no output);
  # such a test runs once more, and the summary names it.
  run_tests "$name" --repeat until-pass:2
done

echo "=== fuzz: HTML-to-RTF converter and embedded-thumbnail finder, bounded runs"
if sh tests/fuzz/run_fuzz.sh >build/fuzz.log 2>&1; then
  note fuzz "passed: $(grep -Eo 'stat::number_of_executed_units: *[0-9]+' build/fuzz.log | grep -Eo '[0-9]+$' | paste -sd+ | sed 's/+/ and /') inputs, no crash"
else
  tail -30 build/fuzz.log
  note fuzz "FAILED: see build/fuzz.log and build/fuzz/artifacts/"
  failed=1
fi

echo
echo "=== Summary ($(($(date +%s) - started)) s)"
printf '%s\n' "${summary[@]}"
if [[ $failed -ne 0 ]]; then
  echo "RESULT: FAILED"
  exit 1
fi
echo "RESULT: all tests passed"
