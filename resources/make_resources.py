#!/usr/bin/env python3
"""Draws the program's own pictures into resources/: the hand cursor (XBM
bitmap and mask), the About window's background and its close button (24-bit
PNG). Run it after changing a drawing; the outputs are committed."""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The hand cursor, 32 x 32: '#' black, '.' white, ' ' transparent.
# The index fingertip is the hot spot (6, 0).
HAND = [
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    "    #..#..#..#.#",
    "##  #..#..#..#..#",
    "#..##..........#.#",
    "#...#............#",
    " #...............#",
    "  #..............#",
    "  #..............#",
    "   #.............#",
    "   #............#",
    "    #...........#",
    "    #..........#",
    "     #.........#",
    "     ###########",
]
HAND_SIZE = 32
HOT_SPOT = (6, 0)


def write_xbm(path, name, rows):
    data = []
    for y in range(HAND_SIZE):
        row = rows[y] if y < len(rows) else ""
        for byte_start in range(0, HAND_SIZE, 8):
            value = 0
            for bit in range(8):  # least significant bit first, as XBM stores them
                x = byte_start + bit
                if x < len(row) and row[x] == "1":
                    value |= 1 << bit
            data.append(value)
    lines = [
        f"#define {name}_width {HAND_SIZE}",
        f"#define {name}_height {HAND_SIZE}",
        f"#define {name}_x_hot {HOT_SPOT[0]}",
        f"#define {name}_y_hot {HOT_SPOT[1]}",
        f"static unsigned char {name}_bits[] = {{",
    ]
    for i in range(0, len(data), 12):
        lines.append("  " + ", ".join(f"0x{b:02x}" for b in data[i:i + 12]) + ",")
    lines.append("};")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_png(path, width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw.extend(pixel(x, y))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def background(x, y):
    """Cream to apricot, with two faint curves echoing the plot."""
    t = (x / 300 + y / 203) / 2
    colour = mix((255, 248, 228), (250, 214, 170), t)
    for phase, strength in ((0.0, 0.16), (1.7, 0.10)):
        wave = 120 + 38 * math.sin(x / 34 + phase) + 14 * math.sin(x / 11 + phase)
        d = abs(y - wave)
        if d < 3:
            colour = mix(colour, (226, 160, 110), strength * (1 - d / 3))
    return colour


def close_button(x, y):
    """A red disc with a white diagonal cross, on the background it sits on."""
    samples = []
    for sy in range(4):
        for sx in range(4):
            px = x + (sx + 0.5) / 4
            py = y + (sy + 0.5) / 4
            r = math.hypot(px - 18.5, py - 18.5)
            if r > 17.5:
                # Image2 sits at (264, 1) over the background picture.
                samples.append(background(264 + px, 1 + py))
                continue
            colour = mix((235, 60, 50), (170, 20, 20), r / 17.5)
            if r > 16.2:
                colour = (120, 10, 10)
            if r < 12 and (abs((px - 18.5) - (py - 18.5)) < 2.3 or abs((px - 18.5) + (py - 18.5)) < 2.3):
                colour = (255, 255, 255)
            samples.append(colour)
    return tuple(sum(s[i] for s in samples) / len(samples) for i in range(3))


def as_bytes(pixel):
    return lambda x, y: bytes(max(0, min(255, round(c))) for c in pixel(x, y))


def main():
    bitmap = [row.replace("#", "1").replace(".", "0").replace(" ", "0") for row in HAND]
    mask = [row.replace("#", "1").replace(".", "1").replace(" ", "0") for row in HAND]
    write_xbm(os.path.join(HERE, "hand.xbm"), "hand", bitmap)
    write_xbm(os.path.join(HERE, "hand_mask.xbm"), "hand_mask", mask)
    write_png(os.path.join(HERE, "about_background.png"), 300, 203, as_bytes(background))
    write_png(os.path.join(HERE, "close_button.png"), 37, 37, as_bytes(close_button))


if __name__ == "__main__":
    main()
