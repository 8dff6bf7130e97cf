"""zelir view on an emulated camera, in headless Chromium inside the host namespace: a server
bound beyond loopback takes control actions only with its token, and a recording started from
the page holds the frames shown, with the values the page showed under the mouse. The rate of
frames drawn is measured on the movie (view_browser_test). Arguments: ZELIR LIBRARY."""
import os
import re
import sys
import tempfile
import unittest

import view_page

ZELIR, LIBRARY = sys.argv[1:3]
CAMERA = "gige://198.18.0.2"
HOST_ADDRESS = "198.18.0.1"  # zh0, beyond loopback
RATE = 25  # the emulator's default frame rate
RECORDING = 4  # frame flag


class ViewCamera(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.server = view_page.ViewServer(ZELIR, CAMERA, "--bind", HOST_ADDRESS,
                                          "--record-dir", cls.dir.name)
        cls.page = view_page.Page()

    @classmethod
    def tearDownClass(cls):
        cls.page.quit()
        code = cls.server.stop()
        cls.dir.cleanup()
        assert code == 0, "zelir view ended with %d" % code

    def test_control_beyond_loopback_needs_the_token(self):
        self.assertIsNotNone(self.server.token)
        self.page.open(self.server.url)
        self.assertFalse(self.page.js("zelirView.control"))
        self.page.send("record start")
        self.page.wait("document.getElementById('message').textContent.includes('token')")
        self.assertEqual(self.page.frame()["flags"] & RECORDING, 0)
        self.assertEqual(os.listdir(self.dir.name), [])

    def test_recording_holds_the_values_shown_under_the_mouse(self):
        self.page.open(self.server.url + "?token=" + self.server.token)
        self.assertTrue(self.page.js("zelirView.control"))
        self.page.click("record")
        self.page.wait("(zelirView.frame.flags & %d) !== 0" % RECORDING)
        path = re.search(r"recording to (\S+\.irm)", self.page.text("message")).group(1)
        self.assertEqual(os.path.dirname(path), self.dir.name)
        self.page.wait("zelirView.frame.sequence > %d" % (self.page.frame()["sequence"] + RATE // 2))
        shown = [(x, y) + tuple(self.page.hover(x, y)) for x, y in ((5, 7), (400, 300))]
        self.page.wait("zelirView.frame.sequence > %d" % (self.page.frame()["sequence"] + 3))
        self.page.click("record")
        self.page.wait("(zelirView.frame.flags & %d) === 0" % RECORDING)

        movie = view_page.Movie(LIBRARY, path)
        self.addCleanup(movie.close)
        # The movie keeps the digits, not the frame ids: frames are told apart by their sums.
        sums = []
        for i in range(movie.frames):
            movie.go(i)
            sums.append(movie.digit_sum())
        self.assertGreater(len(set(sums)), movie.frames // 2, "the scene moves")
        for x, y, frame_id, reading, digit_sum in shown:
            with self.subTest(frame=frame_id, x=x, y=y):
                self.assertIn(digit_sum, sums)
                movie.go(sums.index(digit_sum))
                self.assertEqual(reading, "x %d, y %d: %d" % (x, y, movie.value(x, y)))


if __name__ == "__main__":
    view_page.skip_without_browser()
    unittest.main(argv=sys.argv[:1], verbosity=2)
