"""Frames per second through zelir.Source.frames() + frame.digits + frame.image() on the sample
movie, against the same loop in C (frames_loop_c), alternated round by round in one run. CPU
time is the figure that counts on a shared machine; each loop's best round is compared (the
round least disturbed by other work), the average over all rounds is printed beside it.

    /usr/bin/python3 bench/python/frames_bench.py BUILD_DIR [PASSES] [ROUNDS]
"""
import os
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1])
PASSES = int(sys.argv[2]) if len(sys.argv) > 2 else 5
ROUNDS = int(sys.argv[3]) if len(sys.argv) > 3 else 3
sys.path.insert(0, os.path.join(BUILD, "python"))
import numpy  # noqa: E402,F401 - imported here, not on the first frame inside a timed loop
import zelir  # noqa: E402

MOVIE = os.path.join(BUILD, "samples", "sample.irm")


def python_loop():
    with zelir.open(MOVIE) as movie:
        frames = 0
        cpu, wall = time.process_time(), time.perf_counter()
        for _ in range(PASSES):
            for frame in movie.frames():
                frame.digits
                frame.image()
                frames += 1
        return frames, time.process_time() - cpu, time.perf_counter() - wall


def c_loop():
    out = subprocess.run([os.path.join(BUILD, "bin", "frames_loop_c"), MOVIE, str(PASSES)],
                         check=True, capture_output=True, text=True).stdout.split()
    return int(out[0]), float(out[1]), float(out[2])


def main():
    rounds = {"c": [], "python": []}
    for _ in range(ROUNDS):
        for name, loop in (("c", c_loop), ("python", python_loop)):
            rounds[name].append(loop())
    print("%-8s %8s %16s %16s %16s" % ("loop", "frames", "best cpu f/s", "mean cpu f/s",
                                        "mean wall f/s"))
    best, mean = {}, {}
    for name in ("c", "python"):
        frames = sum(r[0] for r in rounds[name])
        best[name] = max(r[0] / r[1] for r in rounds[name])
        mean[name] = frames / sum(r[1] for r in rounds[name])
        wall = frames / sum(r[2] for r in rounds[name])
        print("%-8s %8d %16.1f %16.1f %16.1f" % (name, frames, best[name], mean[name], wall))
    print("python / c: %.3f (best cpu), %.3f (mean cpu)"
          % (best["python"] / best["c"], mean["python"] / mean["c"]))


if __name__ == "__main__":
    # Display settings of the benchmark only.
    with tempfile.TemporaryDirectory() as data:
        os.environ["ZELIR_DATA_DIR"] = data
        main()
