#!/usr/bin/env python3
"""Writes a small Windows program file (PE) of a chosen kind, for tests that
look at program files without running them: their kind and their signatures
(osslsigncode signs it as it signs any program).

  make-program.py OUT [--machine x86-64|x86|arm64] [--console] [--dll] [--text TEXT]

The default is a window (GUI) program for x86-64. --text puts TEXT into its
code section, so that two programs can differ.
"""
import argparse
import struct

MACHINES = {"x86-64": 0x8664, "x86": 0x14C, "arm64": 0xAA64}
FILE_ALIGNMENT = 0x200
SECTION_ALIGNMENT = 0x1000


def program(machine, console, dll, text):
    pe32_plus = machine != MACHINES["x86"]
    stub = b"This program cannot be run in DOS mode.\r\r\n$"
    dos = bytearray(0x80)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, len(dos))
    dos[0x40:0x40 + len(stub)] = stub

    directories = 16
    optional_size = (112 if pe32_plus else 96) + directories * 8
    characteristics = 0x0002 | (0x2000 if dll else 0) | (0 if pe32_plus else 0x0100) | 0x0020
    file_header = struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, optional_size, characteristics)

    code = b"\xC3" + text.encode("utf-8")  # ret
    code_size = (len(code) + FILE_ALIGNMENT - 1) // FILE_ALIGNMENT * FILE_ALIGNMENT
    headers_size = FILE_ALIGNMENT
    image_size = SECTION_ALIGNMENT + (len(code) + SECTION_ALIGNMENT - 1) // SECTION_ALIGNMENT * SECTION_ALIGNMENT
    subsystem = 3 if console else 2
    if pe32_plus:
        optional = struct.pack("<HBBIIIII", 0x20B, 14, 0, code_size, 0, 0, SECTION_ALIGNMENT, SECTION_ALIGNMENT)
        optional += struct.pack("<Q", 0x140000000)
    else:
        optional = struct.pack("<HBBIIIIII", 0x10B, 14, 0, code_size, 0, 0, SECTION_ALIGNMENT, SECTION_ALIGNMENT, 0)
        optional += struct.pack("<I", 0x400000)
    optional += struct.pack("<IIHHHHHHIIIIHH", SECTION_ALIGNMENT, FILE_ALIGNMENT, 6, 0, 0, 0, 6, 0, 0, image_size,
                            headers_size, 0, subsystem, 0x8160)
    sizes = "<QQQQ" if pe32_plus else "<IIII"
    optional += struct.pack(sizes, 0x100000, 0x1000, 0x100000, 0x1000)
    optional += struct.pack("<II", 0, directories)
    optional += bytes(directories * 8)
    assert len(optional) == optional_size

    section = struct.pack("<8sIIIIIIHHI", b".text", len(code), SECTION_ALIGNMENT, code_size, headers_size, 0, 0, 0, 0,
                          0x60000020)
    headers = bytes(dos) + b"PE\0\0" + file_header + optional + section
    assert len(headers) <= headers_size
    return headers.ljust(headers_size, b"\0") + code.ljust(code_size, b"\0")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--machine", choices=MACHINES, default="x86-64")
    parser.add_argument("--console", action="store_true")
    parser.add_argument("--dll", action="store_true")
    parser.add_argument("--text", default="")
    arguments = parser.parse_args()
    with open(arguments.out, "wb") as out:
        out.write(program(MACHINES[arguments.machine], arguments.console, arguments.dll, arguments.text))


main()
