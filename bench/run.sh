#!/bin/sh
# Builds what the benchmarks need, runs them once each and prints their figures
# side by side: the copy step against a plain 2048-byte copy loop, the size of
# Tolvar.exe, unpacking against plain zlib inflate (and under the progress
# window), packing against 7z and zlib, and the start-up times. Each program's
# own report comes first.
#
#   sh bench/run.sh [rounds]      (default 9 rounds per way, 7 start-up runs)
#
# Figures are medians of one run of each program; compare them between builds
# on one machine, never across machines.
set -eu
rounds=${1:-9}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

echo "building ..."
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Tolvar bench_filecopy bench_pumppoints bench_startup >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native --target extract_bench >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
wine=build/win64/wine-run.sh
run() {  # run NAME COMMAND...: shows the report and keeps it without carriage returns
  name=$1; shift
  echo "== $name"
  "$@" 2>&1 | tr -d '\r' | tee "$out/$name"
}
run filecopy "$wine" build/win64/bin/bench_filecopy.exe 64 "$rounds"
run pumppoints "$wine" build/win64/bin/bench_pumppoints.exe 64 "$rounds"
run startup "$wine" build/win64/bin/bench_startup.exe 7
run extract build/native/bin/extract_bench
run pack python3 bench/pack.py 3

# The median (in ms) of a report's line that starts with the given text.
median() { grep -F -- "$2" "$out/$1" | head -n 1 | sed -n 's/.*median *\([0-9.]*\) *\(ms\|us\).*/\1/p'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0) print "?"; else printf "%.2f", a / b }'; }

plain=$(median filecopy "plain 2048-byte block loop")
withWindow=$(median filecopy "CopyFileWithProgress + wait window")
inOpenWindow=$(median filecopy "CopyFileWithProgress in an open wait window")
windowOnly=$(median filecopy "ShowWait + CloseWait")
size=$(wc -c < build/win64/bin/Tolvar.exe)
unpack=$(sed -n 's/^ratio ExtractArchive \/ plain inflate: *//p' "$out/extract")
bare=$(median pumppoints "ExtractArchive, no callbacks")
windowed=$(median pumppoints "ExtractArchive + install progress window")
packVs7z=$(sed -n 's/^ *default level, time \/ 7z.s time (pair by pair): *//p' "$out/pack")
packVsZlib6=$(sed -n 's/^ *default level, size \/ zlib level 6: *//p' "$out/pack")
pack9VsZlib9=$(sed -n 's/^ *level 9, size \/ zlib level 9: *//p' "$out/pack")
firstWindow=$(median startup "start -> first window")
wizard=$(median startup "start -> wizard running")

echo
echo "== summary"
printf '%-58s %s\n' \
  "copy: plain loop / CopyFileWithProgress + wait window" "$(ratio "$plain" "$withWindow")  ($plain / $withWindow ms)" \
  "copy: plain loop / the same in an open wait window" "$(ratio "$plain" "$inOpenWindow")  ($plain / $inOpenWindow ms)" \
  "copy: opening and closing the wait window" "$windowOnly ms" \
  "Tolvar.exe" "$size bytes (limit 262144)" \
  "unpack: ExtractArchive / plain inflate (native)" "$unpack" \
  "unpack: no callbacks / under the install progress window" "$(ratio "$bare" "$windowed")  ($bare / $windowed ms)" \
  "pack: default level, time / 7z -tzip -mx=5" "${packVs7z:-?}" \
  "pack: default level, size / zlib 6 file by file" "${packVsZlib6:-?}" \
  "pack: level 9, size / zlib 9 file by file" "${pack9VsZlib9:-?}" \
  "start-up: to the first window (median)" "$firstWindow ms" \
  "start-up: to the running wizard (median)" "$wizard ms"
