#!/usr/bin/env python3
"""Draws the program's own pictures into resources/: the About window's
background and its close button (24-bit PNG), each at its size and at the
screens' usual scales (name@1.25x.png … name@3x.png), and the application icon (SVG,
PNG, and the windows' 48-pixel icon as raw ARGB, which needs no decoding at
start-up). Run it after changing a drawing; the outputs are committed."""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
# The screen scales the About pictures are drawn for, each pixel for pixel (the program's about_picture()).
SCALES = (1, 1.25, 1.5, 1.75, 2, 3)



def write_png(path, width, height, pixel, alpha=False):
    """8-bit RGB (24-bit colour) or, with alpha, RGBA; pixel(x, y) gives the channels."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw.extend(max(0, min(255, round(c))) for c in pixel(x, y))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write_argb(path, size, pixel):
    """Premultiplied 32-bit ARGB in the machine's order (little-endian B, G, R, A)."""
    raw = bytearray()
    for y in range(size):
        for x in range(size):
            r, g, b, a = (max(0, min(255, round(c))) for c in pixel(x, y))
            raw.extend((b * a // 255, g * a // 255, r * a // 255, a))
    with open(path, "wb") as f:
        f.write(bytes(raw))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def supersampled(scale, shade):
    """shade(x, y) in picture units, averaged over 4 x 4 points of each pixel."""
    def pixel(x, y):
        samples = [shade((x + (sx + 0.5) / 4) / scale, (y + (sy + 0.5) / 4) / scale)
                   for sy in range(4) for sx in range(4)]
        return tuple(sum(s[i] for s in samples) / len(samples) for i in range(3))
    return pixel


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


def close_button(px, py):
    """A red disc with a white diagonal cross, on the background it sits on."""
    r = math.hypot(px - 18.5, py - 18.5)
    if r > 17.5:
        return background(264 + px, 1 + py)  # Image2 sits at (264, 1) over the background
    colour = mix((235, 60, 50), (170, 20, 20), r / 17.5)
    if r > 16.2:
        colour = (120, 10, 10)
    if r < 12 and (abs((px - 18.5) - (py - 18.5)) < 2.3 or abs((px - 18.5) + (py - 18.5)) < 2.3):
        colour = (255, 255, 255)
    return colour


def icon(size):
    """The application icon: a plot window with grid, axes and the red quartic."""
    def colour_at(u, v):  # u, v in 0 … 1, v downwards
        r = 0.16  # corner radius of the rounded square
        cu, cv = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
        if math.hypot(u - cu, v - cv) > r:
            return None
        if not (0.12 <= u <= 0.88 and 0.12 <= v <= 0.88):
            return (28, 32, 44)  # dark frame, like the black main window
        # Plot area: x −3 … 2, y −9 … 16.
        x = -3 + (u - 0.12) / 0.76 * 5
        y = 16 - (v - 0.12) / 0.76 * 25
        f = x ** 3 - 2 * x ** 2 + x ** 4 + 3 * x
        slope = 4 * x ** 3 + 3 * x ** 2 - 4 * x + 3
        distance = abs(y - f) * (0.76 / 25) / math.hypot(1, slope / 5)
        if distance < 0.022:
            return (220, 30, 30)
        if abs(y) < 0.45:
            return (40, 170, 60)
        if abs(x) < 0.045:
            return (40, 170, 60)
        if abs(x - round(x)) < 0.02 or abs(y / 5 - round(y / 5)) < 0.02:
            return (215, 215, 215)
        return (255, 255, 255)

    def pixel(x, y):
        total = [0.0, 0.0, 0.0, 0.0]
        n = 4
        for sy in range(n):
            for sx in range(n):
                c = colour_at((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size)
                if c is not None:
                    for i in range(3):
                        total[i] += c[i]
                    total[3] += 1
        if total[3] == 0:
            return (0, 0, 0, 0)
        return tuple(total[i] / total[3] for i in range(3)) + (255 * total[3] / n / n,)
    return pixel


def write_icon_svg(path):
    """The same icon as a scalable drawing, on a 256-unit canvas."""
    def to_canvas(x, y):
        return 256 * (0.12 + (x + 3) / 5 * 0.76), 256 * (0.12 + (16 - y) / 25 * 0.76)

    points = []
    for i in range(201):
        x = -3 + 5 * i / 200
        y = x ** 3 - 2 * x ** 2 + x ** 4 + 3 * x
        points.append("%.2f,%.2f" % to_canvas(x, y))
    left, top = to_canvas(-3, 16)
    right, bottom = to_canvas(2, -9)
    grid = []
    for gx in range(-2, 2):
        cx = to_canvas(gx, 0)[0]
        grid.append(f'<line x1="{cx:.2f}" y1="{top:.2f}" x2="{cx:.2f}" y2="{bottom:.2f}"/>')
    for gy in (-5, 5, 10, 15):
        cy = to_canvas(0, gy)[1]
        grid.append(f'<line x1="{left:.2f}" y1="{cy:.2f}" x2="{right:.2f}" y2="{cy:.2f}"/>')
    ax, ay = to_canvas(0, 0)
    svg = f"""<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <rect width="256" height="256" rx="41" fill="#1c202c"/>
  <rect x="{left:.2f}" y="{top:.2f}" width="{right - left:.2f}" height="{bottom - top:.2f}" fill="#ffffff"/>
  <clipPath id="plot"><rect x="{left:.2f}" y="{top:.2f}" width="{right - left:.2f}" height="{bottom - top:.2f}"/></clipPath>
  <g stroke="#d7d7d7" stroke-width="4">{"".join(grid)}</g>
  <g stroke="#28aa3c" stroke-width="7">
    <line x1="{left:.2f}" y1="{ay:.2f}" x2="{right:.2f}" y2="{ay:.2f}"/>
    <line x1="{ax:.2f}" y1="{top:.2f}" x2="{ax:.2f}" y2="{bottom:.2f}"/>
  </g>
  <polyline clip-path="url(#plot)" fill="none" stroke="#dc1e1e" stroke-width="11" stroke-linejoin="round" points="{" ".join(points)}"/>
</svg>
"""
    with open(path, "w") as f:
        f.write(svg)


def main():
    for scale in SCALES:
        suffix = "" if scale == 1 else f"@{scale:g}x"
        write_png(os.path.join(HERE, f"about_background{suffix}.png"), math.ceil(300 * scale), math.ceil(203 * scale),
                  supersampled(scale, background))
        write_png(os.path.join(HERE, f"close_button{suffix}.png"), math.ceil(37 * scale), math.ceil(37 * scale),
                  supersampled(scale, close_button))
    write_icon_svg(os.path.join(HERE, "icon.svg"))
    for size in (48, 256):
        write_png(os.path.join(HERE, f"icon-{size}.png"), size, size, icon(size), alpha=True)
    write_argb(os.path.join(HERE, "icon-48.argb"), 48, icon(48))


if __name__ == "__main__":
    main()
