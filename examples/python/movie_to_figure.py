"""Shows one frame of a movie as a Matplotlib figure with a colour bar of its digit values.

    PYTHONPATH=build/python python3 examples/python/movie_to_figure.py \
        build/samples/sample.irm figure.png [FRAME]
"""
import sys

import matplotlib

matplotlib.use("Agg")  # writes a file; no display needed
import matplotlib.pyplot as plt  # noqa: E402

import zelir  # noqa: E402


def main(movie, figure, index=0):
    with zelir.open(movie) as source:
        frame = list(source.frames(n=index + 1))[-1]
        fig, ax = plt.subplots(figsize=(8, 6))
        # The raw values through Matplotlib's own colour map, so the bar reads in digits.
        shown = ax.imshow(frame.digits, cmap="inferno")
        fig.colorbar(shown, ax=ax, label="digit value")
        ax.set_title("%s, frame %d (id %d)" % (movie, index, frame.id))
        ax.axis("off")
        fig.savefig(figure, dpi=80)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 0)
