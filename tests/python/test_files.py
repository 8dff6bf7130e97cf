"""The package on files: frames once from frame 0, owned digits, display mapping, errors,
recording. Oracles: the movie's bytes read with numpy, the zelir tool's BMP read with Pillow,
the palette files."""
import os
import subprocess

import numpy as np
import pytest
from PIL import Image

import zelir

HEADER = 64


def movie_frames(path, width=640, height=512):
    data = np.fromfile(path, dtype="<u2", offset=HEADER)
    return data.reshape(-1, height, width)


def test_movie_yields_each_frame_once_from_frame_0(movie, movie_path):
    expected = movie_frames(movie_path)
    assert (movie.kind, movie.width, movie.height, movie.frame_count) == ("movie", 640, 512, 60)
    for run in range(2):  # a second pass starts at frame 0 again
        frames = list(movie.frames())
        assert [f.index for f in frames] == list(range(60))
        for frame in frames[::7]:
            np.testing.assert_array_equal(frame.digits, expected[frame.index])
    assert (frames[0].serial, frames[0].parameters["id"]) == ("SAMPLE01", frames[0].id)
    assert [f.index for f in movie.frames(n=5)] == list(range(5))
    assert len(list(movie.frames(n=500))) == 60


def test_digits_own_their_memory(movie, movie_path):
    first = next(movie.frames()).digits
    kept = first.copy()
    for _ in movie.frames(n=10):
        pass
    assert first.dtype == np.uint16 and first.shape == (512, 640)
    assert first.flags.owndata and first.base is None
    np.testing.assert_array_equal(first, kept)


def test_image_and_rgb_match_the_tool_and_the_palette(movie, movie_path, samples, tmp_path):
    bmp = tmp_path / "f5.bmp"
    subprocess.run([os.environ["ZELIR_CLI"], "save", movie_path, "--frame", "5", "--out",
                    str(bmp), "--format", "bmp"], check=True, capture_output=True)
    frame = list(movie.frames(n=6))[5]
    image = frame.image()
    assert image.dtype == np.uint8 and image.shape == (512, 640)
    np.testing.assert_array_equal(image, np.asarray(Image.open(bmp)))
    palette_dir = os.path.join(os.path.dirname(os.environ["ZELIR_CLI"]), "Palette")
    table = np.fromfile(os.path.join(palette_dir, "Palette1.raw"), dtype=np.uint8).reshape(256, 3)
    np.testing.assert_array_equal(frame.rgb(palette=1), table[image])
    assert movie.palette == 0, "the palette argument applies to that call only"


def test_display_argument_applies_to_one_call(movie):
    frame = next(movie.frames())
    plain = frame.image()
    assert not np.array_equal(frame.image(display="clahe"), plain)
    np.testing.assert_array_equal(frame.image(), plain)
    assert movie.display == 0
    with pytest.raises(ValueError):
        frame.image(display="sepia")


def test_image_file_yields_once(samples):
    with zelir.open(os.path.join(samples, "sample.raw")) as image:
        assert (image.kind, image.frame_count) == ("image", 1)
        assert len(list(image.frames())) == 1


@pytest.mark.parametrize("action, text", [
    (lambda s: s.frame_rate, "needs a camera"),
    (lambda s: s.close() or s.palette, "closed"),
])
def test_failures_raise_zelir_error(movie, action, text):
    with pytest.raises(zelir.Error, match=text):
        action(movie)


def test_open_failure_carries_the_library_message(tmp_path):
    bad = tmp_path / "short.irm"
    bad.write_bytes(b"IRGBIT" + bytes(10))
    with pytest.raises(zelir.Error, match="cannot open .*short.irm"):
        zelir.open(bad)


def test_record_is_a_context_manager(movie, movie_path, tmp_path):
    copy = tmp_path / "copy.irm"
    with movie.record(copy):
        assert movie.recording
        for _ in movie.frames(n=10):
            pass
    assert not movie.recording
    with zelir.open(copy) as recorded:
        assert recorded.frame_count == 10
        np.testing.assert_array_equal(next(recorded.frames()).digits,
                                      movie_frames(movie_path)[0])


def test_celsius_follows_the_samples_truth_and_needs_constants(samples, tmp_path):
    truth = np.load(os.path.join(samples, "sample.irm.truth.npy"))
    with zelir.open(os.path.join(samples, "sample.irm")) as movie:
        celsius = next(movie.frames()).celsius
    assert celsius.dtype == np.float32 and celsius.shape == truth.shape
    error = np.abs(celsius - truth)
    assert np.count_nonzero(np.isnan(celsius)) < celsius.size // 100, "only dead pixels have none"
    assert np.nanmedian(error) < 0.3, "within the samples' noise"
    # Without radiometric constants there is nothing to convert with.
    bare = tmp_path / "bare.raw"
    bare.write_bytes(open(os.path.join(samples, "sample.raw"), "rb").read())
    with zelir.open(str(bare)) as image:
        with pytest.raises(zelir.Error, match="temperature conversion failed"):
            next(image.frames()).celsius
