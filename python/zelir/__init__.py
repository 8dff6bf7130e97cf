"""ZelIr infrared cameras, movies and images from Python, with numpy frames.

    import zelir
    with zelir.open("build/samples/sample.irm") as movie:
        for frame in movie.frames():
            digits = frame.digits            # numpy.uint16, height x width
            picture = frame.image()          # numpy.uint8, the display mapping
            colours = frame.rgb(palette=1)   # numpy.uint8, height x width x 3

Every failure raises zelir.Error with the library's own explanation.
"""
import contextlib
import os
from typing import Iterator, List, NamedTuple

from ._zelir import Error, Frame, FrameIterator, Source, _discover

__all__ = ["Camera", "Error", "Frame", "FrameIterator", "Source", "discover", "open"]
__version__ = "@PROJECT_VERSION@"


class Camera(NamedTuple):
    """A camera that answered discovery; open it with zelir.open(camera.path)."""

    index: int
    path: str
    address: str
    host_address: str
    serial: str
    name: str
    width: int
    height: int


def discover() -> List[Camera]:
    """Discovers the cameras on every network adapter (up to 600 ms per adapter)."""
    return [Camera(*entry) for entry in _discover()]


def open(path) -> Source:  # noqa: A001 - the name a user expects, like io.open
    """Opens a camera ("cam://0", "gige://198.18.0.2") or a movie or image file.

    The source is a context manager: leaving the `with` block closes it.
    """
    return Source(os.fspath(path))


@contextlib.contextmanager
def _record(self: Source, path) -> Iterator[Source]:
    """Records a raw movie of every frame fetched inside the `with` block."""
    self.start_recording(os.fspath(path))
    try:
        yield self
    finally:
        if not self.closed and self.recording:
            self.stop_recording()


Source.record = _record
