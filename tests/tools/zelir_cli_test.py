"""The zelir command-line tool end to end: outputs checked with Pillow and ffprobe."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

ZELIR = sys.argv[1]
SAMPLES = sys.argv[2]
MOVIE = os.path.join(SAMPLES, "sample.irm")
# Stored display settings of this run only: nothing an earlier run left behind counts.
DATA = tempfile.TemporaryDirectory()
ENV = dict(os.environ, ZELIR_DATA_DIR=DATA.name)


def run(*args):
    return subprocess.run([ZELIR, *args], capture_output=True, text=True, timeout=120, env=ENV)


class ZelirCli(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def test_info_reports_kind_geometry_frames_and_parameter_line(self):
        result = run("info", MOVIE)
        self.assertEqual(result.returncode, 0, result.stderr)
        fields = dict(line.split(":", 1) for line in result.stdout.splitlines())
        self.assertEqual(fields["kind"].strip(), "movie")
        self.assertEqual(fields["geometry"].strip(), "640 x 512, 16-bit")
        self.assertEqual(fields["frames"].strip(), "60")
        self.assertEqual(fields["serial"].strip(), "SAMPLE01")
        for name, kind in (("sample.bmp", "combined image"), ("sample.raw", "raw image")):
            out = run("info", os.path.join(SAMPLES, name))
            self.assertEqual(out.returncode, 0, out.stderr)
            self.assertIn("kind:          " + kind, out.stdout)

    def test_info_reports_the_headers_count_and_the_whole_frames(self):
        # The header counts 9 frames of 48 x 36, the file holds 6 and a half.
        path = os.path.join(self.dir, "short.irm")
        header = bytearray(64)
        header[0:6] = b"IRGIGE"
        header[52:56] = (9).to_bytes(4, "little")
        header[60:62] = (48).to_bytes(2, "little")
        header[62:64] = (36).to_bytes(2, "little")
        with open(path, "wb") as f:
            f.write(bytes(header) + bytes(48 * 36 * 2 * 6 + 100))
        result = run("info", path)
        self.assertEqual(result.returncode, 0, result.stderr)
        fields = dict(line.split(":", 1) for line in result.stdout.splitlines())
        self.assertEqual(fields["frames"].strip(), "9")
        self.assertEqual(fields["whole frames"].strip(), "6")

    def test_play_writes_palette_bmps_of_the_range(self):
        out = os.path.join(self.dir, "frames")
        result = run("play", MOVIE, "--out", out, "--palette", "1", "--from", "3", "--to", "7")
        self.assertEqual(result.returncode, 0, result.stderr)
        names = sorted(os.listdir(out))
        self.assertEqual(names, ["frame%05d.bmp" % i for i in range(3, 8)])
        first = Image.open(os.path.join(out, names[0]))
        self.assertEqual(first.size, (640, 512))
        self.assertEqual(first.mode, "P")
        palette = first.getpalette()[:768]
        with open(os.path.join(os.path.dirname(ZELIR), "Palette", "Palette1.raw"), "rb") as f:
            self.assertEqual(bytes(palette), f.read())
        self.assertNotEqual(first.tobytes(), Image.open(os.path.join(out, names[4])).tobytes())

    def test_save_formats(self):
        combined = os.path.join(self.dir, "f.bmp")
        self.assertEqual(run("save", MOVIE, "--frame", "5", "--out", combined).returncode, 0)
        self.assertEqual(os.path.getsize(combined + ".raw"), 640 * 512 * 2)
        self.assertEqual(Image.open(combined).size, (640, 512))
        raw = os.path.join(self.dir, "f.raw")
        self.assertEqual(run("save", MOVIE, "--frame", "5", "--out", raw, "--format", "raw").returncode, 0)
        with open(raw, "rb") as a, open(combined + ".raw", "rb") as b:
            self.assertEqual(a.read(), b.read())
        bmp = os.path.join(self.dir, "p.bmp")
        self.assertEqual(run("save", MOVIE, "--out", bmp, "--format", "bmp").returncode, 0)
        self.assertEqual(os.path.getsize(bmp), 1078 + 640 * 512)

    def test_avi_through_ffprobe(self):
        avi = os.path.join(self.dir, "m.avi")
        result = run("avi", MOVIE, "--out", avi, "--palette", "2", "--fps", "30")
        self.assertEqual(result.returncode, 0, result.stderr)
        probe = subprocess.run(
            ["ffprobe", "-v", "error", "-count_frames", "-show_entries",
             "stream=codec_name,codec_tag_string,width,height,nb_read_frames,r_frame_rate",
             "-of", "json", avi], capture_output=True, text=True, check=True)
        stream = json.loads(probe.stdout)["streams"][0]
        self.assertEqual(stream["codec_tag_string"], "XVID")
        self.assertEqual((stream["width"], stream["height"]), (640, 512))
        self.assertEqual(stream["nb_read_frames"], "60")
        self.assertEqual(stream["r_frame_rate"], "30/1")

    def test_srec2bin(self):
        srec = os.path.join(self.dir, "fw.srec")
        data = bytes(range(16))
        line = bytes([21, 0, 0, 0x10, 0]) + data
        checksum = (~sum(line)) & 0xFF
        with open(srec, "w") as f:
            f.write("S3" + line.hex().upper() + "%02X\n" % checksum)
        out = os.path.join(self.dir, "fw.bin")
        result = run("srec2bin", srec, "--out", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), data)
        self.assertEqual(run("srec2bin", srec, srec, "--out", out).returncode, 1)

    def test_errors_and_exit_codes(self):
        cases = [
            (("info",), 2), (("play", MOVIE), 2), (("play", MOVIE, "--out", self.dir, "--palette", "9"), 2),
            (("save", MOVIE, "--out", "x", "--format", "png"), 2), (("frobnicate",), 2),
            (("info", os.path.join(self.dir, "missing.irm")), 1),
            (("play", MOVIE, "--out", self.dir, "--from", "50", "--to", "70"), 2),
            (("save", MOVIE, "--out", os.path.join(self.dir, "no", "such", "f.bmp")), 1),
        ]
        for args, code in cases:
            result = run(*args)
            self.assertEqual(result.returncode, code, args)
            self.assertTrue(result.stderr.startswith("zelir: "), args)
        self.assertEqual(run("help").returncode, 0)

    def test_a_directory_as_input_file_is_refused_before_the_camera_is_opened(self):
        for command in ("upload", "badpoints"):
            result = run(command, "cam://0", self.dir)
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertEqual(result.stderr.strip(), "zelir: %s is a directory" % self.dir)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
