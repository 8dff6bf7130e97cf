"""The zelir tool keeps no hidden state: flags reach one command only, stored display settings
change only on request, and writable state goes where the data folder rules say."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ZELIR = sys.argv[1]
MOVIE = os.path.join(sys.argv[2], "sample.irm")
# A raw image has no parameter line: the library maps it with the stored display settings.
IMAGE = os.path.join(sys.argv[2], "sample.raw")


def clean_environment(**extra):
    env = {k: v for k, v in os.environ.items() if k not in ("ZELIR_DATA_DIR", "XDG_DATA_HOME")}
    env.update(extra)
    return env


class ZelirState(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.env = clean_environment(ZELIR_DATA_DIR=os.path.join(self.tmp.name, "data"))

    def tearDown(self):
        self.tmp.cleanup()

    def zelir(self, *args, env=None, program=ZELIR):
        result = subprocess.run([program, *args], capture_output=True, text=True, timeout=120,
                                env=env or self.env)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def saved_frame(self, name):
        path = os.path.join(self.tmp.name, name)
        self.zelir("save", IMAGE, "--out", path, "--format", "bmp")
        with open(path, "rb") as f:
            return f.read()

    def settings(self, *args):
        lines = self.zelir("settings", *args).splitlines()
        return dict(line.split(None, 1) for line in lines)

    def test_flags_of_one_command_do_not_change_the_next(self):
        out = os.path.join(self.tmp.name, "out")
        first_commands = [
            ("play", MOVIE, "--out", out, "--from", "0", "--to", "1", "--bc-type", "3"),
            ("avi", MOVIE, "--out", out + ".avi", "--palette", "7", "--bc-type", "3"),
        ]
        before = self.saved_frame("before.bmp")
        stored = self.settings()
        for command in first_commands:
            with self.subTest(command[0]):
                self.zelir(*command)
                self.assertTrue(self.saved_frame("after.bmp") == before, "the picture changed")
                self.assertEqual(self.settings(), stored)

    def test_settings_change_only_on_request(self):
        self.zelir("play", MOVIE, "--out", os.path.join(self.tmp.name, "p"), "--from", "0",
                   "--to", "0", "--palette", "3", "--bc-type", "1", "--save-settings")
        self.assertEqual((self.settings()["palette"], self.settings()["bc-type"]), ("3", "1"))
        changed = self.settings("--palette", "5", "--bc-type", "1", "--brightness", "70")
        self.assertEqual((changed["palette"], changed["brightness"]), ("5", "70"))
        self.assertEqual(self.settings()["brightness"], "70")
        with open(os.path.join(self.env["ZELIR_DATA_DIR"], "para.ini")) as f:
            self.assertIn("Palette=5", f.read().replace(" ", ""))

    def test_data_folder_rules(self):
        home = os.path.join(self.tmp.name, "home")
        beside = os.path.join(self.tmp.name, "bin")
        os.makedirs(os.path.join(beside, "_TempData"))
        shutil.copy(ZELIR, beside)
        library = os.path.join(os.path.dirname(os.path.dirname(ZELIR)), "lib")
        build_state = os.path.join(os.path.dirname(ZELIR), "_TempData")
        existed = os.path.exists(build_state)
        # The variables' order is pinned without the tool (data_folders_test); here the folder
        # beside the installed tool and the one under HOME.
        cases = [
            ({"HOME": home}, ZELIR, "home/.local/share/zelir"),
            ({"HOME": home, "LD_LIBRARY_PATH": library}, os.path.join(beside, "zelir"),
             "bin/_TempData"),
        ]
        for extra, program, folder in cases:
            with self.subTest(folder):
                env = clean_environment(**extra)
                shown = self.zelir("settings", "--palette", "2", env=env, program=program)
                expected = os.path.join(self.tmp.name, folder) + "/"
                self.assertIn("folder      " + expected + "\n", shown)
                self.assertTrue(os.path.isfile(os.path.join(expected, "para.ini")))
        self.assertEqual(os.path.exists(build_state), existed, "nothing new beside the tool")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
