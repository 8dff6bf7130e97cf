"""zelir temp and zelir calibrate on the generated samples, judged by the samples' own truth
(<file>.truth.npy, written with the scene) and by numpy and Pillow reading what the tool wrote."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image

ZELIR = sys.argv[1]
SAMPLES = sys.argv[2]
MOVIE = os.path.join(SAMPLES, "sample.irm")
# Per-pixel noise of the samples is 2 digit values, about 0.1 K; 0.5 K is five times that.
PIXEL_TOLERANCE = 0.5


def run(*args):
    return subprocess.run([ZELIR, *args], capture_output=True, text=True, timeout=120)


def truth(name):
    return np.load(os.path.join(SAMPLES, name + ".truth.npy"))


class ZelirTemp(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def test_points_match_the_truth_in_every_sample(self):
        # Person, blackbody target, hot object (frame 0 of the movie), background.
        points = [(320, 256), (80, 60), (512, 256), (600, 480)]
        for name in ("sample.irm", "sample.bmp", "sample.raw"):
            args = ["temp", os.path.join(SAMPLES, name), "--json"]
            for x, y in points:
                args += ["--point", "%d,%d" % (x, y)]
            result = run(*args)
            self.assertEqual(result.returncode, 0, result.stderr)
            measured = json.loads(result.stdout)["measurements"]
            self.assertEqual([tuple(m["at"]) for m in measured], points)
            for m, (x, y) in zip(measured, points):
                self.assertAlmostEqual(m["celsius"], truth(name)[y, x], delta=PIXEL_TOLERANCE,
                                       msg="%s at %d,%d" % (name, x, y))

    def test_whole_frame_as_tiff_and_npy(self):
        tiff, npy = os.path.join(self.dir, "t.tiff"), os.path.join(self.dir, "t.npy")
        self.assertEqual(run("temp", MOVIE, "--out", tiff).returncode, 0)
        self.assertEqual(run("temp", MOVIE, "--out", npy).returncode, 0)
        from_tiff = np.array(Image.open(tiff))
        from_npy = np.load(npy)
        self.assertEqual((from_npy.dtype, from_npy.shape), (np.float32, (512, 640)))
        np.testing.assert_array_equal(from_tiff, from_npy)
        error = np.abs(from_npy - truth("sample.irm"))[1:]  # row 0 holds the parameter line
        self.assertLess(float(error.mean()), 0.15)
        self.assertLess(float(error.max()), PIXEL_TOLERANCE)

    def test_regions_in_csv(self):
        result = run("temp", MOVIE, "--csv", "--rect", "50,40,60,60", "--line", "320,180,320,400")
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = result.stdout.splitlines()
        self.assertEqual(rows[0].split(",")[:4], ["kind", "where", "celsius", "min"])
        rect = rows[1].split(",")
        self.assertEqual(rect[0], "rect")
        t = truth("sample.irm")
        mean = float(rect[-3])
        self.assertAlmostEqual(mean, t[40:100, 50:110].mean(), delta=0.05)
        line = rows[2].split(",")
        self.assertEqual(line[0], "line")
        self.assertAlmostEqual(float(line[-3]), t[180:401, 320].mean(), delta=0.05)
        self.assertEqual(line[-2:], ["221", "221"])

    def test_wrong_inputs_fail_clearly_and_write_nothing(self):
        bare = os.path.join(self.dir, "bare.irm")
        shutil.copy(MOVIE, bare)  # without its constants
        out = os.path.join(self.dir, "t.npy")
        cases = [
            (("temp", MOVIE, "--emissivity", "1.5"), 2),
            (("temp", MOVIE, "--point", "3"), 2),
            (("temp", MOVIE, "--out", os.path.join(self.dir, "t.png")), 2),
            (("temp", MOVIE, "--frame", "60"), 2),
            (("temp", bare, "--out", out), 1),
            (("calibrate", MOVIE, "--reference", "20", "--reference", "60"), 2),
            (("calibrate", MOVIE, "--set", "-5,1428,1,1000"), 2),
        ]
        for args, code in cases:
            result = run(*args)
            self.assertEqual(result.returncode, code, args)
            self.assertTrue(result.stderr.startswith("zelir: "), args)
        self.assertEqual(os.listdir(self.dir), ["bare.irm"])
        outside = run("temp", MOVIE, "--point", "700,10", "--json")
        self.assertEqual(json.loads(outside.stdout)["measurements"][0]["celsius"], None)

    def test_calibrate_fits_a_movie_of_blackbodies(self):
        r, b, f, o = 133000.0, 1428.0, 1.0, 1000.0
        digits = lambda t: r / (np.exp(b / (t + 273.15)) - f) + o
        # Each request steps the movie on first: frame 0 is never taken.
        levels = [digits(20.0)] * 5 + [digits(60.0)] * 4 + [digits(120.0)] * 4
        movie = os.path.join(self.dir, "bb.irm")
        header = bytearray(64)
        header[0:6] = b"IRGBIT"
        header[52:56] = len(levels).to_bytes(4, "little")
        header[60:62] = (64).to_bytes(2, "little")
        header[62:64] = (48).to_bytes(2, "little")
        rng = np.random.default_rng(7)
        with open(movie, "wb") as out:
            out.write(bytes(header))
            for level in levels:
                frame = np.rint(level + rng.normal(0.0, 2.0, (48, 64))).astype("<u2")
                out.write(frame.tobytes())
        result = run("calibrate", movie, "--reference", "20", "--reference", "60",
                     "--reference", "120", "--frames", "4")
        self.assertEqual(result.returncode, 0, result.stderr)
        fitted = dict(word.split("=") for word in result.stdout.split()[:4])
        fr, fb, ff, fo = (float(fitted[k]) for k in "rbfo")
        t = np.arange(-20.0, 301.0, 10.0)
        back = fb / np.log(fr / (digits(t) - fo) + ff) - 273.15
        self.assertLess(float(np.abs(back - t).max()), 0.3)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
