#!/usr/bin/env python3
"""An independent reader of ZLib32 archives, written from the format description
alone (Python's zlib, no code shared with the program). The native tests run it
on archives that `zl32 pack` wrote and compare what it reads with the folder that
was packed, and with what `zl32 list --json` says of them.

Usage: independent_reader.py ZL32 SCRATCH   (the zl32 program, a scratch folder)
"""
import json
import os
import shutil
import struct
import subprocess
import sys
import zlib

SIGNATURE = b"ZLib32_DMR"


def read_archive(data, codepage="cp1250", offsets=None):
    """Returns (progress total, {relative path: bytes or None for a folder}) and
    checks every byte the format fixes on the way; fills `offsets` with where
    each file's and folder's entry starts."""
    assert data[:10] == SIGNATURE, "signature"
    assert data[10:14] == bytes(4) and data[18:38] == bytes(20), "unused header bytes are not zeros"
    total = struct.unpack_from("<i", data, 14)[0]
    at, path, tree, chunks = 38, [], {}, 0
    assert at < len(data), "no entry after the header"
    while at < len(data):
        start = at
        (length,) = struct.unpack_from("<H", data, at)
        name = data[at + 2:at + 2 + length].decode(codepage)
        record = data[at + 2 + length:at + 2 + length + 39]
        assert len(record) == 39, "entry cut short"
        kind, size = record[0], struct.unpack_from("<q", record, 7)[0]
        assert record[1:7] == bytes(6) and record[15:] == bytes(24), "unused record bytes are not zeros"
        at += 2 + length + 39
        if kind == 0:
            unpacker = zlib.decompressobj()  # zlib format, 32 KB window
            contents = unpacker.decompress(data[at:])
            assert unpacker.eof, "member cut short"
            at = len(data) - len(unpacker.unused_data)
            assert len(contents) == size, "record size"
            tree["/".join(path + [name])] = contents
            chunks += (size + 32767) // 32768
            if offsets is not None:
                offsets["/".join(path + [name])] = start
        elif kind == 1:
            path.append(name)
            tree["/".join(path)] = None
            if offsets is not None:
                offsets["/".join(path)] = start
        elif kind == 2:
            assert path, "leaves above the top"
            path.pop()
        else:
            raise AssertionError("unknown kind %d" % kind)
    assert not path, "folders not left"
    assert total == chunks, "progress total %d, chunks %d" % (total, chunks)
    return total, tree


def read_folder(root):
    tree = {}
    for folder, folders, files in os.walk(root):
        relative = os.path.relpath(folder, root)
        prefix = "" if relative == "." else relative + "/"
        for name in folders:
            tree[prefix + name] = None
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                tree[prefix + name] = f.read()
    return tree


def json_mismatches(zl32, archive, data):
    """What `zl32 list --json` says of the archive and the independent reading
    do not agree on, as texts; empty when they agree."""
    offsets = {}
    total, tree = read_archive(data, offsets=offsets)
    run = subprocess.run([zl32, "list", "--json", archive], capture_output=True)
    listed = json.loads(run.stdout)
    problems = []
    expect = {"format": "zl32 list", "version": 1, "codepage": 1250, "progressTotal": total, "damaged": False,
              "faults": [], "files": sum(1 for v in tree.values() if v is not None),
              "folders": sum(1 for v in tree.values() if v is None),
              "bytes": sum(len(v) for v in tree.values() if v is not None)}
    for key, value in expect.items():
        if listed.get(key) != value:
            problems.append("%s is %r, not %r" % (key, listed.get(key), value))
    seen = {}
    for entry in listed["entries"]:
        path = entry["path"]
        seen[path] = entry
        if entry["name"] != path.split("/")[-1] or entry["depth"] != path.count("/"):
            problems.append("name or depth of %r: %r" % (path, entry))
        if bytes.fromhex(entry["rawName"]) != entry["name"].encode("cp1250"):
            problems.append("rawName of %r" % path)
        if entry["offset"] != offsets.get(path):
            problems.append("offset of %r: %r, not %r" % (path, entry["offset"], offsets.get(path)))
        contents = tree.get(path)
        if entry["type"] != ("folder" if contents is None else "file"):
            problems.append("type of %r" % path)
        elif contents is not None and (entry["size"] != len(contents) or entry["packedSize"] <= 0):
            problems.append("sizes of %r: %r" % (path, entry))
    if set(seen) != set(tree):
        problems.append("listed %s, read %s" % (sorted(seen), sorted(tree)))
    if run.returncode != 0:
        problems.append("exit code %d" % run.returncode)
    return problems


def main():
    zl32, scratch = sys.argv[1], sys.argv[2]
    shutil.rmtree(scratch, ignore_errors=True)
    source = os.path.join(scratch, "tree")
    files = {
        "setupostrel.exe": os.urandom(200000),
        "readme.txt": b"read me\r\n" * 5000,
        "empty.txt": b"",
        "exactly 64k.bin": bytes(range(256)) * 256,
        "Průvodce/čtěte.txt": "Čtěte prosím".encode("utf-8"),
        "data/deep/x.dat": b"x" * 32768,
        # Beyond what zl32 compresses whole: a member made of pieces.
        "data/large.txt": b"".join(b"line %d of the large file\r\n" % i for i in range(700000)),
    }
    for relative, contents in files.items():
        os.makedirs(os.path.dirname(os.path.join(source, relative)), exist_ok=True)
        with open(os.path.join(source, relative), "wb") as f:
            f.write(contents)
    os.makedirs(os.path.join(source, "empty folder"))

    failures = 0
    for level in ("0", "1", "9"):
        archives = []
        for threads in ("1", "3"):  # the same bytes whatever the number of threads
            archive = os.path.join(scratch, "WIZARD-%s-%s.zl" % (level, threads))
            run = subprocess.run([zl32, "pack", source, "-o", archive, "--level", level, "--threads", threads],
                                 capture_output=True)
            if run.returncode != 0:
                print("FAIL: pack --level %s exited %d: %s" % (level, run.returncode, run.stderr.decode()))
                failures += 1
                continue
            with open(archive, "rb") as f:
                archives.append(f.read())
        if len(archives) != 2:
            continue
        if archives[0] != archives[1]:
            print("FAIL: level %s: 1 and 3 threads give different archives" % level)
            failures += 1
        total, tree = read_archive(archives[0])
        expected = read_folder(source)
        if tree != expected:
            print("FAIL: level %s: the archive holds %s, the folder %s" % (level, sorted(tree), sorted(expected)))
            failures += 1
        else:
            print("level %s: %d entries read back exactly, progress total %d, %d bytes with 1 and 3 threads"
                  % (level, len(tree), total, len(archives[0])))
        problems = json_mismatches(zl32, os.path.join(scratch, "WIZARD-%s-1.zl" % level), archives[0])
        for problem in problems:
            print("FAIL: level %s: list --json: %s" % (level, problem))
        failures += len(problems)

    # A damaged archive: still one JSON object, which says so.
    cut = os.path.join(scratch, "cut.zl")
    with open(os.path.join(scratch, "WIZARD-9-1.zl"), "rb") as f:
        whole = f.read()
    with open(cut, "wb") as f:
        f.write(whole[:-5])
    run = subprocess.run([zl32, "list", "--json", cut], capture_output=True)
    listed = json.loads(run.stdout)
    if run.returncode != 5 or not listed["damaged"] or not listed["faults"]:
        print("FAIL: list --json of a cut archive: exit %d, %r" % (run.returncode, listed))
        failures += 1

    # A name that code page 1250 cannot hold is refused and leaves no archive.
    with open(os.path.join(source, "日本.txt"), "wb") as f:
        f.write(b"x")
    refused = os.path.join(scratch, "refused.zl")
    run = subprocess.run([zl32, "pack", source, "-o", refused], capture_output=True)
    if run.returncode != 6 or os.path.exists(refused) or "日本.txt" not in run.stderr.decode():
        print("FAIL: a name outside code page 1250: exit %d, %s" % (run.returncode, run.stderr.decode()))
        failures += 1
    else:
        print("refused:", run.stderr.decode().strip())

    shutil.rmtree(scratch, ignore_errors=True)
    print("PASS" if failures == 0 else "%d FAILURES" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
