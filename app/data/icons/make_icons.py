#!/usr/bin/env python3
"""Draws vorlen's icon: a small board whose first player's region (blue)
floods from the top left and the second's (red) from the bottom right.

Writes the scalable icon and the PNG sizes of the hicolor theme next to this
script. Run it again after changing the board or the colours.
"""
import os
import struct
import zlib

COLOURS = {1: "#e53935", 2: "#43a047", 3: "#1e63d6", 4: "#fdd835", 5: "#283593", 6: "#8e1b1b"}
GROUND = "#1b1b1f"
BOARD = [
    [3, 3, 3, 4, 2, 6],
    [3, 3, 5, 2, 6, 4],
    [3, 2, 4, 6, 1, 1],
    [4, 6, 2, 5, 1, 1],
    [2, 5, 6, 1, 1, 1],
    [6, 4, 1, 1, 1, 1],
]
CELL, MARGIN, RADIUS = 20, 8, 18
SIZE = 2 * MARGIN + 6 * CELL
NAME = "org.vorlen.vorlen"
HERE = os.path.dirname(os.path.abspath(__file__))


def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def svg():
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" viewBox="0 0 {SIZE} {SIZE}">',
             f'  <rect width="{SIZE}" height="{SIZE}" rx="{RADIUS}" fill="{GROUND}"/>']
    for r, row in enumerate(BOARD):
        for c, colour in enumerate(row):
            parts.append(f'  <rect x="{MARGIN + c * CELL}" y="{MARGIN + r * CELL}" width="{CELL}" '
                         f'height="{CELL}" fill="{COLOURS[colour]}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def sample(x, y):
    """The colour and coverage of the icon at (x, y) in SVG units."""
    corner_x = min(max(x, RADIUS), SIZE - RADIUS)
    corner_y = min(max(y, RADIUS), SIZE - RADIUS)
    if (x - corner_x) ** 2 + (y - corner_y) ** 2 > RADIUS ** 2:
        return (0, 0, 0), 0
    c, r = int((x - MARGIN) // CELL), int((y - MARGIN) // CELL)
    if 0 <= r < 6 and 0 <= c < 6 and x >= MARGIN and y >= MARGIN:
        return rgb(COLOURS[BOARD[r][c]]), 1
    return rgb(GROUND), 1


def png(pixels):
    """RGBA rows, 4 x 4 samples a pixel."""
    rows = []
    for py in range(pixels):
        row = bytearray([0])
        for px in range(pixels):
            total, alpha = [0, 0, 0], 0
            for sy in range(4):
                for sx in range(4):
                    colour, cover = sample((px + (sx + 0.5) / 4) * SIZE / pixels, (py + (sy + 0.5) / 4) * SIZE / pixels)
                    alpha += cover
                    total = [t + v * cover for t, v in zip(total, colour)]
            row += bytes([round(t / alpha) if alpha else 0 for t in total] + [round(255 * alpha / 16)])
        rows.append(bytes(row))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", pixels, pixels, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
            + chunk(b"IEND", b""))


with open(os.path.join(HERE, NAME + ".svg"), "w") as out:
    out.write(svg())
for pixels in (16, 32, 48, 64, 128, 256):
    folder = os.path.join(HERE, f"{pixels}x{pixels}")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, NAME + ".png"), "wb") as out:
        out.write(png(pixels))
