"""zelir get, set, config, upload and badpoints against the emulator on zc0, run as a user runs
them; the emulator's admin port reports what reached the camera."""
import functools
import json
import os
import random
import struct
import subprocess
import sys
import tempfile
import unittest

import camsim

ZELIR = sys.argv[1]
CAMERA = "gige://198.18.0.2"


def run(*args):
    return subprocess.run([ZELIR, *args], capture_output=True, text=True, timeout=60)


admin = functools.partial(camsim.admin, "198.18.0.2")
state = functools.partial(camsim.state, "198.18.0.2")


def fnv1a(data):
    h = 0xcbf29ce484222325
    for b in data:
        h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


class ZelirCameraCommands(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.assertEqual(admin("reset"), "ok")

    def tearDown(self):
        admin("reset")
        self.tmp.cleanup()

    def path(self, name, content=None):
        """The path of a file of the test's folder, written first when `content` is given."""
        path = os.path.join(self.tmp.name, name)
        if content is not None:
            with open(path, "wb" if isinstance(content, bytes) else "w") as f:
                f.write(content)
        return path

    def test_set_then_get_each_word_setting(self):
        for name, setting_id, value in (("exposure-time", 1826, 3000), ("exposure-mode", 1799, 2),
                                        ("gain", 1817, 0x11), ("pixel-format", 1893, 1),
                                        ("flip-dir", 1845, 3)):
            result = run("set", CAMERA, name, str(value))
            self.assertEqual((result.returncode, result.stdout),
                             (0, "%s set to %d\n" % (name, value)), result.stderr)
            self.assertEqual(state("setting %d" % setting_id)["value"][:8],
                             struct.pack("<I", value).hex())
            result = run("get", CAMERA, name)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout.split()[:2], [name, str(value)])

    def test_frame_frequency_with_unit_and_range(self):
        self.assertEqual(run("set", CAMERA, "frame-frequency", "30").returncode, 0)
        reading = json.loads(run("get", CAMERA, "frame-frequency", "--json").stdout)
        self.assertEqual(reading, {"setting": "frame-frequency", "value": 30.0, "min": 1.0,
                                   "max": 60.0, "unit": "Hz"})

    def test_unconfirmed_setting_fails(self):
        self.assertEqual(admin("set --ignore-writes 1817"), "ok")
        result = run("set", CAMERA, "gain", "5")
        self.assertEqual(result.returncode, 1)
        self.assertIn("did not confirm gain 5", result.stderr)
        self.assertEqual(state("setting 1817")["queries"], "4")

    def test_trigger_word(self):
        self.assertEqual(admin("store 1818 05000000"), "ok")
        self.assertEqual(run("get", CAMERA, "trigger-mode").stdout, "trigger-mode 1 (on)\n")
        self.assertEqual(run("get", CAMERA, "trigger-source").stdout,
                         "trigger-source 1 (external)\n")
        result = run("set", CAMERA, "soft-trigger")
        self.assertEqual(result.returncode, 1, "source 1: no soft pulse")
        self.assertEqual(run("set", CAMERA, "trigger-source", "0").returncode, 0)
        self.assertEqual(state("setting 1818")["value"], "01000000")
        result = run("set", CAMERA, "soft-trigger")
        self.assertEqual((result.returncode, result.stdout), (0, "soft trigger sent\n"))
        self.assertEqual(state("setting 1818")["soft"], "1")

    def test_config_per_model(self):
        self.assertEqual(admin("set --config-model MX207R --config-word-c 0x24 "
                               "--config-word-a 0x4000"), "ok")
        config = json.loads(run("config", CAMERA, "--json").stdout)
        self.assertEqual([config[k] for k in ("model", "text", "model_option_s", "model_option_p",
                                              "model_list_n", "model_flags", "reply_value_52")],
                         ["MX207R", "camsim", 1, 2, [4], [0, 1, 0, 0], 1234])
        self.assertEqual(admin("set --config-id 2051"), "ok")
        self.assertEqual(run("config", CAMERA).returncode, 1)

    def test_upload(self):
        data = bytes(random.Random(5).randrange(256) for _ in range(3000))
        result = run("upload", CAMERA, self.path("table.bin", data), "--type", "3")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(result.stdout.startswith("uploaded 3000 bytes in 6 blocks"), result.stdout)
        transfer = state("transfer")
        self.assertEqual((transfer["ended"], transfer["type"], transfer["size"], transfer["hash"]),
                         ("1", "3", "3000", fnv1a(data)))

    def test_badpoints_from_a_list_and_from_a_map(self):
        result = run("badpoints", CAMERA,
                     self.path("points.txt", "# column row\n12 3\n639,511\n\n5 3  # comment\n"))
        self.assertEqual((result.returncode, result.stdout), (0, "sent 3 bad points\n"),
                         result.stderr)
        points = state("badpoints")
        self.assertEqual((points["messages"], points["ended"], points["points"]),
                         ("3", "1", "5,3;12,3;639,511"))

        values = [0] * (640 * 512)
        values[100 * 640 + 7] = 2
        values[1] = -4  # not a bad point
        result = run("badpoints", CAMERA,
                     self.path("map.raw", struct.pack("<%dh" % len(values), *values)))
        self.assertEqual((result.returncode, result.stdout), (0, "sent 1 bad points\n"))
        self.assertEqual(state("badpoints")["points"], "7,100")

        for name, content in (("short.raw", b"\0" * 100), ("bad.txt", "640 0\n")):
            self.assertEqual(run("badpoints", CAMERA, self.path(name, content)).returncode, 2)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
