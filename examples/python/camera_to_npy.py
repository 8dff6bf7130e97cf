"""Saves the next N frames of a live camera as .npy files (frame<id>.npy, raw digits).

    PYTHONPATH=build/python python3 examples/python/camera_to_npy.py cam://0 /tmp/live 10
"""
import os
import sys

import numpy as np

import zelir


def main(camera, folder, count):
    os.makedirs(folder, exist_ok=True)
    with zelir.open(camera) as source:
        for frame in source.frames(n=count):
            np.save(os.path.join(folder, "frame%08d.npy" % frame.id), frame.digits)
            print("frame %d: min %d, max %d" % (frame.id, frame.digits.min(), frame.digits.max()))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]))
