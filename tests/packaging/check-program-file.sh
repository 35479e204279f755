#!/bin/sh
# Checks that a Windows program is one self-contained file fit for installation
# media: GUI subsystem, marked to run from the swap file when started from
# removable or network media, a right checksum, importing only DLLs that the
# system always loads from its own folder (no compiler runtime, no zlib DLL
# beside it), and, when a limit is given, no larger than that many bytes.
# Usage: check-program-file.sh <program.exe> [max-bytes]
set -eu
exe=$1
limit=${2:-}
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
fail=0

echo "$headers" | grep -q 'Subsystem.*(Windows GUI)' || { echo "FAIL: not a GUI-subsystem program"; fail=1; }
echo "$headers" | grep -q 'copy to swap file if on removable media' || { echo "FAIL: no run-from-swap mark for removable media"; fail=1; }
echo "$headers" | grep -q 'copy to swap file if on network media' || { echo "FAIL: no run-from-swap mark for network media"; fail=1; }
python3 "$(dirname "$0")/../../cmake/pe-post-link.py" --check "$exe" || fail=1

# The DLLs every Windows loads from its system folder (the known DLLs, and ntdll,
# which the system maps into every process before anything else).
allowed='ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll SHELL32.dll OLE32.dll COMDLG32.dll SHLWAPI.dll ntdll.dll'
for dll in $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  case " $allowed " in
    *" $dll "*) echo "imports $dll" ;;
    *) echo "FAIL: imports $dll, which is not a system-folder DLL"; fail=1 ;;
  esac
done

if [ -n "$limit" ]; then
  size=$(wc -c < "$exe")
  if [ "$size" -gt "$limit" ]; then
    echo "FAIL: $size bytes, more than $limit"; fail=1
  else
    echo "size $size bytes (at most $limit)"
  fi
fi

[ $fail -eq 0 ] && echo "PASS: $exe"
exit $fail
