"""The zelir tool run as a user runs it, and the outside judges of what it writes: Pillow,
numpy, ffprobe and the emulator's admin port. Shared by the tool's tests and benchmarks."""
import json
import os
import subprocess
import tempfile

import numpy as np
from PIL import Image

from camsim import admin  # noqa: F401  (the tests and benchmarks take it from here)

FRAME_SHAPE = (512, 640)


class Zelir:
    """Runs one zelir binary with a data folder of its own (no settings from earlier runs)."""

    def __init__(self, binary):
        self.binary = binary
        self.data = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, ZELIR_DATA_DIR=os.environ.get("ZELIR_DATA_DIR", self.data.name))

    def run(self, *args, timeout=120):
        return subprocess.run([self.binary, *map(str, args)], capture_output=True, text=True,
                              timeout=timeout, env=self.env)

    def start(self, *args):
        return subprocess.Popen([self.binary, *map(str, args)], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, env=self.env)

    def json(self, *args):
        result = self.run(*args, "--json")
        assert result.returncode == 0, result.stderr
        return json.loads(result.stdout)

    def palette(self, index):
        with open(os.path.join(os.path.dirname(self.binary), "Palette", "Palette%d.raw" % index),
                  "rb") as f:
            return f.read()


def read_digits(path):
    """The 16-bit digits of an image file zelir wrote, whatever its format."""
    if path.endswith(".npy"):
        return np.load(path)
    if path.endswith((".tif", ".tiff")):
        return np.array(Image.open(path))
    return np.fromfile(path, "<u2").reshape(FRAME_SHAPE)


def ffprobe(path):
    probe = subprocess.run(
        ["ffprobe", "-v", "error", "-count_frames", "-show_entries",
         "stream=codec_tag_string,width,height,nb_read_frames,r_frame_rate", "-of", "json", path],
        capture_output=True, text=True, check=True)
    return json.loads(probe.stdout)["streams"][0]


def companion(movie):
    """(arrival seconds, frame id or None) per frame of a recording's MOVIE.meta."""
    with open(movie + ".meta") as f:
        rows = [line.split() for line in f if not line.startswith("#")]
    return [(float(r[1]), None if r[2] == "-" else int(r[2])) for r in rows]
