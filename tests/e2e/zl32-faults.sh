#!/bin/sh
# zl32.exe against faults made on the host, as a media maker meets them: a full
# disk (a small RAM file system), a device node where the archive should go, and
# the process ended from outside in the middle of a pack. Each time the archive
# that was there stays byte for byte, and no temporary file is left beside it.
# Needs root (mount, mknod); exits 77 (skipped) otherwise.
#
# Usage: zl32-faults.sh <build folder>   (the Windows build, with bin/ and wine-run.sh)
set -eu
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for mount and mknod"; exit 77; }
build=$(cd "$1" && pwd)
. "$(dirname "$0")/../../cmake/wine-session.sh"

scratch=$(mktemp -d /tmp/tolvar-zl32-faults-XXXXXX)
cleanup() {
  mountpoint -q "$scratch/disk" && umount "$scratch/disk"
  rm -rf "$scratch"
}
trap cleanup EXIT
cd "$scratch"
fail() { echo "FAIL: $*"; exit 1; }
zl32() { wine "$build/bin/zl32.exe" "$@" </dev/null; }
unchanged() { cmp -s "$1" old.zl || fail "$2: $1 changed"; }
no_partial() { ! ls "$1".partial-* >/dev/null 2>&1 || fail "$2: a temporary file was left: $(ls "$1".partial-*)"; }

mkdir small big
printf 'x' >small/x.txt
head -c 16777216 /dev/urandom >big/noise.bin
zl32 pack small -o old.zl >/dev/null || fail "packing the small tree"

# The archive's place is a device node: refused, the node stays.
mknod nulldev c 1 3
status=0; zl32 pack small -o nulldev 2>/dev/null || status=$?
[ $status -eq 4 ] && [ -c nulldev ] || fail "device node: exit $status"

# A full disk under an archive that was there.
mkdir disk && mount -t tmpfs -o size=4m tmpfs disk
cp old.zl disk/W.zl
status=0; zl32 pack big -o disk/W.zl 2>/dev/null || status=$?
[ $status -eq 4 ] || fail "full disk: exit $status"
unchanged disk/W.zl "full disk"; no_partial disk/W.zl "full disk"

# Ended from outside while it writes: whatever the signal, the process's files
# marked for deletion go with it.
for signal in KILL TERM HUP INT; do
  cp old.zl W.zl
  zl32 pack big -o W.zl --level 9 >/dev/null 2>&1 &
  job=$!
  i=0
  until ls W.zl.partial-* >/dev/null 2>&1; do
    i=$((i + 1)); [ $i -lt 600 ] || fail "$signal: no temporary file appeared"; sleep 0.05
  done
  # Other builds may run their own zl32.exe: ours runs in this folder and prefix.
  pid=""
  for candidate in $(pgrep -x zl32.exe); do
    if [ "$(readlink "/proc/$candidate/cwd")" = "$scratch" ] &&
      tr '\0' '\n' <"/proc/$candidate/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      pid=$candidate
    fi
  done
  [ -n "$pid" ] || fail "$signal: zl32.exe not found"
  kill -s "$signal" "$pid"
  status=0; wait "$job" || status=$?
  echo "$signal: exit $status"
  i=0
  while ls W.zl.partial-* >/dev/null 2>&1 && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.1; done
  unchanged W.zl "$signal"; no_partial W.zl "$signal"
done
echo "PASS"
