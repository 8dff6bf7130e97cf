"""The README's Python section and the movie example run as written."""
import os
import subprocess
import sys

import pytest

from readme_blocks import SOURCE, python_blocks, run_blocks


def test_readme_python_blocks_run(tmp_path):
    blocks = python_blocks(cameras=False)
    assert len(blocks) >= 2, "the README's Python section has its examples"
    run_blocks(blocks, str(tmp_path))


def test_movie_example_draws_a_figure(tmp_path):
    pytest.importorskip("matplotlib")
    script = os.path.join(SOURCE, "examples", "python", "movie_to_figure.py")
    figure = tmp_path / "figure.png"
    subprocess.run([sys.executable, script, os.path.join(os.environ["ZELIR_SAMPLES"],
                    "sample.irm"), str(figure)], check=True, capture_output=True, timeout=120)
    assert figure.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
