#!/bin/sh
# Stops the Wine server and the X server that a build's Wine wrapper started.
# Usage: stop-wine.sh <build folder>
build=$1
WINEPREFIX="$(cd "$build" && pwd)/wineprefix" wineserver -k 2>/dev/null || true
if [ -f "$build/xvfb.display" ]; then
  kill "$(cut -d' ' -f2 "$build/xvfb.display")" 2>/dev/null || true
  rm -f "$build/xvfb.display"
fi
