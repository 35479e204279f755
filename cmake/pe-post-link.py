#!/usr/bin/env python3
"""The last touches of a linked Windows program, which the GNU linker has no switch for.

    pe-post-link.py FILE            mark FILE and set its checksum
    pe-post-link.py --check FILE    exit 1 unless FILE is marked and its checksum is right
    pe-post-link.py --check-sum FILE  exit 1 unless FILE's checksum is right

The marks are IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP (0x0400) and IMAGE_FILE_NET_RUN_FROM_SWAP
(0x0800) in the COFF header: Windows copies the program to the swap file before it runs it
from removable or network media, so the medium may be changed while it runs. The checksum
is the optional header's CheckSum, which the linker leaves 0. A signature appended later
changes the file, so signing must set it again (osslsigncode does).

Layout: offset 0x3C holds the offset of "PE\\0\\0"; the 20-byte COFF header follows, its
Characteristics at +18; the optional header follows that, its CheckSum at +64 for 32- and
64-bit programs alike.
"""
import struct
import sys

RUN_FROM_SWAP = 0x0400 | 0x0800


def header_offsets(data):
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    coff = pe + 4
    return coff + 18, coff + 20 + 64


def checksum(data, checksum_at):
    """The sum of the file's 16-bit words with end-around carry (the CheckSum field
    counted as 0), plus the file's length."""
    padded = data + (b"\0" if len(data) % 2 else b"")
    words = struct.unpack("<%dH" % (len(padded) // 2), padded)
    total = sum(words) - words[checksum_at // 2] - words[checksum_at // 2 + 1]
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def main(argv):
    check = argv[1] if argv[1:2] in (["--check"], ["--check-sum"]) else None
    paths = argv[2:] if check else argv[1:]
    if len(paths) != 1:
        sys.exit(__doc__)
    path = paths[0]
    with open(path, "rb") as f:
        data = bytearray(f.read())
    try:
        characteristics_at, checksum_at = header_offsets(data)
    except ValueError as error:
        sys.exit("pe-post-link: %s: %s" % (path, error))
    (characteristics,) = struct.unpack_from("<H", data, characteristics_at)
    (stored,) = struct.unpack_from("<I", data, checksum_at)
    if check:
        ok = True
        if check == "--check" and characteristics & RUN_FROM_SWAP != RUN_FROM_SWAP:
            print("FAIL: %s lacks the run-from-swap marks" % path)
            ok = False
        if stored != checksum(bytes(data), checksum_at):
            print("FAIL: %s has the checksum 0x%08X, not 0x%08X" % (path, stored, checksum(bytes(data), checksum_at)))
            ok = False
        return 0 if ok else 1
    struct.pack_into("<H", data, characteristics_at, characteristics | RUN_FROM_SWAP)
    struct.pack_into("<I", data, checksum_at, checksum(bytes(data), checksum_at))
    with open(path, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
