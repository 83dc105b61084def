#!/usr/bin/env bash
# Builds the release of the shipped 32-bit program from this checkout: the installer
# Quellwick-<version>-setup.exe and the portable zip Quellwick-<version>-portable.zip, both in
# build/win32/release/. The version is the one in the top-level CMakeLists.txt.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/ensure_packages.sh
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake >/dev/null
ninja -C build/win32 quellwick_release
echo "Release files:"
ls -l build/win32/release/Quellwick-*-setup.exe build/win32/release/Quellwick-*-portable.zip
