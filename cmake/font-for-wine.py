#!/usr/bin/env python3
"""Copies a TrueType font without its embedded bitmaps and its gasp table.

Usage: font-for-wine.py SOURCE.ttf TARGET.ttf

The Tahoma that Wine ships draws some letters from hand-made bitmaps at small
sizes, and its 11-pixel "u with ring" is a box. Without the EBDT, EBLC and EBSC
tables every size is drawn from the outlines. Its gasp table then asks for
unsmoothed, grid-fitted outlines at those sizes, which Wine draws up to 6 %
wider than the text extents it reports, so labels sized to their text cut off
their last letters; without the table the outlines are drawn smoothed and as
wide as measured. The metrics (extents, line height) stay the same.
Fonts that are only bitmaps in a TrueType wrapper are copied unchanged.
"""
import struct
import sys

DROPPED = (b"EBDT", b"EBLC", b"EBSC", b"gasp")
MIN_OUTLINE_BYTES = 1024


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, target = sys.argv[1:]
    with open(source, "rb") as font:
        data = font.read()
    version, count = struct.unpack(">IH", data[:6])
    entries = [struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i]) for i in range(count)]
    # Some of these fonts (MS Sans Serif, System, Courier ...) are bitmap fonts in a
    # TrueType wrapper with an all but empty outline table: they keep their bitmaps.
    outline_bytes = sum(length for tag, _, _, length in entries if tag in (b"glyf", b"CFF "))
    dropped = DROPPED if outline_bytes >= MIN_OUTLINE_BYTES else ()
    tables = [(tag, checksum, data[offset:offset + length])
              for tag, checksum, offset, length in entries if tag not in dropped]
    count = len(tables)
    selector = count.bit_length() - 1
    search_range = (1 << selector) * 16
    header = struct.pack(">IHHHH", version, count, search_range, selector, count * 16 - search_range)
    offset = 12 + 16 * count
    directory, body = b"", b""
    for tag, checksum, table in tables:
        directory += struct.pack(">4sIII", tag, checksum, offset + len(body), len(table))
        body += table + b"\0" * (-len(table) % 4)  # tables start on 4-byte boundaries
    with open(target, "wb") as font:
        font.write(header + directory + body)


if __name__ == "__main__":
    main()
