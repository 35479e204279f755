#!/bin/sh
# The copy step as a user meets a bad medium: an extra file of tolvar.def that
# ends early while it is copied (cut from the host, as a stopped download or a
# network share would), and one whose reads fail (the read system call answers
# EIO, as a scratched disc does; injected with strace into Tolvar.exe's reads of
# that one file). Either way the user is told that the file could not be copied,
# and the wizard still starts.
#
# Usage: copy-faults.sh <build folder>   (the Windows build, with bin/ and wine-run.sh)
set -eu
build=$(cd "$1" && pwd)
. "$(dirname "$0")/../../cmake/wine-session.sh"

start_scratch "copy faults"
fail() {
  echo "FAIL: $*"
  exit 1
}
mkdir -p "$root/Medium 1/EXTRA" "$root/tree" "$root/pictures"
cp "$build/bin/Tolvar.exe" "$root/Medium 1/"
cp "$build/bin/testwizard.exe" "$root/tree/setupostrel.exe"
wine "$build/bin/zl32.exe" pack "$win_root\\tree" -o "$win_root\\Medium 1\\WIZARD.zl" </dev/null >/dev/null 2>&1 ||
  fail "zl32.exe could not pack the wizard"
printf '[CopyFiles]\r\nCount=1\r\nFrom1=%%s\\EXTRA\\big.dat\r\n' >"$root/Medium 1/tolvar.def"
point_program_files "$win_root\\Program Files"
setup="$root/Program Files/VORLAK SOFTWARE/Common Files/Ostrel/Setup"
source_file="$(realpath "$root/Medium 1/EXTRA")/big.dat"
size=$((1536 * 1024 * 1024))
expected="I/O chyba, soubor $win_root\\Medium 1\\EXTRA\\big.dat nebylo možné zkopírovat."

# Runs Tolvar.exe under the window watcher (which closes each message once it has
# read it) and, once the copy has begun, does the fault ($1: cut or fail).
run_with_fault() {
  rm -rf "$root/Program Files" "$root/pictures"/*
  rm -f "$source_file"
  truncate -s "$size" "$source_file"  # sparse: 1.5 GiB of zeros that take no room
  wine "$build/bin/windowwatch.exe" --close-messages "$win_root\\pictures" "$win_root\\Medium 1\\Tolvar.exe" \
    </dev/null >"$root/watch.log" 2>&1 &
  watch_job=$!
  i=0
  until [ "$(stat -c %s "$setup/big.dat" 2>/dev/null || echo 0)" -gt 1000000 ]; do
    i=$((i + 1))
    [ $i -le 600 ] || fail "$1: the copy did not begin"
    sleep 0.1
  done
  tracer=""
  case $1 in
    cut) truncate -s 8M "$source_file" ;;
    fail)
      # The process whose command line is the program itself (the watcher's names it too).
      tolvar=$(pgrep -f "^C:.tolvar-tests.$label.Medium 1.Tolvar.exe" | head -n 1)
      [ -n "$tolvar" ] || fail "fail: Tolvar.exe not found"
      strace -p "$tolvar" -P "$source_file" -e trace=read,pread64 -e inject=read,pread64:error=EIO \
        -o "$root/strace.log" 2>/dev/null &
      tracer=$!
      ;;
  esac
  status=0
  wait "$watch_job" || status=$?
  [ -z "$tracer" ] || kill "$tracer" 2>/dev/null || true
  [ "$status" -eq 0 ] || { cat "$root/watch.log"; fail "$1: Tolvar.exe ended with $status"; }
  grep -qF "$expected" "$root/watch.log" || { cat "$root/watch.log"; fail "$1: the copy was not reported"; }
  copied=$(stat -c %s "$setup/big.dat")
  [ "$copied" -lt "$size" ] || fail "$1: the whole file arrived, the fault came too late"
  [ -f "$setup/setupostrel.log" ] || fail "$1: the wizard did not start after the failed copy"
  [ "$1" != fail ] || grep -q "EIO.*INJECTED" "$root/strace.log" || fail "fail: no read failed"
  echo "$1: reported after $copied of $size bytes; the wizard started"
}

run_with_fault cut
run_with_fault fail
echo "PASS"
