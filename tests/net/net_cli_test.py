"""zelir discover, grab and record against the emulators in the network namespaces, run as a
user runs them; Pillow and the file layouts judge what they write."""
import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import unittest

from PIL import Image

from camsim import admin

ZELIR = sys.argv[1]
FRAME_BYTES = 640 * 512 * 2


def run(*args):
    return subprocess.run([ZELIR, *args], capture_output=True, text=True, timeout=60)


def centroid(points):
    return (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))


class ZelirLive(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        for address in ("198.18.0.2", "198.19.0.2"):
            self.assertEqual(admin(address, "reset"), "ok")

    def tearDown(self):
        for address in ("198.18.0.2", "198.19.0.2"):
            admin(address, "reset")
        self.tmp.cleanup()

    def test_calibrate_then_temp_on_a_live_camera(self):
        camera = "gige://198.18.0.2"
        data = os.environ.get("ZELIR_DATA_DIR", os.path.join(os.path.dirname(ZELIR), "_TempData"))
        os.makedirs(data, exist_ok=True)
        stale = lambda: [n for n in os.listdir(data) if n.startswith("radiometry_ZS000000")]
        for name in stale():
            os.remove(os.path.join(data, name))
        self.assertEqual(admin("198.18.0.2", "set --rate 100 --blackbody-view"), "ok")
        calibrate = subprocess.Popen(
            [ZELIR, "calibrate", camera, "--reference", "20", "--reference", "60",
             "--reference", "120", "--frames", "4"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            # Each prompt names the temperature to show; Enter once the blackbody is there.
            for celsius in ("20", "60", "120"):
                prompt = calibrate.stderr.readline()
                self.assertIn("blackbody at %s C" % celsius, prompt)
                self.assertEqual(admin("198.18.0.2", "set --blackbody " + celsius), "ok")
                time.sleep(0.1)
                calibrate.stdin.write("\n")
                calibrate.stdin.flush()
            out, err = calibrate.communicate(timeout=30)
        finally:
            calibrate.kill()
        self.assertEqual(calibrate.returncode, 0, err)
        self.assertTrue(out.startswith("r="), out)
        self.assertEqual(len(stale()), 1, "the constants are kept for the camera")

        self.assertEqual(admin("198.18.0.2", "set --blackbody 85"), "ok")
        time.sleep(0.1)
        result = run("temp", camera, "--rect", "160,128,320,256", "--json")
        self.assertEqual(result.returncode, 0, result.stderr)
        mean = json.loads(result.stdout)["measurements"][0]["mean"]
        self.assertAlmostEqual(mean, 85.0, delta=0.3)
        for name in stale():
            os.remove(os.path.join(data, name))

    def test_discover_lists_both_cameras(self):
        result = run("discover")
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(lines[0].split(), ["index", "path", "address", "adapter", "serial", "size"])
        rows = {}
        for line in lines[1:]:
            index, path, address, adapter, serial, size = re.split(r"\s{2,}", line.strip())
            self.assertEqual(path, "cam://" + index)
            self.assertEqual(size, "640 x 512")
            rows[address] = (adapter, serial)
        self.assertEqual(rows, {"198.18.0.2": ("198.18.0.1", "ZS000000"),
                                "198.19.0.2": ("198.19.0.1", "ZS000001")})

    def test_grab_writes_consecutive_palette_bmps(self):
        out = os.path.join(self.dir, "bmp")
        result = run("grab", "cam://0", "--frames", "4", "--out", out, "--palette", "2")
        self.assertEqual(result.returncode, 0, result.stderr)
        names = sorted(os.listdir(out))
        self.assertEqual(names, ["frame%05d.bmp" % i for i in range(4)])
        images = [Image.open(os.path.join(out, n)) for n in names]
        for image in images:
            self.assertEqual((image.size, image.mode), ((640, 512), "P"))
        palette = images[0].getpalette()[:768]
        with open(os.path.join(os.path.dirname(ZELIR), "Palette", "Palette2.raw"), "rb") as f:
            self.assertEqual(bytes(palette), f.read())
        contents = [image.tobytes() for image in images]
        self.assertEqual(len(set(contents)), 4, "four different frames (the warm object moves)")

    def test_grab_combined_image_agrees_with_its_raw_frame(self):
        out = os.path.join(self.dir, "combined")
        result = run("grab", "gige://198.19.0.2", "--frames", "1", "--out", out,
                     "--format", "combined")
        self.assertEqual(result.returncode, 0, result.stderr)
        bmp = os.path.join(out, "frame00000.bmp")
        with open(bmp + ".raw", "rb") as f:
            raw = f.read()
        self.assertEqual(len(raw), FRAME_BYTES)
        values = struct.unpack("<%dH" % (640 * 512), raw)
        # The warm object is the hottest part of the raw frame and the brightest of the image.
        warm = [(i % 640, i // 640) for i, v in enumerate(values) if 11000 < v < 16383]
        image = Image.open(bmp).convert("L")
        self.assertEqual(image.size, (640, 512))
        pixels = image.load()
        bright = [(x, y) for y in range(0, 512, 2) for x in range(0, 640, 2) if pixels[x, y] >= 250]
        self.assertGreater(len(warm), 100)
        self.assertGreater(len(bright), 25)
        (wx, wy), (bx, by) = centroid(warm), centroid(bright)
        self.assertLess(abs(wx - bx) + abs(wy - by), 12, ((wx, wy), (bx, by)))

    def test_grab_raw_frames(self):
        out = os.path.join(self.dir, "raw")
        result = run("grab", "cam:1", "--frames", "2", "--out", out, "--format", "raw")
        self.assertEqual(result.returncode, 0, result.stderr)
        frames = []
        for name in ("frame00000.raw", "frame00001.raw"):
            with open(os.path.join(out, name), "rb") as f:
                frames.append(f.read())
        self.assertEqual([len(f) for f in frames], [FRAME_BYTES] * 2)
        self.assertNotEqual(frames[0], frames[1])

    def test_record_samples_the_stream_once_per_frame(self):
        self.assertEqual(admin("198.18.0.2", "set --rate 50"), "ok")
        movie = os.path.join(self.dir, "live.irm")
        result = run("record", "cam://0", "--seconds", "2", "--out", movie)
        self.assertEqual(result.returncode, 0, result.stderr)
        match = re.match(r"(\d+) frames recorded to .* at ([\d.]+) frames/s "
                         r"\((\d+) repeated, (\d+) missed\)", result.stdout)
        self.assertIsNotNone(match, result.stdout)
        count, rate, repeated, missed = (float(g) for g in match.groups())
        self.assertAlmostEqual(rate, 50, delta=5)
        self.assertAlmostEqual(count, 100, delta=10)
        # How many fetches land between two arrivals depends on the machine's load; what the
        # tool reports must be what the file holds.

        with open(movie, "rb") as f:
            data = f.read()
        header = struct.unpack_from("<IIHH", data, 52)
        self.assertEqual(header, (int(count), header[1], 640, 512))
        self.assertAlmostEqual(header[1], 2000, delta=300)  # duration in ms
        self.assertEqual(len(data), 64 + int(count) * FRAME_BYTES)
        frames = [data[64 + i * FRAME_BYTES:64 + (i + 1) * FRAME_BYTES] for i in range(int(count))]
        same = sum(1 for a, b in zip(frames, frames[1:]) if a == b)
        self.assertEqual(same, int(repeated), "a frame repeats only where a fetch found none new")

    def test_bad_camera_paths(self):
        out = os.path.join(self.dir, "none")
        result = run("grab", "cam://7", "--frames", "1", "--out", out)
        self.assertEqual(result.returncode, 1)
        self.assertIn("cannot open camera cam://7", result.stderr)
        self.assertEqual(run("grab", "movie.irm", "--out", out).returncode, 2)
        self.assertEqual(run("record", "cam://0", "--seconds", "0", "--out", out).returncode, 2)
        self.assertFalse(os.path.exists(out))


NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
SOCKET_BUFFER = 8192000  # what the stream socket asks for


class ZelirAsOrdinaryUser(unittest.TestCase):
    """A user without the capture capability reaches the cameras through UDP sockets."""

    def setUp(self):
        if subprocess.run(NOBODY + ["test", "-x", ZELIR]).returncode != 0:
            self.skipTest("user nobody cannot reach " + ZELIR)
        self.tmp = tempfile.TemporaryDirectory()
        os.chmod(self.tmp.name, 0o777)
        self.assertEqual(admin("198.18.0.2", "reset"), "ok")

    def tearDown(self):
        self.tmp.cleanup()

    def as_nobody(self, *args, transport=None):
        env = {k: v for k, v in os.environ.items() if k != "ZELIR_TRANSPORT"}
        env.update(ZELIR_DATA_DIR=self.tmp.name, ZELIR_DEBUG="1")
        if transport:
            env["ZELIR_TRANSPORT"] = transport
        return subprocess.run(NOBODY + [ZELIR, *args], capture_output=True, text=True,
                              timeout=60, env=env, cwd=self.tmp.name)

    def test_discover_grab_and_get(self):
        found = self.as_nobody("discover")
        self.assertEqual(found.returncode, 0, found.stderr)
        self.assertRegex(found.stdout, r"cam://0 +198\.18\.0\.2 +198\.18\.0\.1 +ZS000000")
        self.assertIn("Unable to open the adapter zh0 for capture", found.stderr)
        self.assertIn("Reaching cameras on zh0 through UDP sockets", found.stderr)

        out = os.path.join(self.tmp.name, "frames")
        grab = self.as_nobody("grab", "gige://198.18.0.2", "--frames", "2", "--out", out,
                              "--format", "raw")
        self.assertEqual(grab.returncode, 0, grab.stderr)
        sizes = [os.path.getsize(os.path.join(out, n)) for n in sorted(os.listdir(out))]
        self.assertEqual(sizes, [FRAME_BYTES] * 2)
        with open("/proc/sys/net/core/rmem_max") as f:
            capped = int(f.read()) < SOCKET_BUFFER
        self.assertEqual("net.core.rmem_max" in grab.stderr, capped, grab.stderr)

        get = self.as_nobody("get", "gige://198.18.0.2", "exposure-time")
        self.assertEqual((get.returncode, get.stdout), (0, "exposure-time 1200 10 20000\n"))

    def test_forced_capture_names_the_cause_and_the_remedies(self):
        result = self.as_nobody("discover", transport="capture")
        self.assertEqual(result.returncode, 1)
        self.assertIn("no camera found", result.stderr)
        self.assertRegex(result.stderr, r"Unable to open the adapter zh0 for capture: .*"
                                        r"(permission|Operation not permitted)")
        self.assertIn("setcap cap_net_raw,cap_net_admin+ep", result.stderr)
        self.assertIn("ZELIR_TRANSPORT=socket", result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
