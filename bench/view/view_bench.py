"""zelir view in headless Chromium: frames drawn per second in the page against the source's
rate, and the time from a frame's publication (the view's fetch from the library) to its drawing
on the canvas, against the frame interval. Both baselines come from the same run.

    view_bench.py ZELIR SOURCE [--rates 30,60] [--seconds 10] [--admin ADDRESS]

A movie is played at each rate (--fps); for a camera, --admin names the emulator whose rate is
set through its admin port (run inside zelir-h, see run_view_bench.sh)."""
import argparse
import glob
import os
import socket
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
import view_page  # noqa: E402

WARM_UP = 2.0
TICKS = os.sysconf("SC_CLK_TCK")


def descendants(pid):
    """`pid` and every process below it."""
    found, queue = [], [pid]
    while queue:
        current = queue.pop()
        found.append(current)
        for task in glob.glob("/proc/%d/task/*/children" % current):
            try:
                with open(task) as f:
                    queue.extend(int(child) for child in f.read().split())
            except OSError:
                pass
    return found


def cpu_seconds(pids):
    """User and system CPU time of the processes, in seconds."""
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return total / TICKS


def set_camera_rate(address, rate):
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.settimeout(1.0)
        s.sendto(b"set --rate %d" % rate, (address, 3999))
        if s.recv(64) != b"ok":
            raise RuntimeError("the emulator refused the rate")


def measure(zelir, source, rate, seconds, admin):
    args = ["--bind", "198.18.0.1"] if admin else ["--fps", str(rate)]
    if admin:
        set_camera_rate(admin, rate)
    server = view_page.ViewServer(zelir, source, *args)
    page = view_page.Page()
    try:
        page.open(server.url)
        time.sleep(WARM_UP)
        first_id = page.frame()["frameId"]
        browser = descendants(page.driver.service.process.pid)
        cpu = (cpu_seconds([server.process.pid]), cpu_seconds(browser))
        drawn, published = view_page.count_frames(page, server, seconds)
        cpu = (cpu_seconds([server.process.pid]) - cpu[0], cpu_seconds(browser) - cpu[1])
        produced = page.frame()["frameId"] - first_id if admin else published
        latencies = page.js("zelirView.latencies.slice(-%d)" % max(drawn, 1))
    finally:
        page.quit()
        server.stop()
    return {
        "rate": rate,
        "source": produced / seconds,
        "published": published / seconds,
        "drawn": drawn / seconds,
        "share": 100.0 * drawn / produced if produced else 0.0,
        "median": statistics.median(latencies),
        "p95": sorted(latencies)[int(0.95 * (len(latencies) - 1))],
        "max": max(latencies),
        "server_ms": 1000.0 * cpu[0] / max(published, 1),
        "browser_ms": 1000.0 * cpu[1] / max(drawn, 1),
        "within": 100.0 * sum(1 for v in latencies if v <= 2000.0 / rate) / len(latencies),
    }


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zelir")
    parser.add_argument("source")
    parser.add_argument("--rates", default="30,60")
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--admin")
    options = parser.parse_args()
    view_page.skip_without_browser()
    print("| rate/s | source frames/s | drawn/s | drawn/source | latency median | p95 | max "
          "| within 2 intervals | CPU/frame: server | browser |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for rate in (int(r) for r in options.rates.split(",")):
        r = measure(options.zelir, options.source, rate, options.seconds, options.admin)
        print("| %d | %.1f | %.1f | %.1f %% | %.1f ms | %.1f ms | %.1f ms | %.1f %% | %.1f ms "
              "| %.1f ms |" % (rate, r["source"], r["drawn"], r["share"], r["median"], r["p95"],
                              r["max"], r["within"], r["server_ms"], r["browser_ms"]), flush=True)


if __name__ == "__main__":
    main()
