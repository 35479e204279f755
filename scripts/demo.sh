#!/bin/sh
# The demo: builds Tolvar.exe, makes a demo installation medium and runs the
# bootstrapper from it under Wine (on a virtual X display when there is none),
# then says what happened.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64

build="$(pwd)/build/win64"
run="$build/wine-run.sh"
"$run" cmd /c exit >/dev/null 2>&1   # creates the Wine prefix on first use
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
[ -n "${DISPLAY:-}" ] || { DISPLAY=$(cut -d' ' -f1 "$build/xvfb.display"); export DISPLAY; }

# The medium: a folder with blanks in its name, as a download folder may have.
medium="$WINEPREFIX/drive_c/Demo Medium"
rm -rf "$medium"
mkdir -p "$medium"
cp "$build/bin/Tolvar.exe" "$medium/"

# The setup folder lies below the prefix's own program-files folder.
program_files=$(wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir |
  tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
vendor="$(winepath -u "$program_files" | sed 's:/*$::')/VORLAK SOFTWARE"
setup="$vendor/Common Files/Ostrel/Setup"
rm -rf "$vendor"

# The wizard: a stand-in that records how it was started and waits two seconds.
# Until WIZARD.zl is unpacked by the bootstrapper, it is put in place beforehand.
mkdir -p "$setup"
cp "$build/bin/testwizard.exe" "$setup/setupostrel.exe"
printf 'sleep=2000\n' >"$setup/setupostrel.cfg"

echo "Running Tolvar.exe from C:\\Demo Medium ..."
status=0
wine 'C:\Demo Medium\Tolvar.exe' || status=$?

echo
echo "Tolvar.exe ended with exit code $status."
if [ -d "$setup" ]; then echo "Setup folder: $program_files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\"; fi
if [ -f "$setup/setupostrel.log" ]; then
  echo "The wizard was started with the command line:"
  sed -n 's/^commandline=/  /p' "$setup/setupostrel.log"
else
  echo "The wizard was not started."
fi
sh scripts/stop-wine.sh "$build"
