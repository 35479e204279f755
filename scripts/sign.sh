#!/bin/sh
# Signs the release programs in place with an Authenticode signature (SHA-256),
# after every other step of their build, so that the signature covers the
# finished file and the PE checksum is set anew over it.
#
#   sh scripts/sign.sh CERT KEY [--timestamp URL] [PROGRAM ...]
#
# CERT  the code-signing certificate, followed by any intermediate certificates
#       (PEM or DER; a PKCS#12 file may be given as KEY instead, see below)
# KEY   its private key (PEM or DER), or a PKCS#12 (.pfx/.p12) file holding both;
#       a password, if the key has one, is read from the file that
#       TOLVAR_SIGN_PASSWORD_FILE names (never from the command line)
# --timestamp URL  an RFC 3161 time-stamping service, so that the signature stays
#       valid after the certificate expires
# PROGRAM  the files to sign; default build/win64/bin/Tolvar.exe and zl32.exe
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
usage() {
  echo "usage: sh scripts/sign.sh CERT KEY [--timestamp URL] [PROGRAM ...]" >&2
  exit 64
}
[ $# -ge 2 ] || usage
cert=$1
key=$2
shift 2
timestamp=""
if [ "${1:-}" = "--timestamp" ]; then
  [ $# -ge 2 ] || usage
  timestamp=$2
  shift 2
fi
[ $# -gt 0 ] || set -- "$root/build/win64/bin/Tolvar.exe" "$root/build/win64/bin/zl32.exe"
[ -r "$cert" ] || { echo "sign.sh: cannot read the certificate $cert" >&2; exit 66; }
[ -r "$key" ] || { echo "sign.sh: cannot read the key $key" >&2; exit 66; }
command -v osslsigncode >/dev/null || { echo "sign.sh: osslsigncode is missing (sh scripts/install-deps.sh)" >&2; exit 69; }

# One signature per program: the whole finished file, with the product's name.
sign_with() {
  osslsigncode sign "$@" ${TOLVAR_SIGN_PASSWORD_FILE:+-readpass "$TOLVAR_SIGN_PASSWORD_FILE"} \
    -h sha256 -n "Ledgero" ${timestamp:+-ts "$timestamp"} -in "$program" -out "$signed" >/dev/null
}
for program in "$@"; do
  [ -f "$program" ] || { echo "sign.sh: no program $program (build it first)" >&2; exit 66; }
  signed="$program.signed"
  rm -f "$signed"
  case "$key" in
    *.pfx | *.p12) sign_with -pkcs12 "$key" ;;
    *) sign_with -certs "$cert" -key "$key" ;;
  esac
  mv -f "$signed" "$program"
  echo "signed $program"
done
