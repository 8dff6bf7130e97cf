"""The package on the emulated cameras inside the zelir-h namespace: discovery, new frames
only, settings read back, configuration, the frame callback without holding the GIL, and the
live example."""
import functools
import os
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import zelir

TESTS = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path[:0] = [os.path.join(TESTS, "python"), os.path.join(TESTS, "support")]
import camsim  # noqa: E402
from readme_blocks import SOURCE, python_blocks, run_blocks  # noqa: E402

admin = functools.partial(camsim.admin, "198.18.0.2")  # changes the first emulator while it runs


@pytest.fixture
def camera():
    with zelir.open("cam://0") as source:
        yield source


def test_discover_lists_both_emulators():
    cameras = zelir.discover()
    assert sorted(c.serial for c in cameras) == ["ZS000000", "ZS000001"]
    assert {(c.width, c.height) for c in cameras} == {(640, 512)}
    assert [c.path for c in cameras] == ["cam://0", "cam://1"]


def test_frames_are_new_each_time(camera):
    assert (camera.kind, camera.frame_count) == ("camera", None)
    frames = list(camera.frames(n=4))
    ids = [f.id for f in frames]
    assert ids == sorted(set(ids)), ids
    assert all(f.digits.shape == (512, 640) and f.index is None for f in frames)
    assert not np.array_equal(frames[0].digits, frames[-1].digits)


@pytest.mark.parametrize("name, value", [("frame_rate", 30.0), ("exposure_time", 1500),
                                         ("gain", 2), ("trigger_mode", 0)])
def test_settings_read_back(camera, name, value):
    setattr(camera, name, value)
    assert getattr(camera, name) == value


def test_failure_carries_the_library_message(camera):
    assert admin("set --silent") == "ok"
    try:
        with pytest.raises(zelir.Error, match=r"gain failed on cam://0: .*read gain failed"):
            camera.gain
    finally:
        admin("reset")


def test_config_is_a_dict(camera):
    config = camera.config
    assert isinstance(config["model"], str) and "list_l" in config


def test_callback_runs_while_python_keeps_working(camera):
    seen = []
    done = threading.Event()

    def on_frame(frame):
        seen.append(frame.id)
        if len(seen) == 5:
            done.set()

    camera.on_frame(on_frame)
    spins = 0
    deadline = time.monotonic() + 10
    while not done.is_set() and time.monotonic() < deadline:
        spins += 1  # pure Python: runs only because the waiting thread does not hold the GIL
    camera.on_frame(None)
    assert len(seen) >= 5 and seen == sorted(seen)
    assert spins > 1000


def test_live_example_writes_npy(tmp_path):
    script = os.path.join(SOURCE, "examples", "python", "camera_to_npy.py")
    subprocess.run([sys.executable, script, "cam://0", str(tmp_path), "3"], check=True,
                   capture_output=True, timeout=60)
    saved = sorted(tmp_path.glob("*.npy"))
    assert len(saved) == 3
    assert np.load(saved[0]).shape == (512, 640)


def test_readme_camera_block_runs(tmp_path):
    blocks = python_blocks(cameras=True)
    assert blocks, "the README shows a camera"
    run_blocks(blocks, str(tmp_path))


def test_exit_with_a_callback_still_set_is_clean():
    script = ("import time, zelir\n"
              "camera = zelir.open('cam://0')\n"
              "camera.on_frame(lambda frame: None)\n"
              "time.sleep(0.3)\n")
    result = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                            timeout=30)
    assert result.returncode == 0, result.stderr
