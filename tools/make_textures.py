#!/usr/bin/env python3
"""Draws the program's texture tiles and its guitar picture as 24-bit BMP files.

    tools/make_textures.py resources

writes resources/textures/<texture>/{amp,axe,chord}.bmp for every texture
below and resources/guitar.bmp. The tiles repeat without a seam: every
pattern is built from noise on a lattice that wraps around the tile. They stay
light and quiet, so the panels' dark label text reads well on all of them.
The same run always writes the same bytes.
"""

import math
import os
import random
import struct
import sys

TILE = 128


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y = 0 at the top."""
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((clamp(b), clamp(g), clamp(r)))
        row += bytes(row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(header + info + data)


def clamp(value):
    return max(0, min(255, int(round(value))))


class WrappingNoise:
    """Smooth value noise, -1..1, periodic over the tile at every octave."""

    def __init__(self, seed, cells=(4, 8, 16, 32)):
        rng = random.Random(seed)
        self.octaves = []
        for n in cells:
            grid = [[rng.uniform(-1, 1) for _ in range(n)] for _ in range(n)]
            self.octaves.append((n, grid))

    @staticmethod
    def _layer(n, grid, x, y):
        fx, fy = x * n / TILE, y * n / TILE
        x0, y0 = int(math.floor(fx)), int(math.floor(fy))
        tx, ty = fx - x0, fy - y0
        sx, sy = tx * tx * (3 - 2 * tx), ty * ty * (3 - 2 * ty)
        a = grid[y0 % n][x0 % n]
        b = grid[y0 % n][(x0 + 1) % n]
        c = grid[(y0 + 1) % n][x0 % n]
        d = grid[(y0 + 1) % n][(x0 + 1) % n]
        return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy

    def __call__(self, x, y):
        total, weight, amplitude = 0.0, 0.0, 1.0
        for n, grid in self.octaves:
            total += amplitude * self._layer(n, grid, x, y)
            weight += amplitude
            amplitude *= 0.5
        return total / weight


def speckle(seed):
    rng = random.Random(seed)
    grain = [[rng.uniform(-1, 1) for _ in range(TILE)] for _ in range(TILE)]
    return lambda x, y: grain[y % TILE][x % TILE]


def shade(base, amount):
    return tuple(c + amount for c in base)


def plain(base, seed):
    """Quiet linen: soft clouds and a fine weave."""
    clouds, grain = WrappingNoise(seed), speckle(seed + 1)

    def pixel(x, y):
        weave = 1.5 * math.sin(2 * math.pi * x * 32 / TILE) * math.sin(2 * math.pi * y * 32 / TILE)
        return shade(base, 6 * clouds(x, y) + 2 * grain(x, y) + weave)

    return pixel


def wood(base, seed):
    """Light maple: grain lines along the tile, bent by slow noise."""
    bend, grain = WrappingNoise(seed, (2, 4, 8)), speckle(seed + 1)
    fibres = WrappingNoise(seed + 2, (8, 16, 32, 64))

    def pixel(x, y):
        phase = y * 6 / TILE + 0.9 * bend(x, y)
        ring = math.sin(2 * math.pi * phase)
        ring = ring * ring * ring
        r, g, b = shade(base, 11 * ring + 5 * fibres(x, y) + 2 * grain(x, y))
        return r, g - 2 * ring, b - 4 * ring

    return pixel


def slate(base, seed):
    """Pale slate: cloudy stone with faint cleavage streaks."""
    clouds, grain = WrappingNoise(seed), speckle(seed + 1)
    streaks = WrappingNoise(seed + 2, (2, 4))

    def pixel(x, y):
        streak = math.sin(2 * math.pi * ((x + y) * 3 / TILE + 0.7 * streaks(x, y)))
        return shade(base, 8 * clouds(x, y) + 3 * streak + 3 * grain(x, y))

    return pixel


def parchment(base, seed):
    """Old paper: warm blotches and a few fibres."""
    blotches, grain = WrappingNoise(seed, (2, 4, 8, 16, 32)), speckle(seed + 1)
    fibres = WrappingNoise(seed + 2, (16, 32, 64))

    def pixel(x, y):
        stain = blotches(x, y)
        r, g, b = shade(base, 10 * stain + 3 * grain(x, y) + 3 * abs(fibres(x, y)))
        return r, g - 3 * max(stain, 0), b - 8 * max(stain, 0)

    return pixel


# Each texture paints the frame and MIDI Amp (amp), the Instrument, Chord Book
# and Score panels (axe) and the Chord Designer (chord) in related shades.
TEXTURES = {
    "default": (plain, {"amp": (214, 218, 222), "axe": (222, 219, 210), "chord": (226, 224, 218)}),
    "wood": (wood, {"amp": (214, 178, 128), "axe": (222, 190, 142), "chord": (230, 204, 160)}),
    "slate": (slate, {"amp": (184, 194, 202), "axe": (194, 200, 204), "chord": (204, 210, 214)}),
    "parchment": (parchment, {"amp": (232, 218, 184), "axe": (238, 226, 196), "chord": (242, 233, 208)}),
}


def guitar_picture():
    """A classical guitar lying on its side, head to the right."""
    width, height, cy = 260, 100, 50.0
    background = (226, 224, 218)
    frets = [243 - 146 * (1 - 2 ** (-k / 12)) for k in range(1, 13)]

    def body(x, y):
        if (x - 72) ** 2 + (y - cy) ** 2 <= 41 ** 2:
            return True
        if (x - 138) ** 2 + (y - cy) ** 2 <= 32 ** 2:
            return True
        if 72 <= x <= 138:
            t = (x - 72) / 66
            waist = 41 - 23 * math.sin(math.pi * min(1, t * 1.15)) ** 2 * 0.6 - 9 * t
            return abs(y - cy) <= waist
        return False

    def colour(x, y):
        # Strings over everything from the bridge to the head.
        if 64 <= x <= 252:
            for k in range(6):
                sy = cy - 4.5 + 1.8 * k if x < 170 else cy - 3.6 + 1.45 * k
                if abs(y - sy) < 0.35:
                    return (236, 232, 220) if k < 3 else (196, 190, 170)
        if 244 <= x <= 258 and abs(y - cy) <= 9:
            for px in (248, 254):
                for side in (-1, 1):
                    if (x - px) ** 2 + (y - cy - side * 11) ** 2 <= 2.6 ** 2:
                        return (200, 190, 150)
            return (86, 50, 26)
        if 244 <= x <= 258 and abs(y - cy) <= 14:
            for px in (248, 254):
                for side in (-1, 1):
                    if (x - px) ** 2 + (y - cy - side * 11) ** 2 <= 2.6 ** 2:
                        return (200, 190, 150)
        if 160 <= x < 244 and abs(y - cy) <= 6:
            if any(abs(x - f) < 0.5 for f in frets):
                return (210, 210, 205)
            if x < 244 and abs(x - 243) < 1:
                return (240, 236, 220)  # nut
            return (70, 42, 24)
        if body(x, y):
            d = math.hypot(x - 128, y - cy)
            if d <= 11:
                return (36, 24, 16)
            if 11 < d <= 14.5:
                return (150, 90, 40) if int(d * 3) % 2 else (60, 110, 70)
            if 62 <= x <= 74 and abs(y - cy) <= 11:
                return (96, 58, 30)
            if not body(x + 2.2, y) or not body(x - 2.2, y) or not body(x, y + 2.2) or not body(x, y - 2.2):
                return (128, 74, 34)
            return (232, 186, 112)
        return background

    def pixel(x, y):
        samples = [colour(x + (i + 0.5) / 3, y + (j + 0.5) / 3) for i in range(3) for j in range(3)]
        return tuple(sum(s[c] for s in samples) / 9 for c in range(3))

    return width, height, pixel


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources"
    for number, (texture, (style, bases)) in enumerate(sorted(TEXTURES.items())):
        for kind_number, (kind, base) in enumerate(sorted(bases.items())):
            pixel = style(base, 100 * number + kind_number)
            write_bmp(os.path.join(out, "textures", texture, kind + ".bmp"), TILE, TILE, pixel)
    width, height, pixel = guitar_picture()
    write_bmp(os.path.join(out, "guitar.bmp"), width, height, pixel)


if __name__ == "__main__":
    main()
