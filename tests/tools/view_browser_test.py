"""zelir view on the sample movie, in headless Chromium: frames arrive at the movie's rate,
the controls change what is drawn, the value under the mouse is the library's, snapshots are
PNGs of the frame, the server serves nothing but its page, and pages do not slow each other.
Arguments: ZELIR SAMPLES_DIR LIBRARY ARTEFACT_DIR."""
import os
import socket
import sys
import tempfile
import unittest

from PIL import Image

import view_page

ZELIR, SAMPLES, LIBRARY, ARTEFACTS = sys.argv[1:5]
MOVIE = os.path.join(SAMPLES, "sample.irm")
PALETTES = os.path.join(os.path.dirname(ZELIR), "Palette")
RATE = 30  # the sample movie's frame rate (its header: 60 frames in 2 s)
PAUSED = 8  # frame flag


class ViewMovie(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.downloads = tempfile.TemporaryDirectory()
        cls.server = view_page.ViewServer(ZELIR, MOVIE)
        cls.page = view_page.Page(downloads=cls.downloads.name)
        cls.page.open(cls.server.url)

    @classmethod
    def tearDownClass(cls):
        cls.page.quit()
        cls.exit_code = cls.server.stop()
        cls.downloads.cleanup()
        assert cls.exit_code == 0, "zelir view ended with %d" % cls.exit_code

    def setUp(self):
        self.page.send("play")
        self.page.wait("(zelirView.frame.flags & %d) === 0" % PAUSED)

    def pause_at(self, position):
        if not self.page.frame()["flags"] & PAUSED:
            self.page.click("play")
        self.page.wait("(zelirView.frame.flags & %d) !== 0" % PAUSED)
        self.page.set_range("seek", position)
        self.page.wait("zelirView.frame.position === %d" % position)

    def test_frames_arrive_at_the_movie_rate(self):
        self.page.select("palette", 1)
        drawn, published = view_page.count_frames(self.page, self.server, 3.0)
        self.assertAlmostEqual(published / 3.0, RATE, delta=RATE * 0.15)
        self.assertGreaterEqual(drawn, published * 0.9)
        self.assertEqual(self.page.frame()["width"], 640)
        self.page.hover(490, 395)
        self.page.screenshot(os.path.join(ARTEFACTS, "view-movie.png"))

    def test_palette_choice_recolours_the_canvas(self):
        self.pause_at(20)
        for palette in (0, 1, 4, 8):
            with self.subTest(palette=palette):
                self.page.select("palette", palette)
                self.page.wait("zelirView.frame.palette === %d" % palette)
                pixels = self.page.canvas_pixels()
                colours = {tuple(pixels[i:i + 3]) for i in range(0, len(pixels), 4 * 97)}
                allowed = view_page.palette_colours(PALETTES, palette)
                self.assertLessEqual(colours, allowed)
                self.assertGreater(len(colours), 16, "a scene, not a flat image")

    def test_value_under_the_mouse_is_the_library_value(self):
        movie = view_page.Movie(LIBRARY, MOVIE)
        self.addCleanup(movie.close)
        for position in (0, 37):
            self.pause_at(position)
            movie.go(position)
            for x, y in ((0, 0), (321, 200), (639, 511), (480, 400)):
                with self.subTest(position=position, x=x, y=y):
                    _, reading, _ = self.page.hover(x, y)
                    self.assertEqual(reading, "x %d, y %d: %d" % (x, y, movie.value(x, y)))

    def test_snapshot_downloads_a_png_of_the_frame(self):
        self.pause_at(12)
        canvas = self.page.canvas_pixels()
        self.page.click("snapshot")
        path = view_page.wait_for_file(os.path.join(self.downloads.name, "zelir-frame-*.png"))
        with Image.open(path) as image:
            self.assertEqual((image.format, image.size), ("PNG", (640, 512)))
            self.assertEqual(image.convert("RGBA").tobytes(), canvas)

    def test_only_the_page_files_are_served(self):
        for path, code in (("/", 200), ("/../etc/passwd", 400), ("/%2e%2e/%2e%2e/etc/passwd", 400),
                           ("/web/..%2f..%2fCMakeLists.txt", 400), ("/etc/passwd", 404)):
            with self.subTest(path=path):
                self.assertEqual(self.server.request("GET", path)[0], code)

    def test_pages_of_other_origins_cannot_connect(self):
        own = "http://%s:%s" % (self.server.host, self.server.port)
        for origin, accepted in ((own, True), ("http://example.com", False),
                                 ("http://%s:1" % self.server.host, False)):
            with self.subTest(origin=origin):
                connection = self.server.websocket(origin)
                self.assertEqual(connection is not None, accepted)
                if connection:
                    connection.close()

    def test_second_and_stalled_clients_do_not_slow_the_first(self):
        stalled = self.server.websocket()
        self.page.open(self.server.url, new_window=True)
        self.page.switch(0)
        self.server.wait_status("clients", 3)
        drawn, published = view_page.count_frames(self.page, self.server, 3.0)
        self.assertAlmostEqual(published / 3.0, RATE, delta=RATE * 0.15)
        self.assertGreaterEqual(drawn, published * 0.9)
        # Closed pages free their clients.
        stalled.close()
        self.page.switch(1)
        self.page.close_current()
        self.server.wait_status("clients", 1)

    def test_refused_actions_are_reported_and_change_nothing(self):
        before = self.page.frame()
        for action, reply in (("palette 9", "unknown action: palette 9"),
                              ("seek 60", "the movie has 60 frames"),
                              ("record start", "only a camera records")):
            with self.subTest(action=action):
                self.page.send(action)
                self.page.wait("document.getElementById('message').textContent === %r" % reply)
        self.assertEqual(self.page.frame()["palette"], before["palette"])

    def test_control_requests_are_checked(self):
        own = {"X-Zelir-Request": "1", "Origin": self.server.origin()}
        for headers, body, code in (({}, "palette 2", 403),
                                    ({"X-Zelir-Request": "1", "Origin": "http://example.com"},
                                     "palette 2", 403),
                                    (own, "palette " + "0" * 60, 413),
                                    (own, "palette 3", 200)):
            with self.subTest(headers=headers, body=body):
                self.assertEqual(self.server.request("POST", "/control", body, headers)[0], code)
        self.page.wait("zelirView.frame.palette === 3")

    def test_nothing_a_page_sends_on_its_websocket_is_held(self):
        connection = self.server.websocket()
        self.addCleanup(connection.close)
        before = self.server.rss_kib()
        # A text message announced as 1 GiB: the server reads none of it while the page is
        # connected, so the sender stops when the socket buffers are full.
        connection.sendall(bytes([0x81, 0xFF]) + (1 << 30).to_bytes(8, "big") + bytes(4))
        connection.settimeout(2.0)
        sent = 0
        try:
            while sent < (256 << 20):
                sent += connection.send(bytes(1 << 20))
        except (socket.timeout, BlockingIOError):
            pass
        self.assertLess(sent, 64 << 20)
        self.assertLess(self.server.rss_kib() - before, 16 << 10)


if __name__ == "__main__":
    view_page.skip_without_browser()
    unittest.main(argv=sys.argv[:1], verbosity=2)
