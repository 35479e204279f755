#!/usr/bin/env python3
"""Packing speed and size: `zl32 pack` at every level, on all processors and on
one, against `7z a -tzip -mx=5` on the same files and against zlib's levels 6
and 9 applied to each file on its own (the sizes zl32 had when it compressed
with zlib), on the benchmarks' 64 MiB mixed payload written as files.

    python3 bench/pack.py [rounds] [MiB]      (default 5 rounds, 64 MiB)

Builds zl32 and write_payload in build/native-programs first. Times are the
medians of `rounds` runs of the whole process, wall and processor (user and
system) seconds, zl32 and 7z taking turns so that a drift of the machine's speed
hits both; memory is the largest peak resident size of a run. 7z comes from Debian's p7zip-full; without it the
comparison is left out. Compare figures of one run on one machine only.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "native-programs")


def run_timed(command, cwd=None):
    """Runs a command to its end; returns (wall seconds, its processor seconds,
    its peak resident KiB)."""
    start = time.perf_counter()
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        raise SystemExit("%s exited %d" % (" ".join(command), child.returncode))
    return seconds, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


class Figure:
    def __init__(self, name, output, command, cwd=None):
        self.name, self.output, self.command, self.cwd = name, output, command, cwd
        self.times, self.cpu, self.peak = [], [], 0

    def run(self):
        if os.path.exists(self.output):
            os.remove(self.output)
        seconds, cpu, peak = run_timed(self.command, self.cwd)
        self.times.append(seconds)
        self.cpu.append(cpu)
        self.peak = max(self.peak, peak)

    @property
    def median(self):
        return statistics.median(self.times)

    @property
    def size(self):
        return os.path.getsize(self.output)


def zlib_members(tree, level):
    """Total size of every file compressed on its own by zlib, and the time taken."""
    total, start = 0, time.perf_counter()
    for name in sorted(os.listdir(tree)):
        with open(os.path.join(tree, name), "rb") as f:
            total += len(zlib.compress(f.read(), level))
    return total, time.perf_counter() - start


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    mib = sys.argv[2] if len(sys.argv) > 2 else "64"
    print("building ...", flush=True)
    for command in (["cmake", "--preset", "native-programs"],
                    ["cmake", "--build", "--preset", "native-programs", "--target", "zl32", "write_payload"]):
        subprocess.run(command, cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    zl32 = os.path.join(BUILD, "bin", "zl32")
    sevenzip = shutil.which("7z")

    work = tempfile.mkdtemp(prefix="tolvar-pack-bench-")
    try:
        tree = os.path.join(work, "tree")
        subprocess.run([os.path.join(BUILD, "bin", "write_payload"), tree, mib], check=True)
        files = os.listdir(tree)
        raw = sum(os.path.getsize(os.path.join(tree, name)) for name in files)
        processors = os.cpu_count() or 1

        def pack(level, threads=None):
            output = os.path.join(work, "level%d-%s.zl" % (level, threads or "all"))
            command = [zl32, "pack", tree, "-o", output, "--level", str(level)]
            name = "zl32 pack --level %d" % level
            if threads:
                command += ["--threads", str(threads)]
                name += " --threads %d" % threads
            return Figure(name, output, command)

        default = pack(6)
        sevenzip_figure = None
        if sevenzip:
            sevenzip_figure = Figure("7z a -tzip -mx=5", os.path.join(work, "7z.zip"),
                                     [sevenzip, "a", "-tzip", "-mx=5", os.path.join(work, "7z.zip"), "."], cwd=tree)
        levels = [pack(level) for level in range(10) if level != 6]
        levels.insert(6, default)
        single = pack(6, threads=1)
        # Warm-up (the payload into the page cache), then the rounds: the default
        # level and 7z take turns; the other levels follow.
        default.run()
        default.times.clear()
        default.cpu.clear()
        for _ in range(rounds):
            default.run()
            if sevenzip_figure:
                sevenzip_figure.run()
        for figure in levels + [single]:
            if figure is not default:
                for _ in range(rounds):
                    figure.run()

        zlib6, zlib6_seconds = zlib_members(tree, 6)
        zlib9, zlib9_seconds = zlib_members(tree, 9)

        print()
        print("payload: %d files, %d bytes; %d processors; %d rounds" % (len(files), raw, processors, rounds))
        print("%-36s %8s %8s %12s %8s %9s %9s" % ("", "wall s", "cpu s", "bytes", "of raw", "/ zlib 6", "/ zlib 9"))
        shown = levels + [single] + ([sevenzip_figure] if sevenzip_figure else [])
        for figure in shown:
            print("%-36s %8.3f %8.3f %12d %7.1f%% %9.4f %9.4f   peak %d MiB" % (
                figure.name, figure.median, statistics.median(figure.cpu), figure.size, 100.0 * figure.size / raw, figure.size / zlib6,
                figure.size / zlib9, figure.peak // 1024))
        for name, size, seconds in (("zlib level 6, file by file", zlib6, zlib6_seconds),
                                    ("zlib level 9, file by file", zlib9, zlib9_seconds)):
            print("%-36s %8s %8.3f %12d %7.1f%% %9.4f %9.4f   (one thread, in this script)" % (
                name, "", seconds, size, 100.0 * size / raw, size / zlib6, size / zlib9))

        print()
        print("summary")
        if sevenzip_figure:
            ratios = [a / b for a, b in zip(default.times, sevenzip_figure.times)]
            print("  default level, time / 7z's time (pair by pair):  %.3f   (%.3f s / %.3f s)" % (
                statistics.median(ratios), default.median, sevenzip_figure.median))
        else:
            print("  7z not found (Debian: p7zip-full): no comparison with it")
        print("  default level, size / zlib level 6:               %.4f" % (default.size / zlib6))
        print("  level 9, size / zlib level 9:                     %.4f" % (levels[9].size / zlib9))
        print("  default level, one thread / all threads (time):   %.2f" % (single.median / default.median))
        same = open(default.output, "rb").read() == open(single.output, "rb").read()
        print("  default level, one thread and all: %s" % ("the same bytes" if same else "DIFFERENT BYTES"))
        return 0 if same else 1
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
