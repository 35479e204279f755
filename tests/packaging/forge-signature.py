#!/usr/bin/env python3
"""Makes a signed program file that must not pass a signature check, as a forger
would, keeping the file runnable:

  forge-signature.py IN OUT change-stub        one byte of the DOS stub text changed
                                               (the signed digest no longer matches)
  forge-signature.py IN OUT damage-signature   the last byte of the signer's
                                               signature value flipped
  forge-signature.py IN OUT swap-digest OLD NEW  the signed image digest OLD (hex)
                                               replaced by NEW: the content says NEW,
                                               the signed attributes still vouch for OLD
"""
import struct
import sys


def certificate_table(data):
    header = struct.unpack_from("<I", data, 0x3C)[0]
    magic = struct.unpack_from("<H", data, header + 24)[0]
    entry = header + 24 + (112 if magic == 0x20B else 96) + 4 * 8
    offset, size = struct.unpack_from("<II", data, entry)
    if size == 0:
        sys.exit("forge-signature.py: the file is not signed")
    return offset, size


def signature_end(data):
    """The end of the PKCS #7 blob in the first certificate entry."""
    offset, _ = certificate_table(data)
    der = offset + 8  # after dwLength, wRevision, wCertificateType
    if data[der] != 0x30:
        sys.exit("forge-signature.py: no DER sequence in the certificate table")
    length = data[der + 1]
    if length & 0x80:
        octets = length & 0x7F
        return der + 2 + octets + int.from_bytes(data[der + 2:der + 2 + octets], "big")
    return der + 2 + length


def main():
    source, target, mode = sys.argv[1:4]
    data = bytearray(open(source, "rb").read())
    if mode == "change-stub":
        at = data.find(b"DOS mode")
        if at < 0 or at > 0x200:
            sys.exit("forge-signature.py: no DOS stub text")
        data[at] = ord("d")
    elif mode == "damage-signature":
        # osslsigncode writes no unsigned attributes: the signature value ends the blob.
        data[signature_end(data) - 1] ^= 0xFF
    elif mode == "swap-digest":
        old, new = bytes.fromhex(sys.argv[4]), bytes.fromhex(sys.argv[5])
        offset, size = certificate_table(data)
        table = bytes(data[offset:offset + size])
        if table.count(old) != 1 or len(old) != len(new):
            sys.exit("forge-signature.py: the digest is not in the signature once")
        at = offset + table.find(old)
        data[at:at + len(new)] = new
    else:
        sys.exit("forge-signature.py: unknown mode " + mode)
    open(target, "wb").write(data)


main()
