#!/bin/sh
# The demo: builds Tolvar.exe, makes a demo installation medium and runs the
# bootstrapper from it under Wine (on a virtual X display when there is none),
# then says what happened and leaves a picture of every window it showed in
# build/demo/.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
# zl32, the archive tool, natively: it packs the demo medium's WIZARD.zl.
cmake --preset native >/dev/null
cmake --build --preset native --target zl32

build="$(pwd)/build/win64"
. cmake/wine-session.sh
# On the virtual display nobody can read a message, so the watcher that takes
# the pictures closes each one once it has pictured it and printed its texts.
close_messages=""
[ -z "$virtual_display" ] || close_messages="--close-messages"

# The medium: a folder with blanks in its name, as a download folder may have.
medium="$WINEPREFIX/drive_c/Demo Medium"
rm -rf "$medium"
mkdir -p "$medium"
cp "$build/bin/Tolvar.exe" "$medium/"

# The setup folder lies below the prefix's own program-files folder (the 32-bit
# registry view's, where a 64-bit prefix has one).
program_files=$(program_files_folder)
vendor="$(winepath -u "$program_files" | sed 's:/*$::')/VORLAK SOFTWARE"
setup="$vendor/Common Files/Ostrel/Setup"
rm -rf "$vendor"

# The wizard tree, as the product's media makers prepare it: a stand-in wizard
# that records how it was started and waits two seconds, and some data. zl32
# packs it into the medium's WIZARD.zl; Tolvar.exe unpacks it into the setup
# folder under its progress window and starts the wizard.
tree="$build/demo-wizard-tree"
rm -rf "$tree"
mkdir -p "$tree/Data/Obrázky" "$tree/Data/Jazyky"
cp "$build/bin/testwizard.exe" "$tree/setupostrel.exe"
printf 'sleep=2000\n' >"$tree/setupostrel.cfg"
printf 'Návod k instalaci produktu Ledgero.\r\n' >"$tree/Data/Návod.txt"
head -c 12000000 /dev/urandom >"$tree/Data/Obrázky/pozadí.bmp"
printf 'cs\r\n' >"$tree/Data/Jazyky/cs.txt"
build/native/bin/zl32 pack "$tree" -o "$medium/WIZARD.zl"
build/native/bin/zl32 list "$medium/WIZARD.zl"

# An extra file that tolvar.def on the medium lists: copied into the setup folder
# under the wait window after unpacking, before the wizard starts.
mkdir -p "$medium/EXTRA"
printf 'Licence k produktu Ledgero.\r\n' >"$medium/EXTRA/licence.txt"
head -c 24000000 /dev/urandom >"$medium/EXTRA/ukázky.dat"
printf '[CopyFiles]\r\nCount=2\r\nFrom1=%%s\\EXTRA\\licence.txt\r\nTo1=Licence.txt\r\nFrom2=%%s\\EXTRA\\ukázky.dat\r\n' |
  iconv -f UTF-8 -t CP1250 >"$medium/tolvar.def"

pictures="$(pwd)/build/demo"
rm -rf "$pictures"
mkdir -p "$pictures"
echo "Running Tolvar.exe from C:\\Demo Medium ..."
status=0
# shellcheck disable=SC2086  # no option is an empty word
wine "$build/bin/windowwatch.exe" $close_messages "$(winepath -w "$pictures")" 'C:\Demo Medium\Tolvar.exe' \
  >"$build/demo-watch.log" 2>&1 || status=$?
grep '^Message' "$build/demo-watch.log" || true
for bmp in "$pictures"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done

echo
echo "Tolvar.exe ended with exit code $status."
if [ -d "$setup" ]; then
  echo "Setup folder: $program_files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\, holding:"
  (cd "$setup" && find . -mindepth 1 | sed 's:^\./:  :' | sort)
fi
if [ -f "$setup/setupostrel.log" ]; then
  echo "The wizard was started with the command line:"
  sed -n 's/^commandline=/  /p' "$setup/setupostrel.log"
else
  echo "The wizard was not started."
fi
echo "Pictures of the windows it showed, in the order they appeared (build/demo/):"
ls -1 "$pictures" | sed 's:^:  :'
sh scripts/stop-wine.sh "$build"
