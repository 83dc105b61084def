#!/usr/bin/env bash
# Runs a command where 32-bit Linux programs can run, so that 32-bit Wine can start:
# directly when the kernel executes them itself, otherwise inside a private user and
# mount namespace whose own binfmt_misc hands i386 ELF files to qemu's user-mode emulator
# (Linux 6.7 and later give each user namespace its own binfmt_misc). Nothing is
# registered for any process outside that namespace.
#
#   tools/with_i386.sh --check   exits 0 when one of the two ways works, else says why
#   tools/with_i386.sh CMD...    runs CMD that way
set -uo pipefail

qemu=/usr/bin/qemu-i386
probe=/usr/lib/wine/wine

native_ok() { "$probe" --version >/dev/null 2>&1; }

if [[ ${1:-} == --inside ]]; then
  shift
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || exit 125
  # i386 ELF, executables and shared objects (e_type 2 and 3, hence the 0xfe mask byte).
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  # F opens the emulator now, so it works whatever the namespace sees later; P keeps argv[0].
  printf ':qemu-i386:M::%s:%s:%s:FP' "$magic" "$mask" "$qemu" >/proc/sys/fs/binfmt_misc/register || exit 125
  exec "$@"
fi

self=$(readlink -f "$0")
emulated() { QW_EMULATED_CPU=1 unshare --user --map-root-user --mount bash "$self" --inside "$@"; }

if [[ ${1:-} == --check ]]; then
  native_ok && exit 0
  if [[ ! -x $qemu ]]; then
    echo "the kernel cannot execute 32-bit programs and $qemu is missing"
    exit 1
  fi
  if ! emulated "$probe" --version >/dev/null 2>&1; then
    echo "the kernel cannot execute 32-bit programs, and a private binfmt_misc for qemu could not be set up (it needs Linux 6.7 or later and unprivileged user namespaces)"
    exit 1
  fi
  exit 0
fi

if native_ok; then
  exec "$@"
fi
emulated "$@"
