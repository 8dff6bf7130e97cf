"""The zelir command-line tool end to end on the samples: help, JSON, image formats, errors;
Pillow, numpy and ffprobe judge what it writes."""
import os
import re
import signal
import struct
import sys
import tempfile
import time
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from zelir_cli import Zelir, ffprobe, read_digits  # noqa: E402

Z = Zelir(sys.argv[1])
SAMPLES = sys.argv[2]
MOVIE = os.path.join(SAMPLES, "sample.irm")


def cut_movie(path, header_frames, whole, extra):
    """A copy of the sample movie's first frames under a header counting `header_frames`."""
    with open(MOVIE, "rb") as f:
        header, frames = bytearray(f.read(64)), f.read(640 * 512 * 2 * (whole + 1))
    header[52:56] = header_frames.to_bytes(4, "little")
    with open(path, "wb") as f:
        f.write(bytes(header) + frames[:640 * 512 * 2 * whole + extra])


def long_movie(path, frames=10000, width=32, height=32):
    """A finished movie of many small noisy frames (they do not compress away): a command is
    still at work when it is stopped."""
    header = bytearray(64)
    header[0:6] = b"IRGBIT"
    header[10:29] = header[30:49] = b"2026 12 07 06:00:00"
    header[52:64] = struct.pack("<IIHH", frames, frames * 40, width, height)
    with open(path, "wb") as f:
        noise = np.random.default_rng(7).integers(0, 16384, (frames, width * height), dtype="<u2")
        f.write(bytes(header) + noise.tobytes())


class ZelirCli(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def test_help_of_every_command_three_ways(self):
        overview = Z.run("help")
        commands = re.findall(r"^  (\w+) ", overview.stdout, re.M)
        self.assertGreaterEqual(len(commands), 17)
        for command in commands:
            texts = {Z.run(*args).stdout for args in
                     ((command, "--help"), (command, "-h"), ("help", command), (command, "x", "-h"))}
            self.assertEqual(len(texts), 1, command)
            text = texts.pop()
            self.assertTrue(text.startswith("usage: zelir " + command), command)
            self.assertIn("\nexample:\n  zelir " + command, text)
            for option in re.findall(r"\[(--[\w-]+)", text.splitlines()[0]):
                self.assertRegex(text, r"\n  %s.*\[.+\]\n" % option, (command, option))
        version = Z.run("--version").stdout.splitlines()
        self.assertRegex(version[0], r"^zelir \d+\.\d+\.\d+$")
        self.assertRegex(version[1], r"^libzelir version word 0x[0-9a-f]{4}, revision ")

    def test_info_json_and_honest_metadata(self):
        cut_movie(self.path("short.irm"), 9, 6, 100)
        cases = [  # file, kind, frames, serial or None (not recorded), truncated
            (MOVIE, "movie", 60, "SAMPLE01", False),
            (os.path.join(SAMPLES, "sample.bmp"), "combined image", 1, "SAMPLE01", None),
            (os.path.join(SAMPLES, "sample.raw"), "raw image", 1, None, None),
            (self.path("short.irm"), "movie", 9, "SAMPLE01", True),
        ]
        for path, kind, frames, serial, truncated in cases:
            info = Z.json("info", path)
            self.assertEqual((info["kind"], info["width"], info["height"], info["frames"]),
                             (kind, 640, 512, frames), path)
            line = info["parameter_line"]
            self.assertEqual(line and line["serial"], serial, path)
            self.assertEqual(info.get("truncated"), truncated, path)
            text = Z.run("info", path)
            self.assertEqual("not recorded" in text.stdout, serial is None, path)
            self.assertEqual("is truncated" in text.stderr, bool(truncated), path)
        self.assertEqual((info["header_frames"], info["whole_frames"]), (9, 6))
        self.assertAlmostEqual(Z.json("info", MOVIE)["frame_rate"], 30, delta=0.5)

    def test_each_format_read_back(self):
        raw = self.path("f.raw")
        self.assertEqual(Z.run("save", MOVIE, "--frame", 5, "--out", raw).returncode, 0)
        digits = read_digits(raw)
        self.assertEqual((digits.shape, digits.dtype), ((512, 640), np.uint16))
        for ext in ("tif", "tiff", "npy"):
            self.assertEqual(Z.run("save", MOVIE, "--frame", 5, "--out", self.path("f." + ext))
                             .returncode, 0)
            self.assertTrue((read_digits(self.path("f." + ext)) == digits).all(), ext)
        images = {}
        for ext in ("bmp", "png"):
            self.assertEqual(Z.run("save", MOVIE, "--frame", 5, "--out", self.path("f." + ext),
                                   "--palette", 1).returncode, 0)
            images[ext] = Image.open(self.path("f." + ext))
            self.assertEqual((images[ext].mode, images[ext].size), ("P", (640, 512)))
            self.assertEqual(bytes(images[ext].getpalette()[:768]), Z.palette(1))
        self.assertEqual(images["bmp"].tobytes(), images["png"].tobytes())
        combined = self.path("c.bmp")
        self.assertEqual(Z.run("save", MOVIE, "--frame", 5, "--out", combined, "--format",
                               "combined").returncode, 0)
        self.assertTrue((read_digits(combined + ".raw") == digits).all())
        self.assertEqual(os.path.getsize(combined), 1019056)  # BMP, raw frame, parameter block

    def test_play_range_and_avi_rates(self):
        out = self.path("frames")
        result = Z.run("play", MOVIE, "--out", out, "--from", 3, "--to", 7, "--format", "png")
        self.assertEqual(result.returncode, 0, result.stderr)
        names = sorted(os.listdir(out))
        self.assertEqual(names, ["frame%05d.png" % i for i in range(3, 8)])
        first, last = (Image.open(os.path.join(out, n)).tobytes() for n in (names[0], names[4]))
        self.assertNotEqual(first, last)
        for fps, rate in ((None, "30/1"), ("29.97", "30000/1001"), ("12.5", "25/2")):
            avi = self.path("m%s.avi" % fps)
            result = Z.run("avi", MOVIE, "--out", avi, *(("--fps", fps) if fps else ()))
            self.assertEqual(result.returncode, 0, result.stderr)
            stream = ffprobe(avi)
            self.assertEqual((stream["codec_tag_string"], stream["width"], stream["height"],
                              stream["nb_read_frames"], stream["r_frame_rate"]),
                             ("XVID", 640, 512, "60", rate))

    def test_sigint_finishes_play_and_avi(self):
        movie = self.path("long.irm")
        long_movie(movie)
        frames_dir, avi = self.path("frames"), self.path("long.avi")
        for command, out, busy in (
                ("play", frames_dir, lambda: len(os.listdir(frames_dir)) >= 3),
                ("avi", avi, lambda: True)):  # the AVI's bytes come at its end only
            process = Z.start(command, movie, "--out", out)
            deadline = time.time() + 30
            while time.time() < deadline and not (os.path.exists(out) and busy()):
                time.sleep(0.01)
            time.sleep(0.02)  # some frames written
            # Stopped first, so the interrupt lands while the command is still at work.
            for signum in (signal.SIGSTOP, signal.SIGINT, signal.SIGCONT):
                process.send_signal(signum)
            stdout, stderr = process.communicate(timeout=60)
            self.assertEqual(process.returncode, 130, stderr)
            written = int(re.match(r"(\d+) frames written", stdout).group(1))
            self.assertTrue(3 <= written < 10000, stdout)
            if command == "play":
                names = sorted(os.listdir(out))
                self.assertEqual(names, ["frame%05d.bmp" % i for i in range(written)])
                with Image.open(os.path.join(out, names[-1])) as last:
                    self.assertEqual(last.size, (32, 32))
            else:
                self.assertEqual(int(ffprobe(avi)["nb_read_frames"]), written)

    def test_srec2bin(self):
        srec = self.path("fw.srec")
        line = bytes([21, 0, 0, 0x10, 0]) + bytes(range(16))
        with open(srec, "w") as f:
            f.write("S3" + line.hex().upper() + "%02X\n" % ((~sum(line)) & 0xFF))
        result = Z.run("srec2bin", srec, "--out", self.path("fw.bin"))
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.path("fw.bin"), "rb") as f:
            self.assertEqual(f.read(), bytes(range(16)))

    def test_bad_inputs_name_cause_and_leave_nothing(self):
        d = self.path
        os.mkdir(d("movie.irm"))
        cases = [  # arguments, exit code, message
            (("frobnicate",), 2, "unknown command 'frobnicate'"),
            (("info",), 2, "info: missing arguments (see 'zelir info --help')"),
            (("info", d("missing.irm")), 1, "cannot open %s: No such file" % d("missing.irm")),
            (("info", self.dir), 1, "%s is a directory" % self.dir),
            (("save", MOVIE, "--out", d("x.jpg")), 2, "names no image format"),
            (("save", MOVIE, "--out", d("no/such/x.png")), 1, "does not exist"),
            (("save", MOVIE, "--out", d("x.png"), "--palette", 9), 2, "--palette takes one of"),
            (("play", MOVIE, "--out", d("p"), "--from", 50, "--to", 70), 2, "must lie in 0..59"),
            (("avi", MOVIE, "--out", d("x.mp4")), 2, "must end in .avi"),
            (("srec2bin", d("none.srec"), "--out", d("o.bin")), 1, "cannot open " + d("none.srec")),
            (("record", "cam://0", "--out", d("movie.irm")), 1, "is a directory"),
        ]
        for args, code, message in cases:
            result = Z.run(*args)
            self.assertEqual(result.returncode, code, (args, result.stderr))
            self.assertTrue(result.stderr.startswith("zelir: "), args)
            self.assertIn(message, result.stderr, args)
        self.assertEqual(os.listdir(self.dir), ["movie.irm"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
