#!/bin/sh
# Builds the release programs twice from two copies of this tree at different
# paths and checks that Tolvar.exe and zl32.exe come out byte for byte the same:
# no build time and no build path may reach them, so that anyone can rebuild a
# shipped program from its commit and compare.
#
#   sh scripts/check-reproducible.sh
#
# The copies hold the files git knows of (committed or not, ignored ones left
# out; without git, everything but build/), so the check sees the tree as it
# is. Prints each program's SHA-256.
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d /tmp/tolvar-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
first="$work/first/tolvar"
second="$work/another place/a deeper folder/checkout"
for copy in "$first" "$second"; do
  mkdir -p "$copy"
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
      xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh | tar --null -T - -cf - | tar -xf - -C "$copy"
  else
    tar --exclude=./build -cf - . | tar -xf - -C "$copy"  # an unpacked source archive
  fi
  (cd "$copy" && cmake --preset win64-programs >/dev/null && cmake --build --preset win64-programs >/dev/null) ||
    { echo "check-reproducible: the build in $copy failed" >&2; exit 1; }
done
status=0
for program in Tolvar.exe zl32.exe; do
  a="$first/build/win64-programs/bin/$program"
  b="$second/build/win64-programs/bin/$program"
  if cmp -s "$a" "$b"; then
    echo "reproducible: $program $(sha256sum "$a" | cut -d' ' -f1)"
  else
    echo "NOT reproducible: $program differs between two builds ($(cmp -l "$a" "$b" | wc -l) bytes)" >&2
    status=1
  fi
done
exit $status
