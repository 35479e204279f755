#!/bin/sh
# While the wizard runs, Tolvar.exe waits for it: that wait must cost next to no
# processor time. Measured from the host's own accounting (/proc) for Tolvar.exe
# and the Wine server together, since under Wine a polling loop spends much of
# its time inside the server, where the program's own counters do not see it.
#
# Usage: idle-wait.sh <build folder>   (the Windows build, with bin/ and wine-run.sh)
set -eu
build=$(cd "$1" && pwd)
. "$(dirname "$0")/../../cmake/wine-session.sh"
limit_ms=300
window_s=1.5

start_scratch "idle wait"
mkdir -p "$root/Medium 1" "$root/tree"
cp "$build/bin/Tolvar.exe" "$root/Medium 1/"
# The wizard travels in the medium's WIZARD.zl, packed as media makers pack it.
cp "$build/bin/testwizard.exe" "$root/tree/setupostrel.exe"
printf 'sleep=5000\n' >"$root/tree/setupostrel.cfg"
wine "$build/bin/zl32.exe" pack "$win_root\\tree" -o "$win_root\\Medium 1\\WIZARD.zl" </dev/null >/dev/null 2>&1 ||
  { echo "FAIL: zl32.exe could not pack the wizard"; exit 1; }

point_program_files "$win_root\\Program Files"

wine "$win_root\\Medium 1\\Tolvar.exe" </dev/null >/dev/null 2>&1 &
tolvar_job=$!

# The host's view of a process: its command line is the Windows path Wine started.
pid_of() { pgrep -f "$1" | head -n 1; }
cpu_ticks() {
  # utime and stime: fields 14 and 15; the name in parentheses may hold blanks.
  sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

i=0
until wizard=$(pid_of 'Setup\\setupostrel.exe') && [ -n "$wizard" ]; do
  i=$((i + 1))
  if [ $i -gt 200 ]; then echo "FAIL: the wizard did not start"; exit 1; fi
  sleep 0.1
done
tolvar=$(pid_of 'Medium 1\\Tolvar.exe')
# Several builds may each have a Wine server; ours was started with our prefix.
server=""
for candidate in $(pgrep -x wineserver64; pgrep -x wineserver); do
  if tr '\0' '\n' <"/proc/$candidate/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
    server=$candidate
  fi
done
[ -n "$tolvar" ] && [ -n "$server" ] || { echo "FAIL: Tolvar.exe or the Wine server not found"; exit 1; }

sleep 0.3
before=$(( $(cpu_ticks "$tolvar") + $(cpu_ticks "$server") ))
sleep "$window_s"
after=$(( $(cpu_ticks "$tolvar") + $(cpu_ticks "$server") ))
used_ms=$(( (after - before) * 10 ))

status=0
wait "$tolvar_job" || status=$?
echo "processor time while waiting ${window_s} s for the wizard: ${used_ms} ms (limit ${limit_ms} ms); exit code ${status}"
[ "$status" -eq 0 ] || { echo "FAIL: Tolvar.exe ended with $status"; exit 1; }
[ "$used_ms" -lt "$limit_ms" ] || { echo "FAIL: the wait is not idle"; exit 1; }
echo "PASS"
