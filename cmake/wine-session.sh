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

# The program-files folder that Tolvar.exe reads: the 32-bit registry view first,
# as a 32-bit program reads it on 64-bit Windows, the program's own view where
# that has no value. A script that points it elsewhere sets both views
# (point_program_files FOLDER) after saving them (save_program_files), and puts
# them back at its end (restore_program_files).
program_files_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
read_program_files() {  # $1: the view, 32 or 64
  wine reg query "$program_files_key" /v ProgramFilesDir "/reg:$1" 2>/dev/null </dev/null |
    tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'
}
program_files_folder() {
  folder=$(read_program_files 32)
  [ -n "$folder" ] || folder=$(read_program_files 64)
  printf '%s\n' "$folder"
}
save_program_files() {
  saved_program_files_32=$(read_program_files 32)
  saved_program_files_64=$(read_program_files 64)
}
point_program_files() {
  for view in 32 64; do
    wine reg add "$program_files_key" /v ProgramFilesDir /d "$1" /f "/reg:$view" </dev/null >/dev/null
  done
}
restore_program_files() {
  wine reg add "$program_files_key" /v ProgramFilesDir /d "${saved_program_files_64:-C:\\Program Files}" /f /reg:64 \
    </dev/null >/dev/null 2>&1 || true
  if [ -n "${saved_program_files_32:-}" ]; then
    wine reg add "$program_files_key" /v ProgramFilesDir /d "$saved_program_files_32" /f /reg:32 </dev/null >/dev/null 2>&1 || true
  else
    wine reg delete "$program_files_key" /v ProgramFilesDir /f /reg:32 </dev/null >/dev/null 2>&1 || true
  fi
}

# A test script's scratch folder in the prefix, named after the script and its
# process ($label): $root on the host, $win_root as Windows names it. The
# program-files values are saved now, and put back, with the folder removed,
# when the script exits.
start_scratch() {
  label="$1 $$"
  root="$WINEPREFIX/drive_c/tolvar-tests/$label"
  win_root="C:\\tolvar-tests\\$label"
  save_program_files
  trap 'restore_program_files; rm -rf "$root"' EXIT
}
