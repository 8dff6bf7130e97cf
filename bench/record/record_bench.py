"""zelir record from the emulator: frames the emulator sent while recording (the span of frame
ids in the companion file), the SDK completed and the movie holds, and the writer thread's CPU
time per frame against the obvious write of the same bytes measured in the same run (inside
zelir-h, see run_record_bench.sh).

    record_bench.py ZELIR [--rates 60,120,180] [--seconds 5] [--admin 198.18.0.2]
                    [--emulator "OPTIONS"]"""
import argparse
import os
import re
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from zelir_cli import Zelir, admin, companion  # noqa: E402

FRAME_BYTES = 640 * 512 * 2
SUMMARY = re.compile(r"received (\d+), written (\d+), lost before the SDK (\d+), queue overflows "
                     r"(\d+).*writer CPU ([\d.]+) ms/frame")


def plain_write_ms(folder, frames):
    """CPU time per frame of write(2) calls of frame-sized blocks to a new file, the baseline."""
    block = os.urandom(FRAME_BYTES)
    path = os.path.join(folder, "plain.bin")
    os.sync()  # the recording's dirty pages are not this write's cost
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC)
    start = time.thread_time()
    for _ in range(frames):
        os.write(fd, block)
    elapsed = time.thread_time() - start
    os.close(fd)
    os.remove(path)
    return elapsed * 1e3 / frames


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zelir")
    parser.add_argument("--rates", default="60,120,180")
    parser.add_argument("--seconds", type=float, default=5)
    parser.add_argument("--admin", default="198.18.0.2")
    parser.add_argument("--emulator", default="", help="further emulator options, e.g. "
                        "--line-rate-mbps 0")
    args = parser.parse_args()
    zelir = Zelir(args.zelir)
    print("| rate/s | sent | completed by the SDK | written | lost before the SDK | queue overflows "
          "| writer CPU ms/frame | write(2) ms/frame | × write(2) | share of frame interval |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    with tempfile.TemporaryDirectory() as folder:
        movie = os.path.join(folder, "bench.irm")
        for rate in map(int, args.rates.split(",")):
            assert admin(args.admin, "set --rate %d %s" % (rate, args.emulator)) == "ok"
            time.sleep(0.5)
            os.sync()
            result = zelir.run("record", "cam://0", "--seconds", args.seconds, "--out", movie)
            ids = [frame_id for _, frame_id in companion(movie)]
            sent = ids[-1] - ids[0] + 1
            received, written, lost, overflows, cpu = SUMMARY.search(result.stdout).groups()
            baseline = plain_write_ms(folder, int(written))
            print("| %d | %d | %s | %s | %s | %s | %s | %.3f | %.2f | %.1f %% |" % (
                rate, sent, received, written, lost, overflows, cpu, baseline,
                float(cpu) / baseline, float(cpu) * rate / 10))
            for name in (movie, movie + ".meta"):
                os.remove(name)
    admin(args.admin, "reset")


if __name__ == "__main__":
    main()
