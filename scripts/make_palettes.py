#!/usr/bin/env python3
"""Makes the nine palette files of the ZelIr SDK: Palette0.raw .. Palette8.raw.

Each file holds 256 records of red, green, blue (768 bytes, no header), one per grey level of the
mapped image, coldest first. Every palette is computed here; nothing is downloaded.

usage: make_palettes.py OUTPUT_DIRECTORY
"""
import math
import os
import sys

LEVELS = 256


def ramp(position):
    """Grey level 0..255 as a position 0.0..1.0."""
    return position / (LEVELS - 1)


def piecewise(stops):
    """Palette that runs linearly through (position, (r, g, b)) stops."""
    colours = []
    for level in range(LEVELS):
        t = ramp(level)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                f = 0.0 if t1 == t0 else (t - t0) / (t1 - t0)
                colours.append(tuple(a + (b - a) * f for a, b in zip(c0, c1)))
                break
    return colours


def grey():
    """White hot: black for the coldest, white for the hottest."""
    return [(v, v, v) for v in range(LEVELS)]


def black_hot():
    """Black hot: the grey ramp reversed."""
    return [(255 - v, 255 - v, 255 - v) for v in range(LEVELS)]


def ironbow():
    """Black through indigo, magenta, red and orange to yellow and white."""
    return piecewise([
        (0.00, (0, 0, 0)),
        (0.12, (30, 2, 100)),
        (0.30, (120, 8, 150)),
        (0.45, (185, 30, 120)),
        (0.60, (228, 85, 40)),
        (0.76, (250, 150, 10)),
        (0.90, (255, 215, 70)),
        (1.00, (255, 255, 230)),
    ])


def rainbow():
    """Dark blue through blue, cyan, green, yellow and red to white."""
    return piecewise([
        (0.00, (0, 0, 48)),
        (0.14, (0, 0, 255)),
        (0.32, (0, 255, 255)),
        (0.48, (0, 255, 0)),
        (0.64, (255, 255, 0)),
        (0.84, (255, 0, 0)),
        (1.00, (255, 255, 255)),
    ])


def hot_metal():
    """Lava: black, red, orange, yellow, white, each channel saturating in turn."""
    def channel(t, start):
        return 255 * min(1.0, max(0.0, 3 * t - start))
    return [(channel(t, 0), channel(t, 1), channel(t, 2)) for t in map(ramp, range(LEVELS))]


def arctic():
    """Cold scene in blues, the hottest spots in gold."""
    return piecewise([
        (0.00, (0, 0, 28)),
        (0.35, (20, 70, 180)),
        (0.60, (90, 190, 235)),
        (0.70, (220, 240, 250)),
        (0.80, (255, 200, 60)),
        (0.92, (255, 140, 0)),
        (1.00, (255, 245, 160)),
    ])


# sRGB <-> CIELAB (D65), for the perceptually uniform palette.
WHITE = (0.95047, 1.0, 1.08883)


def srgb_to_linear(c):
    c /= 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def linear_to_srgb(c):
    c = min(1.0, max(0.0, c))
    return 255 * (12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055)


def rgb_to_lab(rgb):
    r, g, b = (srgb_to_linear(c) for c in rgb)
    xyz = (0.4124 * r + 0.3576 * g + 0.1805 * b,
           0.2126 * r + 0.7152 * g + 0.0722 * b,
           0.0193 * r + 0.1192 * g + 0.9505 * b)
    f = [v ** (1 / 3) if v > 216 / 24389 else (24389 / 27 * v + 16) / 116
         for v in (c / w for c, w in zip(xyz, WHITE))]
    return (116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2]))


def lab_to_rgb(lab):
    l, a, b = lab
    fy = (l + 16) / 116
    fx, fz = fy + a / 500, fy - b / 200
    x, y, z = (w * (f ** 3 if f ** 3 > 216 / 24389 else (116 * f - 16) / (24389 / 27))
               for f, w in zip((fx, fy, fz), WHITE))
    r = 3.2406 * x - 1.5372 * y - 0.4986 * z
    g = -0.9689 * x + 1.8758 * y + 0.0415 * z
    b = 0.0557 * x - 0.2040 * y + 1.0570 * z
    return tuple(linear_to_srgb(c) for c in (r, g, b))


def inferno_like():
    """Perceptually uniform: black, purple, red, orange to pale yellow, lightness rising evenly.

    The hues run through five anchor colours; the lightness L* is set to rise linearly, so equal
    steps of grey level look like equal steps of temperature."""
    anchors = [(0, 0, 4), (87, 16, 110), (188, 55, 84), (249, 142, 9), (252, 255, 164)]
    labs = [rgb_to_lab(c) for c in anchors]
    first, last = labs[0][0], labs[-1][0]
    colours = []
    for level in range(LEVELS):
        t = ramp(level)
        segment = min(int(t * (len(labs) - 1)), len(labs) - 2)
        f = t * (len(labs) - 1) - segment
        (_, a0, b0), (_, a1, b1) = labs[segment], labs[segment + 1]
        lightness = first + (last - first) * t
        colours.append(lab_to_rgb((lightness, a0 + (a1 - a0) * f, b0 + (b1 - b0) * f)))
    return colours


def medical():
    """High contrast: 16 bands of clearly different colours, so each band of grey levels (each
    temperature step) stands apart; dark and cool at the bottom, bright and warm at the top."""
    bands = [
        (0, 0, 0), (40, 0, 90), (0, 0, 200), (0, 110, 255),
        (0, 210, 210), (0, 130, 0), (0, 220, 60), (170, 255, 0),
        (255, 255, 0), (255, 190, 0), (255, 110, 0), (220, 0, 0),
        (150, 0, 60), (255, 0, 200), (255, 170, 230), (255, 255, 255),
    ]
    width = LEVELS // len(bands)
    return [bands[level // width] for level in range(LEVELS)]


def night_green():
    """Night-vision green: black through green, the hottest spots washing out to pale green."""
    colours = []
    for t in map(ramp, range(LEVELS)):
        wash = 210 * max(0.0, (t - 0.7) / 0.3) ** 2
        colours.append((wash, 255 * t ** 0.9, wash * 0.8))
    return colours


# Index order is part of the interface: para.ini and applications select palettes by number.
PALETTES = [
    ("grey (white hot)", grey),
    ("ironbow", ironbow),
    ("rainbow", rainbow),
    ("black hot", black_hot),
    ("hot metal (lava)", hot_metal),
    ("arctic", arctic),
    ("inferno (perceptually uniform)", inferno_like),
    ("medical (high contrast)", medical),
    ("night-vision green", night_green),
]


def to_bytes(colours):
    assert len(colours) == LEVELS
    return bytes(min(255, max(0, int(round(c)))) for colour in colours for c in colour)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for index, (_, make) in enumerate(PALETTES):
        data = to_bytes(make())
        assert len(data) == 3 * LEVELS
        path = os.path.join(out, "Palette%d.raw" % index)
        # Written to a side file first, so an interrupted run leaves no short palette behind.
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
