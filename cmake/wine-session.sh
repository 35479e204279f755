# Sourced, with $build set to the Windows build folder, by the scripts that run
# Windows programs with plain `wine` beside the build's wrapper: the wrapper makes
# the build's Wine prefix (and, without a display, the build's X server), and the
# script gets what the wrapper sets for every program. Sets $run (the wrapper)
# and $virtual_display ("yes" when the display is the build's own X server).
run="$build/wine-run.sh"
"$run" cmd /c exit >/dev/null 2>&1
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
export LC_ALL=C.UTF-8  # as the wrapper runs every program (see there)
virtual_display=""
if [ -z "${DISPLAY:-}" ]; then
  DISPLAY=$(cut -d' ' -f1 "$build/xvfb.display")
  export DISPLAY
  virtual_display=yes
fi
