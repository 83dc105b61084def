#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quellwick need.
# Quick when everything is present; installing needs root.
set -euo pipefail

packages=(
  cmake ninja-build g++ git
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 fonts-wine
  xvfb xauth x11-utils imagemagick
  googletest libexpat1-dev libstb-dev fonts-dejavu-core zlib1g-dev libz-mingw-w64-dev libjpeg62-turbo-dev
  clang libclang-rt-14-dev
  util-linux nsis
  tzdata unicode-cldr-core
)
# Where the kernel refuses 32-bit Linux programs, 32-bit Wine runs through qemu's
# user-mode emulator. Version 10 (bookworm-backports) honours MAP_FIXED_NOREPLACE; 7.2
# does not, and every Wine start then takes a minute. qemu-user-binfmt is left out on
# purpose: it would register every architecture machine-wide.
backports=(qemu-user)

installed() { [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" == "install ok installed" ]]; }
# True when the installed qemu-user is older than 10.
qemu_too_old() {
  local version
  version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
  [[ -z "$version" ]] || dpkg --compare-versions "$version" lt 1:10
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
from_backports=()
qemu_too_old && from_backports=("${backports[@]}")
[[ ${#missing[@]} -eq 0 && ${#from_backports[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]} ${from_backports[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "error: these packages are missing and installing them needs root" >&2
  exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
sources=/etc/apt/sources.list.d/quellwick-backports.sources
if [[ ${#from_backports[@]} -ne 0 && ! -f $sources ]]; then
  cat >"$sources" <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
[[ ${#missing[@]} -eq 0 ]] || apt-get install -y -q --no-install-recommends "${missing[@]}"
if [[ ${#from_backports[@]} -ne 0 ]]; then
  apt-get install -y -q --no-install-recommends -t bookworm-backports "${from_backports[@]}"
fi
