#!/usr/bin/env bash
# Builds the release of the shipped 32-bit program from this checkout: the installer
# Quellwick-<version>-setup.exe, the portable zip Quellwick-<version>-portable.zip and their
# SHA-256 sums Quellwick-<version>-SHA256SUMS.txt, all in build/win32/release/. The version
# is the one in the top-level CMakeLists.txt. Prints the sizes a user meets against their
# targets.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/ensure_packages.sh
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake >/dev/null
ninja -C build/win32 quellwick_release
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
release=build/win32/release/Quellwick-$version
echo "Release files:"
ls -l "$release-setup.exe" "$release-portable.zip" "$release-SHA256SUMS.txt"

# Size in bytes, a name, and the target in megabytes (10^6 bytes).
report() {
  awk -v bytes="$1" -v name="$2" -v target="$3" 'BEGIN {
    over = bytes > target * 1e6 ? "   OVER" : ""
    printf "%-22s %6.1f MB   target at most %2d MB%s\n", name, bytes / 1e6, target, over }'
}
echo "Sizes:"
report "$(stat -c %s "$release-setup.exe")" "installer" 15
report "$(stat -c %s "$release-portable.zip")" "portable zip" 20
report "$(find build/win32/data -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')" "installed data folder" 40
