"""`zelir view` driven as a user drives it: the server as a process, the page in Debian's
headless Chromium (Selenium), and the library's own answer through its C interface (ctypes).
Shared by the browser tests and the live-view benchmark."""
import ctypes
import glob
import http.client
import json
import os
import re
import signal
import socket
import subprocess
import time
import sys
import urllib.request

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.support.ui import Select
except ImportError:
    webdriver = None

CHROMIUM, CHROMEDRIVER = "/usr/bin/chromium", "/usr/bin/chromedriver"


def skip_without_browser():
    """Exits with 77 (reported as skipped, with the reason) when the browser is not installed."""
    missing = [name for name in (CHROMIUM, CHROMEDRIVER) if not os.path.exists(name)]
    if webdriver is None:
        missing.append("python3-selenium")
    if missing:
        print("SKIPPED: not installed (scripts/setup.sh installs them): " + ", ".join(missing))
        sys.exit(77)

START_TIMEOUT = 20


def poll(check, failure, timeout=10, interval=0.05):
    """check()'s first true answer within `timeout` seconds; AssertionError(failure) after."""
    deadline = time.monotonic() + timeout
    while not (answer := check()):
        if time.monotonic() > deadline:
            raise AssertionError(failure)
        time.sleep(interval)
    return answer


class ViewServer:
    """`zelir view SOURCE --port 0 ...`; the address and token come from its first lines."""

    def __init__(self, zelir, source, *args, cwd=None):
        # Closing the source writes the display settings the page chose into para.ini beside
        # the tool, which later commands read: the file is put back as it was by stop().
        self.settings = os.path.join(os.path.dirname(os.path.abspath(zelir)), "_TempData",
                                     "para.ini")
        self.saved_settings = None
        if os.path.exists(self.settings):
            with open(self.settings, "rb") as f:
                self.saved_settings = f.read()
        self.process = subprocess.Popen([zelir, "view", source, "--port", "0", *args],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        text=True, cwd=cwd)
        self.url, self.token = None, None
        for line in self.process.stdout:
            found = re.search(r" at (http://\S+/)$", line.strip())
            if found:
                self.url = found.group(1)
            found = re.search(r"control token (\w+)", line)
            if found:
                self.token = found.group(1)
            if "stops" in line:
                break
        if self.url is None:
            self.process.wait(START_TIMEOUT)
            raise RuntimeError("zelir view did not start: " + self.process.stderr.read())
        self.host, self.port = re.match(r"http://(.+):(\d+)/", self.url).groups()

    def status(self):
        with urllib.request.urlopen(self.url + "status", timeout=5) as reply:
            return json.load(reply)

    def wait_status(self, key, value, timeout=10):
        poll(lambda: self.status()[key] == value, "status %s never was %s" % (key, value), timeout)

    def request(self, method, path, body=None, headers=None):
        """(status, reply body) of a request whose path goes out exactly as written."""
        connection = http.client.HTTPConnection(self.host, int(self.port), timeout=5)
        try:
            connection.request(method, path, body=body, headers=headers or {})
            reply = connection.getresponse()
            return reply.status, reply.read()
        finally:
            connection.close()

    def origin(self):
        return "http://%s:%s" % (self.host, self.port)

    def rss_kib(self):
        """The server's resident memory."""
        with open("/proc/%d/status" % self.process.pid) as f:
            return int(f.read().split("VmRSS:")[1].split()[0])

    def websocket(self, origin=None):
        """A WebSocket handshake (from a page of `origin`); the socket when the server took it,
        which is then never read (a stalled client), or None."""
        s = socket.create_connection((self.host, int(self.port)), timeout=5)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        s.sendall(("GET /frames HTTP/1.1\r\nHost: %s:%s\r\nUpgrade: websocket\r\n"
                   "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                   "Sec-WebSocket-Version: 13\r\n%s\r\n"
                   % (self.host, self.port, "Origin: %s\r\n" % origin if origin else "")).encode())
        if b" 101 " in s.recv(1024):
            return s
        s.close()
        return None

    def stop(self):
        """Ends the server as Ctrl+C does; its exit code."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        code = self.process.wait(15)
        self.process.stdout.close()
        self.process.stderr.close()
        if self.saved_settings is not None:
            with open(self.settings, "wb") as f:
                f.write(self.saved_settings)
        elif os.path.exists(self.settings):
            os.remove(self.settings)
        return code


class Page:
    """The view page in headless Chromium."""

    def __init__(self, downloads=None, size=(1100, 760)):
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ("--headless=new", "--disable-gpu", "--disable-dev-shm-usage",
                         "--window-size=%d,%d" % size):
            options.add_argument(argument)
        if os.geteuid() == 0:
            options.add_argument("--no-sandbox")  # Chromium's sandbox refuses to run as root
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        if downloads:
            self.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                        {"behavior": "allow", "downloadPath": downloads})
        self.tabs = [self.driver.current_window_handle]

    def open(self, url, new_window=False):
        if new_window:
            self.driver.switch_to.new_window("window")
            self.tabs.append(self.driver.current_window_handle)
        self.driver.get(url)
        self.wait("window.zelirView && zelirView.frame !== null")

    def switch(self, index):
        self.driver.switch_to.window(self.tabs[index])

    def close_current(self):
        handle = self.driver.current_window_handle
        self.driver.close()
        self.tabs.remove(handle)
        self.switch(0)

    def js(self, expression):
        return self.driver.execute_script("return " + expression)

    def wait(self, condition, timeout=10):
        poll(lambda: self.js(condition), "page never had: " + condition, timeout)

    def frame(self):
        return self.js("(({frameId, width, height, palette, flags, position, sequence}) => "
                       "({frameId, width, height, palette, flags, position, sequence}))"
                       "(zelirView.frame)")

    def send(self, text):
        """A control action, as the page's controls send it."""
        self.driver.execute_script("send(arguments[0])", text)

    def select(self, element_id, value):
        Select(self.driver.find_element("id", element_id)).select_by_value(str(value))

    def set_range(self, element_id, value):
        self.driver.execute_script(
            "const e = document.getElementById(arguments[0]); e.value = arguments[1];"
            "e.dispatchEvent(new Event('change'));", element_id, str(value))

    def click(self, element_id):
        self.driver.find_element("id", element_id).click()

    def text(self, element_id):
        return self.driver.find_element("id", element_id).text

    def canvas_pixels(self):
        """The canvas as bytes (red, green, blue, alpha per pixel)."""
        return bytes(self.driver.execute_script(
            "const c = document.getElementById('image');"
            "return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data);"))

    def hover(self, x, y):
        """Moves the mouse over image pixel (x, y); returns the frame's id, the reading shown
        and the sum of the frame's digit values (which tells frames apart)."""
        return self.driver.execute_script(
            "const c = document.getElementById('image'); const box = c.getBoundingClientRect();"
            "c.dispatchEvent(new MouseEvent('mousemove', {clientX: box.left + (arguments[0] + 0.5)"
            " * box.width / c.width, clientY: box.top + (arguments[1] + 0.5) * box.height /"
            " c.height}));"
            "return [zelirView.frame.frameId, document.getElementById('reading').textContent,"
            " zelirView.frame.digits.reduce((sum, value) => sum + value, 0)];",
            x, y)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.driver.save_screenshot(path)

    def quit(self):
        self.driver.quit()


def count_frames(page, server, seconds):
    """Frames drawn by the page and published by the source over the same seconds."""
    drawn, published = page.js("zelirView.drawn"), server.status()["published"]
    time.sleep(seconds)
    return page.js("zelirView.drawn") - drawn, server.status()["published"] - published


def wait_for_file(pattern, timeout=10):
    return poll(lambda: [f for f in glob.glob(pattern) if not f.endswith(".crdownload")],
                "no file " + pattern, timeout)[0]


class Movie:
    """A movie through the library's C interface: frame i's id and digit values."""

    def __init__(self, library, path):
        self.lib = ctypes.CDLL(library)
        self.lib.ZelIr_MovieFileOpen.restype = ctypes.c_void_p
        self.lib.ZelIr_GetDigitVal.restype = ctypes.c_double
        for name in ("ZelIr_MovieGoto", "ZelIr_MovieForward", "ZelIr_MovieBackward",
                     "ZelIr_GetFrameID", "ZelIr_MovieGetTotalFrm", "ZelIr_MovieGetPosi",
                     "ZelIr_GetDigitVal", "ZelIr_Close"):
            getattr(self.lib, name).argtypes = [ctypes.c_void_p] + (
                [ctypes.c_int16, ctypes.c_int16] if name == "ZelIr_GetDigitVal"
                else [ctypes.c_uint32] if "Goto" in name or "ward" in name else [])
        self.lib.ZelIr_Init()
        self.handle = self.lib.ZelIr_MovieFileOpen(ctypes.c_wchar_p(path))
        if not self.handle:
            raise RuntimeError("cannot open " + path)
        self.frames = self.lib.ZelIr_MovieGetTotalFrm(self.handle)

    def go(self, index):
        """Makes frame `index` the current frame and returns its frame id."""
        if index == 0:
            self.lib.ZelIr_MovieBackward(self.handle, self.lib.ZelIr_MovieGetPosi(self.handle))
        else:
            self.lib.ZelIr_MovieGoto(self.handle, index)
        self.lib.ZelIr_MovieForward(self.handle, 0)
        return self.lib.ZelIr_GetFrameID(self.handle)

    def value(self, x, y):
        return self.lib.ZelIr_GetDigitVal(self.handle, x, y)

    def digit_sum(self):
        """The sum of the current frame's digit values."""
        width, height = ctypes.c_uint32(), ctypes.c_uint32()
        self.lib.ZelIr_GetDigitArrayPara(ctypes.c_void_p(self.handle), ctypes.byref(width),
                                         ctypes.byref(height))
        digits = (ctypes.c_uint16 * (width.value * height.value))()
        self.lib.ZelIr_GetDigitArray(ctypes.c_void_p(self.handle), digits, None)
        return sum(digits)

    def close(self):
        self.lib.ZelIr_Close(self.handle)


def palette_colours(palette_dir, index):
    """The 256 colours of PaletteN.raw as (red, green, blue) tuples."""
    with open(os.path.join(palette_dir, "Palette%d.raw" % index), "rb") as f:
        data = f.read()
    return {tuple(data[i:i + 3]) for i in range(0, 768, 3)}
