"""zelir's camera commands against the emulators in the network namespaces, run as a user runs
them: discover, grab, record (with a stop by SIGINT or SIGTERM) and calibrate. Stops of
the other commands by SIGINT are tested on files (zelir_cli_test)."""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from zelir_cli import Zelir, admin, companion  # noqa: E402

Z = Zelir(sys.argv[1])
CAM0, CAM1 = "198.18.0.2", "198.19.0.2"
SUMMARY = re.compile(r"received (\d+), written (\d+), lost before the SDK (\d+), "
                     r"queue overflows (\d+)")


class ZelirLive(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        for address in (CAM0, CAM1):
            self.assertEqual(admin(address, "reset"), "ok")

    def tearDown(self):
        for address in (CAM0, CAM1):
            admin(address, "reset")
        self.tmp.cleanup()

    def record(self, *args):
        """Records from cam://0; the summary's counts and the movie as info --json sees it."""
        movie = os.path.join(self.dir, "live.irm")
        result = Z.run("record", "cam://0", "--out", movie, *args)
        self.assertEqual(result.returncode, 0, result.stderr)
        counts = [int(n) for n in SUMMARY.search(result.stdout).groups()]
        return counts, Z.json("info", movie), companion(movie)

    # The constants kept measure the emulator's truth at the next open (NetTemperature); zelir
    # temp reads regions on files (zelir_temp_test).
    def test_calibrate_prompts_for_each_reference_of_a_live_camera(self):
        camera = "gige://198.18.0.2"
        data = Z.env["ZELIR_DATA_DIR"]
        os.makedirs(data, exist_ok=True)
        stale = lambda: [n for n in os.listdir(data) if n.startswith("radiometry_ZS000000")]
        for name in stale():
            os.remove(os.path.join(data, name))
        self.assertEqual(admin(CAM0, "set --rate 100 --blackbody-view"), "ok")
        calibrate = subprocess.Popen(
            [Z.binary, "calibrate", camera, "--reference", "20", "--reference", "60",
             "--reference", "120", "--frames", "4"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
            env=Z.env)
        try:
            # Each prompt names the temperature to show; Enter once the blackbody is there.
            for celsius in ("20", "60", "120"):
                prompt = calibrate.stderr.readline()
                self.assertIn("blackbody at %s C" % celsius, prompt)
                self.assertEqual(admin(CAM0, "set --blackbody " + celsius), "ok")
                time.sleep(0.3)  # frames rendered before the change are through on a busy machine
                calibrate.stdin.write("\n")
                calibrate.stdin.flush()
            out, err = calibrate.communicate(timeout=30)
        finally:
            calibrate.kill()
        self.assertEqual(calibrate.returncode, 0, err)
        self.assertTrue(out.startswith("r="), out)
        self.assertEqual(len(stale()), 1, "the constants are kept for the camera")
        for name in stale():
            os.remove(os.path.join(data, name))

    # The table is read in the ordinary user's test below.
    def test_discover_as_json(self):
        cameras = Z.json("discover")["cameras"]
        rows = {c["address"]: (c["path"], c["adapter"], c["serial"], c["width"], c["height"])
                for c in cameras}
        self.assertEqual(rows, {CAM0: ("cam://0", "198.18.0.1", "ZS000000", 640, 512),
                                CAM1: ("cam://1", "198.19.0.1", "ZS000001", 640, 512)})

    def test_record_writes_every_frame_once_with_its_companion(self):
        self.assertEqual(admin(CAM0, "set --rate 50"), "ok")
        (received, written, lost, overflows), info, meta = self.record("--frames", 40)
        self.assertEqual((received, written, lost, overflows), (40, 40, 0, 0))
        self.assertEqual((info["frames"], info["whole_frames"], info["truncated"]), (40, 40, False))
        self.assertEqual(info["parameter_line"]["serial"], "ZS000000")
        ids = [frame_id for _, frame_id in meta]
        self.assertEqual(ids, list(range(ids[0], ids[0] + 40)), "consecutive, none twice")
        # The emulator keeps its pace only roughly on a busy machine.
        self.assertTrue(20 < info["frame_rate"] < 55, info["frame_rate"])

    def test_record_counts_the_frames_lost_before_the_sdk(self):
        # Frames 4, 8, ... lose a packet: the SDK never completes them, the ids show the gaps.
        self.assertEqual(admin(CAM0, "set --drop-packet 7 --fault-every 4"), "ok")
        (received, written, lost, overflows), info, meta = self.record("--seconds", "1.5")
        self.assertEqual((written, overflows, info["frames"]), (received, 0, received))
        ids = [frame_id for _, frame_id in meta]
        self.assertEqual([i for i in ids if i % 4 == 0], [])
        self.assertEqual(lost, ids[-1] - ids[0] + 1 - len(ids))
        self.assertGreaterEqual(lost, ids[-1] // 4 - ids[0] // 4)

    def test_signals_stop_record_cleanly(self):
        for signum, limit, code in ((signal.SIGINT, ("--seconds", 60), 130),
                                    (signal.SIGTERM, ("--frames", 100000), 143)):
            movie = os.path.join(self.dir, "stopped%d.irm" % code)
            process = Z.start("record", "cam://0", "--out", movie, *limit)
            deadline = time.time() + 10
            while time.time() < deadline and (not os.path.exists(movie + ".meta") or
                                              os.path.getsize(movie + ".meta") < 2000):
                time.sleep(0.05)
            process.send_signal(signum)
            out, err = process.communicate(timeout=10)
            self.assertEqual(process.returncode, code, err)
            written = int(SUMMARY.search(out).group(2))
            info = Z.json("info", movie)
            self.assertEqual((info["frames"], info["finished"], info["truncated"]),
                             (written, True, False))
            self.assertEqual(len(companion(movie)), written)
            time.sleep(0.2)
            self.assertIn("streaming=0", admin(CAM0, "stats"), "the camera was stopped")

    def test_bad_camera_paths(self):
        out = os.path.join(self.dir, "none")
        result = Z.run("grab", "cam://5", "--frames", 1, "--out", out)
        self.assertEqual(result.returncode, 1)
        self.assertIn("only cam://0..1 were found (zelir discover)", result.stderr)
        self.assertFalse(os.path.exists(out))



NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
SOCKET_BUFFER = 8192000  # what the stream socket asks for


class ZelirAsOrdinaryUser(unittest.TestCase):
    """A user without the capture capability reaches the cameras through UDP sockets."""

    def setUp(self):
        if subprocess.run(NOBODY + ["test", "-x", Z.binary]).returncode != 0:
            self.skipTest("user nobody cannot reach " + Z.binary)
        self.tmp = tempfile.TemporaryDirectory()
        os.chmod(self.tmp.name, 0o777)
        self.assertEqual(admin("198.18.0.2", "reset"), "ok")

    def tearDown(self):
        self.tmp.cleanup()

    def as_nobody(self, *args, transport=None, debug=True):
        env = {k: v for k, v in os.environ.items() if k not in ("ZELIR_TRANSPORT", "ZELIR_DEBUG")}
        env.update(ZELIR_DATA_DIR=self.tmp.name, **({"ZELIR_DEBUG": "1"} if debug else {}))
        if transport:
            env["ZELIR_TRANSPORT"] = transport
        return subprocess.run(NOBODY + [Z.binary, *args], capture_output=True, text=True,
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
        sizes = [os.path.getsize(os.path.join(out, n)) for n in sorted(os.listdir(out))
                 if n.endswith(".raw")]
        self.assertEqual(sizes, [640 * 512 * 2] * 2)
        with open("/proc/sys/net/core/rmem_max") as f:
            capped = int(f.read()) < SOCKET_BUFFER
        self.assertEqual("net.core.rmem_max" in grab.stderr, capped, grab.stderr)

        get = self.as_nobody("get", "gige://198.18.0.2", "exposure-time")
        self.assertEqual((get.returncode, get.stdout),
                         (0, "exposure-time 1200 (range 10..20000)\n"))

    def test_forced_capture_names_the_cause_and_the_remedies(self):
        result = self.as_nobody("get", "gige://198.18.0.2", "gain", transport="capture", debug=False)
        self.assertEqual(result.returncode, 1)
        self.assertIn("packet capture (ZELIR_TRANSPORT=capture) needs root", result.stderr)
        self.assertIn("sudo setcap cap_net_raw,cap_net_admin+ep " + os.path.realpath(Z.binary),
                      result.stderr)
        self.assertIn("ZELIR_TRANSPORT=socket", result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
