#!/bin/sh
# Runs the Windows tests with screenshots switched on and leaves PNG files of the
# program's windows, as the tests meet them, in build/screenshots/.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
out="$(pwd)/build/screenshots"
rm -rf "$out"
mkdir -p "$out"
# Start the prefix and its X display through the wrapper first: a Wine session
# begun without a display (as winepath alone would begin it) shows no windows.
build/win64/wine-run.sh cmd /c exit >/dev/null 2>&1
TOLVAR_SCREENSHOTS=$(WINEPREFIX="$(pwd)/build/win64/wineprefix" winepath -w "$out")
export TOLVAR_SCREENSHOTS
ctest --preset win64 -R "${1:-.}" || true
for bmp in "$out"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls -1 "$out"
