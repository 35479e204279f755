#!/usr/bin/env python3
"""Turns the program's text-art pictures into Windows icons and bitmaps.

An art file holds a header and one or more images of the same size:

    size 32 32            width and height in pixels
    color K 000000        a palette character and its RGB value in hex
    color . transparent   the character for transparent pixels (icons only)
    image                 starts an image: `height` rows of `width` characters

Usage: artgen.py ico ART OUT.ico   all images of ART as one icon (one entry each;
                                   16 colours when the art has no more)
       artgen.py bmp ART OUT.bmp   the images side by side as one bitmap (4 bits per
                                   pixel when the art has at most 16 colours, else 24);
                                   transparent pixels take the `background` colour
"""
import struct
import sys


def parse(path):
    width = height = None
    palette = {}
    background = (255, 0, 255)
    images, rows = [], None
    with open(path, encoding="utf-8") as art:
        for number, raw in enumerate(art, 1):
            line = raw.rstrip("\n")
            if rows is not None and len(rows) < height:
                if len(line) != width:
                    sys.exit(f"{path}:{number}: row of {len(line)} characters, expected {width}")
                for ch in line:
                    if ch not in palette:
                        sys.exit(f"{path}:{number}: character {ch!r} is not in the palette")
                rows.append(line)
                if len(rows) == height:
                    images.append(rows)
                    rows = None
                continue
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "size":
                width, height = int(words[1]), int(words[2])
            elif words[0] == "color":
                ch, value = line.split(None, 2)[1], words[2]
                palette[ch] = None if value == "transparent" else tuple(bytes.fromhex(value))
            elif words[0] == "background":
                background = tuple(bytes.fromhex(words[1]))
            elif words[0] == "image":
                rows = []
            else:
                sys.exit(f"{path}:{number}: unknown line {line!r}")
    if rows is not None:
        sys.exit(f"{path}: last image has {len(rows)} of {height} rows")
    if not images:
        sys.exit(f"{path}: no image")
    return width, height, palette, background, images


def icon_image_16(width, height, palette, rows):
    """One icon entry in 16 colours: a 4-bit DIB with its palette (black first,
    which the transparent pixels use) followed by its 1-bit AND mask; None when
    the art has more colours. A sixth of the 32-bit entry's bytes, drawn alike."""
    colours = [(0, 0, 0)] + sorted({rgb for rgb in palette.values() if rgb and rgb != (0, 0, 0)})
    if len(colours) > 16:
        return None
    index = {rgb: i for i, rgb in enumerate(colours)}
    colours += [(0, 0, 0)] * (16 - len(colours))
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    stride = ((width * 4 + 31) // 32) * 4
    mask_stride = ((width + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        nibbles = [index[palette[ch]] if palette[ch] else 0 for ch in row]
        line = bytearray((nibbles[x] << 4) | (nibbles[x + 1] if x + 1 < width else 0) for x in range(0, width, 2))
        pixels += line + b"\0" * (stride - len(line))
        bits = 0
        for x, ch in enumerate(row):
            if palette[ch] is None:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        mask += bits.to_bytes(mask_stride, "big")
    return header + table + bytes(pixels) + bytes(mask)


def icon_image(width, height, palette, rows):
    """One icon entry: a 32-bit BGRA DIB followed by its 1-bit AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((width + 31) // 32) * 4
    for row in reversed(rows):  # DIBs are stored bottom-up
        bits = 0
        line = bytearray()
        for x, ch in enumerate(row):
            rgb = palette[ch]
            if rgb is None:
                colour += b"\0\0\0\0"
                bits |= 1 << (mask_stride * 8 - 1 - x)
            else:
                colour += bytes((rgb[2], rgb[1], rgb[0], 255))
        line += bits.to_bytes(mask_stride, "big")
        mask += line
    return header + bytes(colour) + bytes(mask)


def write_ico(out, width, height, palette, images):
    entries = []
    for rows in images:
        entry = icon_image_16(width, height, palette, rows)
        entries.append((entry, 16, 4) if entry else (icon_image(width, height, palette, rows), 0, 32))
    data = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for entry, colour_count, bits in entries:
        data += struct.pack("<BBBBHHII", width % 256, height % 256, colour_count, 0, 1, bits, len(entry), offset)
        offset += len(entry)
    with open(out, "wb") as f:
        f.write(data + b"".join(entry for entry, _, _ in entries))


def write_bmp(out, width, height, palette, background, images):
    """A bottom-up bitmap strip of the images: 4 bits per pixel through a palette
    when the art has at most 16 colours (transparent drawn as the background),
    else 24 bits."""
    total = width * len(images)
    colours = sorted({palette[ch] or background for rows in images for row in rows for ch in row})
    bits = 4 if len(colours) <= 16 else 24
    index = {rgb: i for i, rgb in enumerate(colours)}
    stride = (total * bits + 31) // 32 * 4
    pixels = bytearray()
    for y in reversed(range(height)):
        row = [palette[ch] or background for rows in images for ch in rows[y]]
        if bits == 4:
            nibbles = [index[rgb] for rgb in row] + [0] * (len(row) % 2)
            line = bytes(nibbles[i] << 4 | nibbles[i + 1] for i in range(0, len(nibbles), 2))
        else:
            line = b"".join(bytes((rgb[2], rgb[1], rgb[0])) for rgb in row)
        pixels += line + b"\0" * (stride - len(line))
    table = b"".join(bytes((rgb[2], rgb[1], rgb[0], 0)) for rgb in colours) if bits == 4 else b""
    used = len(colours) if bits == 4 else 0
    info = struct.pack("<IiiHHIIiiII", 40, total, height, 1, bits, 0, len(pixels), 2835, 2835, used, used)
    start = 14 + len(info) + len(table)
    head = struct.pack("<2sIHHI", b"BM", start + len(pixels), 0, 0, start)
    with open(out, "wb") as f:
        f.write(head + info + table + pixels)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("ico", "bmp"):
        sys.exit(__doc__)
    kind, art, out = sys.argv[1:]
    width, height, palette, background, images = parse(art)
    if kind == "ico":
        write_ico(out, width, height, palette, images)
    else:
        write_bmp(out, width, height, palette, background, images)


if __name__ == "__main__":
    main()
