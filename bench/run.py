#!/usr/bin/env python3
"""Benchmark of a scripted molagirlik session.

Generates a deterministic session of 20,000 compounds, then measures, over
interleaved runs (medians reported):
  - the program reading the session from a file, writing through a pipe to
    `cat > /dev/null`;
  - the I/O floor: `cat` copying the very same output bytes through a pipe;
  - start-up: the mean of a few hundred runs on empty input, beside a plain C
    program that only prints the banner;
  - peak memory on 10 and on 20,000 compounds;
  - with --callgrind, instructions per compound (steady on a noisy machine).

Usage: bench/run.py [--binary PATH] [--runs N] [--callgrind]
"""

import argparse
import hashlib
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SYMBOLS = ["H", "He", "C", "N", "O", "F", "Na", "Mg", "Al", "Si", "P", "S",
           "Cl", "K", "Ca", "Fe", "Cu", "Zn", "Br", "Ag", "I", "Ba", "Au",
           "Hg", "Pb", "U", "Uub"]
BAD_SYMBOLS = ["Xx", "h", "CL", "Son", "Hydrogen"]
BAD_COUNTS = ["x", "-2", "iki"]


def session(compounds, seed=2004):
    """The typed entries of `compounds` compounds, one entry a line."""
    rng = random.Random(seed)
    lines = []
    for i in range(compounds):
        lines.append(str(rng.randint(0, 6)))
        for _ in range(rng.randint(1, 12)):
            if rng.random() < 0.05:
                lines.append(rng.choice(BAD_SYMBOLS))
            lines.append(rng.choice(SYMBOLS))
            if rng.random() < 0.05:
                lines.append(rng.choice(BAD_COUNTS))
            lines.append(str(rng.randint(0, 40)))
        lines.append("son")
        lines.append("c" if i + 1 < compounds else "")
    return "\n".join(lines) + "\n"


def sh(command):
    """Wall time of a shell command, in seconds."""
    start = time.perf_counter()
    subprocess.run(["bash", "-c", command], check=True)
    return time.perf_counter() - start


def peak_kib(binary, session_path):
    result = subprocess.run(
        ["/usr/bin/time", "-f", "%M", binary],
        stdin=open(session_path, "rb"), stdout=subprocess.DEVNULL,
        stderr=subprocess.PIPE, check=True, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def build(directory):
    subprocess.run(["cmake", "-S", ROOT, "-B", directory,
                    "-DCMAKE_BUILD_TYPE=Release", "-DMOLAGIRLIK_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", directory, "-j2",
                    "--target", "molagirlik"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(directory, "molagirlik")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", help="the program (default: build it)")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--compounds", type=int, default=20000)
    parser.add_argument("--callgrind", action="store_true")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="molagirlik-bench-")
    binary = args.binary or build(os.path.join(ROOT, "build-bench"))
    binary = os.path.abspath(binary)

    session_path = os.path.join(work, "session.txt")
    small_path = os.path.join(work, "small.txt")
    output_path = os.path.join(work, "output.bin")
    with open(session_path, "w") as f:
        f.write(session(args.compounds))
    with open(small_path, "w") as f:
        f.write(session(10))
    with open(session_path, "rb") as f, open(output_path, "wb") as out:
        subprocess.run([binary], stdin=f, stdout=out, check=True)
    output = open(output_path, "rb").read()
    print(f"session: {args.compounds} compounds, "
          f"{os.path.getsize(session_path) / 1e6:.1f} MB in, "
          f"{len(output) / 1e6:.1f} MB out, "
          f"output sha256 {hashlib.sha256(output).hexdigest()[:16]}")

    program_times, floor_times = [], []
    for _ in range(args.runs):
        program_times.append(
            sh(f"'{binary}' < '{session_path}' | cat > /dev/null"))
        floor_times.append(sh(f"cat '{output_path}' | cat > /dev/null"))
    program = statistics.median(program_times)
    floor = statistics.median(floor_times)
    print(f"program: {program * 1e3:.1f} ms, "
          f"{args.compounds / program:,.0f} compounds/s, "
          f"{len(output) / program / 1e6:.0f} MB/s of output")
    print(f"I/O floor (cat): {floor * 1e3:.1f} ms; "
          f"ratio program/floor {program / floor:.2f}")

    cc = os.environ.get("CC", "cc")
    startup = os.path.join(work, "startup")
    banner = os.path.join(work, "banner")
    here = os.path.dirname(os.path.abspath(__file__))
    subprocess.run([cc, "-O2", "-o", startup, os.path.join(here, "startup.c")],
                   check=True)
    subprocess.run([cc, "-O2", "-o", banner, os.path.join(here, "banner.c")],
                   check=True)
    mine, plain = [], []
    for _ in range(3):
        mine.append(float(subprocess.run(
            [startup, "300", binary], capture_output=True, text=True,
            check=True).stdout))
        plain.append(float(subprocess.run(
            [startup, "300", banner], capture_output=True, text=True,
            check=True).stdout))
    print(f"start-up: {statistics.median(mine) / 1e3:.3f} ms "
          f"(plain C banner: {statistics.median(plain) / 1e3:.3f} ms)")

    print(f"peak memory: {peak_kib(binary, small_path)} KiB on 10 compounds, "
          f"{peak_kib(binary, session_path)} KiB on {args.compounds}")

    if args.callgrind:
        count = 1000
        grind_path = os.path.join(work, "grind.txt")
        with open(grind_path, "w") as f:
            f.write(session(count))
        result = subprocess.run(
            ["valgrind", "--tool=callgrind",
             f"--callgrind-out-file={work}/callgrind.out", binary],
            stdin=open(grind_path, "rb"), stdout=subprocess.DEVNULL,
            stderr=subprocess.PIPE, text=True, check=True)
        refs = [line for line in result.stderr.splitlines()
                if "Collected" in line]
        total = int(refs[-1].split()[-1].replace(",", ""))
        print(f"instructions: {total / count:,.0f} per compound "
              f"(callgrind, {count} compounds)")


if __name__ == "__main__":
    sys.exit(main())
