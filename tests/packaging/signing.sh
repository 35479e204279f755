#!/bin/sh
# The release programs signed as a vendor signs them (scripts/sign.sh), with a
# throwaway certificate authority: the signatures verify against that authority
# and no other, the signed files keep their run-from-swap marks and get a right
# checksum, and under Wine the signed zl32.exe packs a medium from which the
# signed Tolvar.exe unpacks and starts the wizard.
#
# Usage: signing.sh <build folder>   (the Windows build, with bin/ and wine-run.sh)
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/cmake/wine-session.sh"

label="signing $$"
root="$WINEPREFIX/drive_c/tolvar-tests/$label"
win_root="C:\\tolvar-tests\\$label"
save_program_files
cleanup() {
  restore_program_files
  rm -rf "$root"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
mkdir -p "$root/ca" "$root/other" "$root/Medium 1" "$root/tree" "$root/pictures"
cd "$root"

# A certificate authority and a code-signing certificate it issued; a second,
# unrelated authority that must not vouch for the signature.
quiet() { "$@" >/dev/null 2>&1 || fail "$*"; }
make_ca() {
  quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1/ca.key" -out "$1/ca.pem" -days 3 -subj "/CN=$2" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
}
make_ca ca "Tolvar Test Authority"
make_ca other "Unrelated Authority"
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
quiet openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Tolvar Test Vendor"
quiet openssl x509 -req -in signer.csr -CA ca/ca.pem -CAkey ca/ca.key -CAcreateserial -days 2 \
  -extfile signer.ext -out signer.pem

cp "$build/bin/Tolvar.exe" "$build/bin/zl32.exe" "Medium 1/"
sh "$source/scripts/sign.sh" signer.pem signer.key "Medium 1/Tolvar.exe" "Medium 1/zl32.exe" >/dev/null ||
  fail "sign.sh failed"
for program in Tolvar.exe zl32.exe; do
  osslsigncode verify -CAfile ca/ca.pem -in "Medium 1/$program" >verify.log 2>&1 ||
    { cat verify.log; fail "the signature of $program does not verify"; }
  grep -q 'Tolvar Test Vendor' verify.log || fail "$program is not signed by the test vendor"
  osslsigncode verify -CAfile other/ca.pem -in "Medium 1/$program" >/dev/null 2>&1 &&
    fail "an unrelated authority vouches for $program"
  osslsigncode verify -CAfile ca/ca.pem -in "$build/bin/$program" >/dev/null 2>&1 &&
    fail "the unsigned $program verifies"
  # Without its signature the program is the build's own bytes again, so a shipped
  # program can be compared with a rebuild of its commit.
  osslsigncode remove-signature -in "Medium 1/$program" -out unsigned.exe >/dev/null 2>&1 ||
    fail "cannot remove the signature of $program"
  cmp -s unsigned.exe "$build/bin/$program" || fail "$program without its signature is not the unsigned build"
  rm -f unsigned.exe
  echo "signed and verified: $program"
done
sh "$source/tests/packaging/check-program-file.sh" "Medium 1/Tolvar.exe" >check.log || { cat check.log; fail "signed Tolvar.exe"; }
python3 "$source/cmake/pe-post-link.py" --check-sum "Medium 1/zl32.exe" || fail "the checksum of the signed zl32.exe"
# The system's own checksum routine agrees.
for program in Tolvar.exe zl32.exe; do
  wine "$build/bin/pe_checksum.exe" "$win_root\\Medium 1\\$program" </dev/null || fail "the system's checksum of $program"
done

# The signed programs at work: zl32.exe packs the wizard, Tolvar.exe unpacks it
# from the medium and starts it.
cp "$build/bin/testwizard.exe" tree/setupostrel.exe
wine "$win_root\\Medium 1\\zl32.exe" pack "$win_root\\tree" -o "$win_root\\Medium 1\\WIZARD.zl" </dev/null >/dev/null 2>&1 ||
  fail "the signed zl32.exe could not pack the wizard"
point_program_files "$win_root\\Program Files"
wine "$build/bin/windowwatch.exe" --close-messages "$win_root\\pictures" "$win_root\\Medium 1\\Tolvar.exe" \
  </dev/null >watch.log 2>&1 || { cat watch.log; fail "the signed Tolvar.exe did not end with 0"; }
grep '^Message' watch.log && fail "the signed Tolvar.exe showed a message"
log="$root/Program Files/VORLAK SOFTWARE/Common Files/Ostrel/Setup/setupostrel.log"
[ -f "$log" ] || fail "the signed Tolvar.exe did not start the wizard"
setup="$win_root\\Program Files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\"
grep -qxF "commandline=${setup}setupostrel.exe \"$win_root\\Medium 1\\\"" "$log" ||
  fail "the wizard's command line: $(grep commandline "$log")"
# No picture is required: how long the progress window of this small archive
# stays up depends on the machine, and the watcher may not see it at all.
echo "PASS: the signed programs verify and run"
