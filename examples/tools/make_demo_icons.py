#!/usr/bin/env python3
"""Writes the two icon bitmaps of the example project.

92 x 64 pixels, 8 bits per pixel with a 256-colour palette, rows stored
bottom-up: 6966 bytes each. The selected icon is in colour, the unselected
one is the same picture in dimmed greys. Run once; the bitmaps are committed.

    examples/tools/make_demo_icons.py examples/sdk/Projects/DEMO
"""
import struct
import sys

WIDTH, HEIGHT = 92, 64
BACKGROUND = 16  # palette 16..79: the vertical background gradient
BORDER, TILE, TILE_ALT, MARK = 1, 2, 3, 4


def palette_colours():
    colours = [(0, 0, 0)] * 256
    colours[BORDER] = (255, 255, 255)
    colours[TILE] = (255, 160, 40)
    colours[TILE_ALT] = (250, 220, 70)
    colours[MARK] = (200, 30, 60)
    for i in range(64):  # deep blue at the top to teal at the bottom
        colours[BACKGROUND + i] = (10, 40 + i * 2, 120 + i)
    return colours


def dimmed(colours):
    out = []
    for red, green, blue in colours:
        grey = (red * 30 + green * 59 + blue * 11) // 100
        grey = 60 + grey * 120 // 255
        out.append((grey, grey, grey))
    return out


def pixel(x, y):
    if x < 2 or y < 2 or x >= WIDTH - 2 or y >= HEIGHT - 2:
        return BORDER
    if abs(x - 46) + abs(y - 32) < 7:
        return MARK
    # A band of tessellated triangles: 12 x 12 cells split on one diagonal,
    # the direction alternating from cell to cell.
    if 14 <= y < 50 and 10 <= x < 82:
        cx, cy = (x - 10) % 12, (y - 14) % 12
        column, row = (x - 10) // 12, (y - 14) // 12
        if (column + row) % 2 == 0:
            upper = cx > cy
        else:
            upper = cx + cy < 11
        return TILE if upper else TILE_ALT
    return BACKGROUND + y


def bitmap(colours):
    pixels = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom row first
        pixels.extend(pixel(x, y) for x in range(WIDTH))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835,
                       256, 0)
    return header + info + palette + bytes(pixels)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else "."
    colours = palette_colours()
    for name, table in (("DEMO_SELECTED.BMP", colours), ("DEMO_UNSELECTED.BMP", dimmed(colours))):
        data = bitmap(table)
        assert len(data) == 6966, len(data)
        with open(f"{target}/{name}", "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
