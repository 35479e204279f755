#!/bin/sh
# zl32 check-medium on a table of media, good and broken, as a media maker
# makes them: programs made by make-program.py and signed with throwaway
# authorities (openssl, osslsigncode), archives packed by zl32, tolvar.def
# written in the encodings and line ends people use. Each medium must give its
# exit code and say its finding, naming the file.
#
# Usage: check-medium.sh <zl32>
set -eu
zl32=$(realpath "$1")
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
fail() {
  echo "FAIL: $*"
  exit 1
}
quiet() { "$@" >/dev/null 2>&1 || fail "$*"; }

# --- Programs: a bootstrapper and a wizard, signed by a vendor, by another vendor, forged.
program() { python3 "$source/tests/packaging/make-program.py" "$@"; }
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 3 -subj "/CN=Medium Test Authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
for vendor in vendor other; do
  quiet openssl req -newkey rsa:2048 -nodes -keyout $vendor.key -out $vendor.csr -subj "/CN=Medium Test $vendor"
  quiet openssl x509 -req -in $vendor.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
    -out $vendor.pem
done
sign() { quiet osslsigncode sign -certs "$2.pem" -key "$2.key" -h sha256 -in "$1" -out "$3"; }
program tolvar.exe --text bootstrapper
program wizard.exe --text wizard
sign tolvar.exe vendor tolvar-signed.exe
sign wizard.exe vendor wizard-vendor.exe
sign wizard.exe other wizard-other.exe
python3 "$source/tests/packaging/forge-signature.py" wizard-vendor.exe wizard-changed.exe change-stub
python3 "$source/tests/packaging/forge-signature.py" tolvar-signed.exe tolvar-changed.exe change-stub

# --- Media. medium NAME [TOLVAR [WIZARD]]: Tolvar.exe and a WIZARD.zl of the
# wizard at its top, a top file common.dll and data/readme.txt.
medium() {
  rm -rf "tree-$1"
  mkdir -p "$1" "tree-$1/data"
  cp "${2:-tolvar.exe}" "$1/Tolvar.exe"
  cp "${3:-wizard.exe}" "tree-$1/setupostrel.exe"
  echo library >"tree-$1/common.dll"
  echo text >"tree-$1/data/readme.txt"
  "$zl32" pack -q "tree-$1" -o "$1/WIZARD.zl" || fail "pack $1"
}
# definition NAME LINE...: tolvar.def of the lines, ended by CR LF.
definition() {
  name=$1
  shift
  printf '%s\r\n' "$@" >"$name/tolvar.def"
}
# check NAME CODE TEXT [OPTIONS...]: check-medium gives CODE and says TEXT.
cases=0
check() {
  name=$1 code=$2 text=$3
  shift 3
  status=0
  "$zl32" check-medium "$name" "$@" >out.log 2>err.log || status=$?
  [ "$status" = "$code" ] || { cat out.log err.log; fail "$name: exit code $status, not $code"; }
  cat out.log err.log | grep -q -F -e "$text" || { cat out.log err.log; fail "$name: does not say: $text"; }
  cases=$((cases + 1))
}

medium good
check good 0 "good: OK: Tolvar gets through"
grep -q "good/WIZARD.zl: passes zl32 test" out.log || fail "the archive's test is not reported"
"$zl32" check-medium -q good >out.log 2>err.log && [ ! -s out.log ] && [ ! -s err.log ] || fail "-q is not quiet"

# The bootstrapper.
medium no-tolvar && rm no-tolvar/Tolvar.exe
check no-tolvar 7 "no-tolvar/Tolvar.exe: missing"
medium lower-case && mv lower-case/Tolvar.exe lower-case/tolvar.EXE
check lower-case 0 "lower-case/tolvar.EXE: a window program for x86-64, not signed"
medium console && program console/Tolvar.exe --console
check console 7 "console/Tolvar.exe: a console program, not a window program for x86-64"
medium x86 && program x86/Tolvar.exe --machine x86
check x86 7 "x86/Tolvar.exe: a program for x86, not"
medium text && echo "not a program" >text/Tolvar.exe
check text 7 "text/Tolvar.exe: not a Windows program"
check missing-folder 7 "missing-folder: no such folder"

# The archive and its wizard.
medium no-archive && rm no-archive/WIZARD.zl
check no-archive 7 "no-archive/WIZARD.zl: missing: Tolvar shows \"Archivní soubor nenalezen.\""
medium deep && mkdir tree-deep/sub && mv tree-deep/setupostrel.exe tree-deep/sub/ &&
  "$zl32" pack -q tree-deep -o deep/WIZARD.zl
check deep 7 "deep/WIZARD.zl: holds setupostrel.exe only below its top (sub/setupostrel.exe)"
medium cut && truncate -s -5 cut/WIZARD.zl
check cut 7 "cut/WIZARD.zl: entry"
medium not-a-program && echo "text" >tree-not-a-program/setupostrel.exe && "$zl32" pack -q tree-not-a-program \
  -o not-a-program/WIZARD.zl
check not-a-program 7 "not-a-program/WIZARD.zl: setupostrel.exe: not a Windows program"

# Signatures: a signed Tolvar.exe starts only its vendor's wizard; one whose
# signature does not hold, or none, starts any.
medium signed tolvar-signed.exe wizard-vendor.exe
check signed 0 "setupostrel.exe: signed by \"Medium Test vendor\""
medium signed-unsigned tolvar-signed.exe wizard.exe
check signed-unsigned 7 "signed-unsigned/WIZARD.zl: setupostrel.exe: not signed: the signed Tolvar.exe starts only"
medium signed-other tolvar-signed.exe wizard-other.exe
check signed-other 7 "setupostrel.exe: signed with another certificate (\"Medium Test other\""
medium signed-changed tolvar-signed.exe wizard-changed.exe
check signed-changed 7 "setupostrel.exe: signed, but the signature does not hold"
medium changed-other tolvar-changed.exe wizard-other.exe
check changed-other 0 "warning: changed-other/Tolvar.exe: its signature does not hold"
medium unsigned-other tolvar.exe wizard-other.exe
check unsigned-other 0 "has no valid signature, so it starts the wizard unchecked"

# tolvar.def: sources on the medium, on a second disk, or nowhere; names of the copies.
medium copies && mkdir -p copies/DATA && echo a >copies/DATA/A.DAT && echo u >"copies/DATA/Účet.txt"
definition copies "[CopyFiles]" "Count=2" "From1=%s\\data\\a.dat" "From2=%s\\DATA\\$(printf '\332\350')et.txt" \
  "To2=C.DAT" "SrcDisk=1"
check copies 0 "copies/tolvar.def: 2 files to copy"
printf '[CopyFiles]\nCount=1\nFrom1=%%s\\DATA\\A.DAT\n' >copies/tolvar.def  # LF line ends
check copies 0 "copies/tolvar.def: 1 file to copy"
printf '[CopyFiles]\r\nCount=1\r\nFrom1=%%s\\DATA\\\303\232\304\215et.txt\r\n' >copies/tolvar.def
check copies 7 "copies/tolvar.def: line 3: the text is UTF-8"
printf '\357\273\277[CopyFiles]\r\nCount=1\r\nFrom1=%%s\\DATA\\A.DAT\r\n' >copies/tolvar.def
check copies 7 "copies/tolvar.def: line 1: begins with a UTF-8 byte-order mark"
definition copies "[CopyFiles]" "Count=1" "From1=%s\\DATA\\A.DAT" "From2=%s\\DATA\\B.DAT"
check copies 0 "warning: copies/tolvar.def: line 4: From2 lies beyond Count=1"
definition copies "[CopyFiles]" "Count=1" "From1=%s\\DATA\\MISSING.DAT"
check copies 7 "copies/tolvar.def: line 3: From1=%s\\DATA\\MISSING.DAT: copies/DATA/MISSING.DAT is not on the medium"
definition copies "[CopyFiles]" "Count=1" "From1=C:\\Windows\\system32\\x.dll"
check copies 7 "From1=C:\\Windows\\system32\\x.dll: the source lies outside the medium"
echo A >copies/DATA/a.dat
definition copies "[CopyFiles]" "Count=1" "From1=%s\\DATA\\A.DAT"
check copies 7 "the folder of copies/DATA/A.DAT holds \"A.DAT\" and \"a.dat\", names Windows takes for one"
rm copies/DATA/a.dat

medium disks && mkdir -p disks/DATA disk2/DATA && echo a >disks/DATA/A.DAT && echo b >disk2/DATA/B.DAT
definition disks "[CopyFiles]" "Count=1" "From1=%s\\DATA\\B.DAT" "SrcDisk=2"
check disks 7 "From1=%s\\DATA\\B.DAT: not on the medium, so Tolvar asks \"Vložte disk 2\"; not checked: give --disk 2"
check disks 0 "disks: OK" --disk 2=disk2
check disks 7 "on neither the medium nor disk 2" --disk 2=disks/DATA
definition disks "[CopyFiles]" "Count=2" "From1=%s\\DATA\\A.DAT" "From2=%s\\DATA\\B.DAT" "SrcDisk=2"
check disks 7 "From1=%s\\DATA\\A.DAT: on the medium, but the copies start after the prompt" --disk 2=disk2
cp disks/DATA/A.DAT disk2/DATA/
check disks 0 "disks: OK" --disk 2=disk2
check disks 0 "warning: disk2: given as disk 3, which Tolvar never asks for" --disk 2=disk2 --disk 3=disk2

medium names && mkdir -p names/DATA && echo a >names/DATA/A.DAT && echo b >names/DATA/B.DAT
definition names "[CopyFiles]" "Count=2" "From1=%s\\DATA\\A.DAT" "To1=readme.txt" "From2=%s\\DATA\\B.DAT" \
  "To2=README.TXT"
check names 7 "bears the name of the copy of From1 (\"readme.txt\": Windows does not tell letter case apart)"
definition names "[CopyFiles]" "Count=1" "From1=%s\\DATA\\A.DAT" "To1=sub\\COMMON.DLL"
check names 7 "its copy \"COMMON.DLL\" bears the name of the file \"common.dll\" that WIZARD.zl writes at its top"
definition names "[CopyFiles]" "Count=1" "From1=%s\\DATA\\A.DAT" "To1=Data"
check names 7 "bears the name of the folder \"data\""
definition names "[CopyFiles]" "Count=1" "From1=%s\\DATA\\A.DAT" "To1=SETUPOSTREL.EXE"
check names 7 "its copy \"SETUPOSTREL.EXE\" bears the wizard's name"
definition names "[CopyFiles]" "Count=1" "From1=%s\\DATA\\A.DAT" "To1=setupostrel.exe.config"
check names 7 "steers how Windows loads the wizard"
definition names "[CopyFiles]" "Count=1" "From1=%s\\DATA\\A.DAT" "To1=CON"
check names 7 "its copy \"CON\" is not one plain name"

echo "PASS: $cases media checked"
