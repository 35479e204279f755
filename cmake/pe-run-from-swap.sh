#!/bin/sh
# Sets IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP (0x0400) and IMAGE_FILE_NET_RUN_FROM_SWAP
# (0x0800) in a PE file's COFF header. The GNU linker has no switch for them.
# Layout: offset 0x3C holds the offset of "PE\0\0"; the COFF header follows it and
# its 16-bit Characteristics field lies 18 bytes in, so its high byte is at +23.
set -eu
file=$1
pe=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
sig=$(od -An -tx1 -j"$pe" -N4 "$file" | tr -d ' ')
if [ "$sig" != "50450000" ]; then
  echo "pe-run-from-swap: $file is not a PE file" >&2
  exit 1
fi
at=$((pe + 23))
old=$(od -An -tu1 -j"$at" -N1 "$file" | tr -d ' ')
new=$((old | 12))
printf "\\$(printf %o "$new")" | dd of="$file" bs=1 seek="$at" conv=notrunc status=none
