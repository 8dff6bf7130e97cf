"""The ```python blocks of the README's Python section, run as scripts from a folder that holds
build/samples (the paths the README uses)."""
import os
import re
import subprocess
import sys

SOURCE = os.environ["ZELIR_SOURCE_DIR"]


def python_blocks(cameras):
    """The blocks that need a camera (cameras=True) or those that do not."""
    with open(os.path.join(SOURCE, "README.md")) as f:
        section = f.read().split("\n## Python\n", 1)[1].split("\n## ", 1)[0]
    blocks = re.findall(r"```python\n(.*?)```", section, re.S)
    return [b for b in blocks if ("zelir.discover()" in b) == cameras]


def run_blocks(blocks, folder):
    os.makedirs(os.path.join(folder, "build"), exist_ok=True)
    link = os.path.join(folder, "build", "samples")
    if not os.path.exists(link):
        os.symlink(os.environ["ZELIR_SAMPLES"], link)
    for block in blocks:
        result = subprocess.run([sys.executable, "-c", block], cwd=folder, capture_output=True,
                                text=True, timeout=120)
        assert result.returncode == 0, block + result.stderr
