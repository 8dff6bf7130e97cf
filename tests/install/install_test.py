"""The installed SDK: layout, the examples built against a fresh prefix, the Debian package."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

CMAKE, BUILD, SOURCE, SAMPLES = sys.argv[1:5]
CPACK = os.path.join(os.path.dirname(CMAKE), "cpack")
MOVIE = os.path.join(SAMPLES, "sample.irm")
PALETTES = ["share/zelir/Palette/Palette%d.raw" % i for i in range(9)]
INSTALLED = [
    "lib/libzelir.so", "lib/libzelir.so.1", "include/zelir/zelir.h", "include/zelir/avi_code.h",
    "lib/pkgconfig/zelir.pc", "lib/cmake/ZelIr/ZelIrConfig.cmake",
    "lib/cmake/ZelIr/ZelIrConfigVersion.cmake", "lib/cmake/ZelIr/ZelIrTargets.cmake",
    "bin/zelir", "bin/zelir-camsim", "share/man/man1/zelir.1", "share/man/man1/zelir-camsim.1",
] + PALETTES + ["lib/python3/dist-packages/zelir/__init__.py",
                "lib/python3/dist-packages/zelir/__init__.pyi"]


def run(*args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=240, **kwargs)
    if result.returncode != 0:
        raise AssertionError("%s failed:\n%s%s" % (" ".join(args), result.stdout, result.stderr))
    return result


def clean_environment(**extra):
    env = {k: v for k, v in os.environ.items() if not k.startswith("ZELIR_")}
    env.pop("LD_LIBRARY_PATH", None)
    env.update(extra)
    return env


class InstalledSdk(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.prefix = os.path.join(cls.tmp.name, "prefix")
        run(CMAKE, "--install", BUILD, "--prefix", cls.prefix)
        cls.examples = os.path.join(cls.tmp.name, "examples")
        shutil.copytree(os.path.join(SOURCE, "examples"), cls.examples)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_layout_with_soname_and_no_path_into_the_trees(self):
        for path in INSTALLED:
            self.assertTrue(os.path.exists(os.path.join(self.prefix, path)), path)
        self.assertFalse(os.path.exists(os.path.join(self.prefix, "bin", "Palette")))
        dynamic = run("readelf", "-d", os.path.join(self.prefix, "lib/libzelir.so")).stdout
        self.assertIn("Library soname: [libzelir.so.1]", dynamic)
        runpath = run("readelf", "-d", os.path.join(self.prefix, "bin/zelir")).stdout
        self.assertIn("[$ORIGIN/../lib]", runpath)
        trees = [os.path.realpath(tree) for tree in (SOURCE, BUILD)]
        for folder in ("lib/pkgconfig", "lib/cmake/ZelIr", "share/man/man1"):
            for name in os.listdir(os.path.join(self.prefix, folder)):
                with open(os.path.join(self.prefix, folder, name)) as f:
                    text = f.read()
                self.assertFalse([t for t in trees if t in text], name)

    def test_examples_run_from_elsewhere_with_palette_and_settings(self):
        env = clean_environment(PKG_CONFIG_PATH=os.path.join(self.prefix, "lib/pkgconfig"))
        run("make", "-C", os.path.join(self.examples, "c"), env=env)
        package_build = os.path.join(self.tmp.name, "cmake-build")
        run(CMAKE, "-S", os.path.join(self.examples, "cmake"), "-B", package_build,
            "-DCMAKE_PREFIX_PATH=" + self.prefix, env=env)
        run(CMAKE, "--build", package_build, env=env)
        programs = {
            "pkg-config": (os.path.join(self.examples, "c", "zelir_example"),
                           {"LD_LIBRARY_PATH": os.path.join(self.prefix, "lib")}),
            "find_package": (os.path.join(package_build, "zelir_example"), {}),
        }
        for kind, (program, extra) in programs.items():
            with self.subTest(kind), tempfile.TemporaryDirectory() as elsewhere:
                data = os.path.join(elsewhere, "data")
                env = clean_environment(ZELIR_DATA_DIR=data, ZELIR_DEBUG="1", **extra)
                result = run(program, MOVIE, "last.bmp", cwd=elsewhere, env=env)
                self.assertRegex(result.stdout, r"^60 frames of 640 x 512")
                palettes = os.path.join(os.path.realpath(self.prefix), "share/zelir/Palette/")
                self.assertIn("palette folder %s (installed data)" % palettes, result.stderr)
                rgb = Image.open(os.path.join(elsewhere, "last.bmp")).convert("RGB")
                coloured = sum(1 for r, g, b in rgb.getdata() if not r == g == b)
                self.assertGreater(coloured, rgb.width * rgb.height // 2)
                with open(os.path.join(data, "para.ini")) as f:
                    self.assertRegex(f.read(), r"(?m)^Palette\s*=\s*1$")

    def test_installed_python_package_finds_the_installed_palettes(self):
        packages = os.path.join(self.prefix, "lib/python3/dist-packages")
        self.assertEqual(len(glob.glob(os.path.join(packages, "zelir", "_zelir*.so"))), 1)
        script = ("import sys, zelir\n"
                  "with zelir.open(sys.argv[1]) as m:\n"
                  "    rgb = next(m.frames()).rgb(palette=1)\n"
                  "    print(int(((rgb[..., 0] != rgb[..., 1]) | (rgb[..., 1] != rgb[..., 2])).mean() * 100))\n")
        with tempfile.TemporaryDirectory() as elsewhere:
            env = clean_environment(PYTHONPATH=packages, ZELIR_DATA_DIR=elsewhere, ZELIR_DEBUG="1")
            result = run(sys.executable, "-c", script, MOVIE, cwd=elsewhere, env=env)
        self.assertGreater(int(result.stdout), 50, "per cent of the picture in colour")
        self.assertIn("(installed data)", result.stderr)

    def test_debian_package_contents(self):
        out = os.path.join(self.tmp.name, "deb")
        run(CPACK, "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", out)
        deb = [os.path.join(out, n) for n in os.listdir(out) if n.endswith(".deb")]
        self.assertEqual(len(deb), 1, os.listdir(out))
        listing = run("dpkg-deb", "-c", deb[0]).stdout
        entries = {line.split()[5].lstrip(".") for line in listing.splitlines()}
        for path in INSTALLED:
            self.assertIn("/usr/" + path, entries)
        self.assertFalse([e for e in entries if "/bin/Palette" in e])
        depends = run("dpkg-deb", "-f", deb[0], "Depends").stdout
        self.assertIn("libpcap0.8", depends)
        self.assertIn("python3-numpy", run("dpkg-deb", "-f", deb[0], "Recommends").stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
