#!/bin/sh
# The release programs signed as a vendor signs them (scripts/sign.sh), with a
# throwaway certificate authority: the signatures verify against that authority
# and no other, the signed files keep their run-from-swap marks and get a right
# checksum, and under Wine the signed zl32.exe packs a medium from which the
# signed Tolvar.exe unpacks and starts the wizard, but only a wizard its vendor
# signed: not an unsigned one, not another vendor's, not one changed or forged
# after signing. An unsigned Tolvar.exe starts any wizard, and so does one whose
# own signature does not hold.
#
# Usage: signing.sh <build folder>   (the Windows build, with bin/ and wine-run.sh)
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/cmake/wine-session.sh"

start_scratch signing
fail() {
  echo "FAIL: $*"
  exit 1
}
mkdir -p "$root/ca" "$root/other" "$root/Medium 1" "$root/Medium 2" "$root/Medium 3" "$root/tree" "$root/wizards" "$root/pictures"
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
make_signer() {
  quiet openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$3"
  quiet openssl x509 -req -in "$1.csr" -CA "$2/ca.pem" -CAkey "$2/ca.key" -CAcreateserial -days 2 \
    -extfile signer.ext -out "$1.pem"
}
make_signer signer ca "Tolvar Test Vendor"
# Another vendor, from the unrelated authority.
make_signer vendor2 other "Other Test Vendor"

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

# What the program's own check says of signed, unsigned and forged files.
wizards="$root/wizards"
cp "$build/bin/testwizard.exe" "$wizards/unsigned.exe"
sh "$source/scripts/sign.sh" signer.pem signer.key "$wizards/unsigned.exe" >/dev/null
mv "$wizards/unsigned.exe" "$wizards/signed.exe"
cp "$build/bin/testwizard.exe" "$wizards/unsigned.exe"
cp "$build/bin/testwizard.exe" "$wizards/vendor2.exe"
sh "$source/scripts/sign.sh" vendor2.pem vendor2.key "$wizards/vendor2.exe" >/dev/null
forge() { python3 "$source/tests/packaging/forge-signature.py" "$@" || fail "forge-signature.py $*"; }
forge "$wizards/signed.exe" "$wizards/changed.exe" change-stub
forge "$wizards/signed.exe" "$wizards/damaged.exe" damage-signature
# The changed file's own digest put where the signed one was: the signed
# attributes no longer vouch for the content.
digest() { osslsigncode verify -in "$1" 2>/dev/null | sed -n "s/^$2 message digest *: *\([0-9A-Fa-f]*\).*/\1/p"; }
forge "$wizards/changed.exe" "$wizards/swapped.exe" swap-digest "$(digest "$wizards/changed.exe" Current)" \
  "$(digest "$wizards/changed.exe" Calculated)"
certificate() { openssl x509 -in "$1" -outform DER | sha256sum | cut -d' ' -f1; }
vendor=$(certificate signer.pem)
other=$(certificate vendor2.pem)
win_wizards="$win_root\\wizards"
wine "$build/bin/signature_probe.exe" "$win_root\\Medium 1\\Tolvar.exe" "$win_wizards\\signed.exe" \
  "$win_wizards\\unsigned.exe" "$win_wizards\\vendor2.exe" "$win_wizards\\changed.exe" "$win_wizards\\damaged.exe" \
  "$win_wizards\\swapped.exe" </dev/null | tr -d '\r' >probe.log || { cat probe.log; fail "signature_probe.exe"; }
printf '%s\n' "valid $vendor" "valid $vendor" unsigned "valid $other" invalid invalid invalid >probe.expected
diff probe.expected probe.log || fail "the signature check (expected, then seen, above)"
echo "signature check: Tolvar.exe and its wizard by the vendor's certificate, the other vendor's by its own;" \
  "unsigned, changed, damaged and swapped files told apart"
# The POSIX check (zl32's on Linux, the native build's probe) says the same of the same files.
native_probe=${TOLVAR_NATIVE_PROBE:-$source/build/native/bin/signature_probe}
if [ -x "$native_probe" ]; then
  "$native_probe" "$root/Medium 1/Tolvar.exe" "$wizards/signed.exe" "$wizards/unsigned.exe" "$wizards/vendor2.exe" \
    "$wizards/changed.exe" "$wizards/damaged.exe" "$wizards/swapped.exe" >native.log || fail "$native_probe"
  diff probe.log native.log || fail "the POSIX signature check (Windows' verdicts, then POSIX', above)"
  echo "POSIX signature check: the same verdicts as Windows'"
else
  echo "POSIX signature check not compared: $native_probe is not built (cmake --build --preset native)"
fi

# The signed programs at work: zl32.exe packs each wizard, its check-medium says
# whether Tolvar would get through, Tolvar.exe unpacks it from the medium and
# starts it or refuses it.
cp "$build/bin/Tolvar.exe" "Medium 2/"
point_program_files "$win_root\\Program Files"
setup="$win_root\\Program Files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\"
log="$root/Program Files/VORLAK SOFTWARE/Common Files/Ostrel/Setup/setupostrel.log"
# run_case MEDIUM WIZARD starts|refused
run_case() {
  medium=$1
  rm -rf "$root/Program Files" tree/*
  cp "$wizards/$2.exe" tree/setupostrel.exe
  wine "$win_root\\Medium 1\\zl32.exe" pack "$win_root\\tree" -o "$win_root\\$medium\\WIZARD.zl" </dev/null \
    >/dev/null 2>&1 || fail "the signed zl32.exe could not pack the $2 wizard"
  expected=7
  [ "$3" = starts ] && expected=0
  checked=0
  wine "$win_root\\Medium 1\\zl32.exe" check-medium "$win_root\\$medium" </dev/null >medium.log 2>&1 || checked=$?
  [ "$checked" = "$expected" ] || { cat medium.log; fail "zl32.exe check-medium of $medium ($2 wizard): exit $checked"; }
  [ "$3" = starts ] || grep -q '^zl32: .*WIZARD.zl: setupostrel.exe: ' medium.log ||
    { cat medium.log; fail "zl32.exe check-medium of $medium did not name the $2 wizard"; }
  wine "$build/bin/windowwatch.exe" --close-messages "$win_root\\pictures" "$win_root\\$medium\\Tolvar.exe" \
    </dev/null >watch.log 2>&1 || { cat watch.log; fail "Tolvar.exe of $medium did not end with 0 ($2 wizard)"; }
  if [ "$3" = starts ]; then
    grep '^Message' watch.log && fail "Tolvar.exe of $medium showed a message ($2 wizard)"
    [ -f "$log" ] || fail "Tolvar.exe of $medium did not start the $2 wizard"
    grep -qxF "commandline=${setup}setupostrel.exe \"$win_root\\$medium\\\"" "$log" ||
      fail "the wizard's command line: $(grep commandline "$log")"
  else
    [ -f "$log" ] && fail "Tolvar.exe of $medium started the $2 wizard"
    [ "$(grep -c '^Message' watch.log)" = 1 ] && grep -q '^Message.*\[Chyba při spouštění průvodce instalací!\]' watch.log ||
      { cat watch.log; fail "Tolvar.exe of $medium did not say why it refused the $2 wizard"; }
  fi
  echo "$medium: the $2 wizard $3"
}
run_case "Medium 1" signed starts
for wizard in unsigned vendor2 changed damaged swapped; do run_case "Medium 1" $wizard refused; done
# Unsigned, Tolvar.exe lends nobody's name: it starts what it unpacked, as before.
run_case "Medium 2" unsigned starts
run_case "Medium 2" vendor2 starts
# Nor does a Tolvar.exe whose own signature does not hold: Windows names no
# publisher for it.
forge "Medium 1/Tolvar.exe" "Medium 3/Tolvar.exe" change-stub
run_case "Medium 3" vendor2 starts
# No picture is required: how long the progress window of this small archive
# stays up depends on the machine, and the watcher may not see it at all.
echo "PASS: the signed programs verify and run, and the signed Tolvar.exe starts only its vendor's wizard"
