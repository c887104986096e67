#!/usr/bin/env python3
"""Writes the splitter cursors res/hsplitter.cur and res/vsplitter.cur.

Each file holds two monochrome images, 32 x 32 with its hot spot at (15, 15)
and 16 x 16 with its hot spot at (8, 8). The shapes are black with a white
outline and are drawn symmetric about the hot spot:

  hsplitter.cur  two short horizontal bars, an arrow up above them and an
                 arrow down below them (a horizontal bar that moves up and down)
  vsplitter.cur  the same turned a quarter: two vertical bars with arrows
                 left and right

Run it from anywhere with `python3 res/make_cursors.py`; `--print` shows the
images as text instead of writing the files. The output is deterministic, so
the checked-in files must match a fresh run.
"""

import os
import struct
import sys

# Per image size: hot spot, bar half-length, gap from the hot spot to each
# bar's inner row, bar thickness, arrow tip distance from the hot spot, arrow
# head depth, shaft half-width.
GEOMETRY = {
    32: dict(hot=15, bar=7, gap=2, thick=2, tip=12, head=5, shaft=1),
    16: dict(hot=8, bar=5, gap=2, thick=1, tip=6, head=3, shaft=0),
}


def horizontal_shape(size):
    """Black pixels (x, y) of the up-and-down cursor of one size."""
    g = GEOMETRY[size]
    c = g["hot"]
    black = set()
    for sign in (-1, 1):
        # A bar: `thick` rows starting `gap` rows from the hot spot.
        for t in range(g["thick"]):
            y = c + sign * (g["gap"] + t)
            for x in range(c - g["bar"], c + g["bar"] + 1):
                black.add((x, y))
        # An arrow: a head `head` rows deep from the tip, then a shaft down
        # to one row short of the bar's outline.
        tip = c + sign * g["tip"]
        for k in range(g["head"]):
            for x in range(c - k, c + k + 1):
                black.add((x, tip - sign * k))
        bar_outer = g["gap"] + g["thick"] - 1
        for d in range(bar_outer + 3, g["tip"] - g["head"] + 1):
            for x in range(c - g["shaft"], c + g["shaft"] + 1):
                black.add((x, c + sign * d))
    return black


def vertical_shape(size):
    return {(y, x) for (x, y) in horizontal_shape(size)}


def outline(black, size):
    """White pixels: every pixel next to (or diagonal to) a black one."""
    white = set()
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < size and 0 <= p[1] < size:
                    white.add(p)
    return white


def mask_rows(size, bit_set):
    """A 1-bit mask, rows bottom-up, each padded to a multiple of 4 bytes."""
    stride = (size + 31) // 32 * 4
    data = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if bit_set(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    return bytes(data)


def image(size, black):
    """One cursor image: header, palette, XOR mask, AND mask.

    AND 1 / XOR 0 is transparent, AND 0 / XOR 0 black, AND 0 / XOR 1 white.
    """
    white = outline(black, size)
    xor = mask_rows(size, lambda x, y: (x, y) in white)
    and_ = mask_rows(size, lambda x, y: (x, y) not in black and (x, y) not in white)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(and_),
                         0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    return header + palette + xor + and_


def cursor_file(shape):
    sizes = (32, 16)
    images = [image(s, shape(s)) for s in sizes]
    out = struct.pack("<HHH", 0, 2, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        hot = GEOMETRY[s]["hot"]
        # In a cursor directory the planes and bit-count fields hold the hot spot.
        out += struct.pack("<BBBBHHII", s, s, 2, 0, hot, hot, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def show(shape, size):
    black = shape(size)
    white = outline(black, size)
    for y in range(size):
        print("".join("#" if (x, y) in black else "o" if (x, y) in white else "." for x in range(size)))
    print()


def main():
    cursors = {"hsplitter.cur": horizontal_shape, "vsplitter.cur": vertical_shape}
    if "--print" in sys.argv[1:]:
        for name, shape in cursors.items():
            for size in (32, 16):
                print(f"{name} {size}x{size}")
                show(shape, size)
        return
    folder = os.path.dirname(os.path.abspath(__file__))
    if len(sys.argv) > 1:
        folder = sys.argv[1]
    for name, shape in cursors.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(cursor_file(shape))


if __name__ == "__main__":
    main()
