#!/usr/bin/env python3
"""Draws the tool's icons (16x16 and 32x32, 32-bit with alpha) into .ico files.

Each picture is a list of shapes in a 32x32 coordinate space, rendered with
4x4 supersampling so that the small sizes stay crisp. Run it from anywhere:
    python3 res/icons/draw_icons.py
"""
import os
import struct

SS = 4  # supersampling factor


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_line(x, y, x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
    px, py = x0 + t * dx, y0 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (w / 2.0) ** 2


def inside_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def shape_hit(shape, x, y):
    kind = shape[0]
    if kind == "rrect":
        return inside_round_rect(x, y, *shape[1:6])
    if kind == "circle":
        return inside_circle(x, y, *shape[1:4])
    if kind == "line":
        return inside_line(x, y, *shape[1:6])
    if kind == "tri":
        return inside_triangle(x, y, *shape[1:4])
    raise ValueError(kind)


def render(shapes, size):
    """Returns rows of (r, g, b, a) from top to bottom."""
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) * scale
                    y = (py + (sy + 0.5) / SS) * scale
                    colour = None
                    for shape in shapes:  # later shapes paint over earlier ones
                        if shape_hit(shape, x, y):
                            colour = shape[-1]
                    if colour:
                        for i in range(3):
                            acc[i] += colour[i]
                        acc[3] += 255
            n = SS * SS
            alpha = acc[3] / n
            if alpha:
                row.append(tuple(int(acc[i] / (acc[3] / 255)) for i in range(3)) + (int(alpha),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_entry(rows, size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(struct.pack("BBBB", b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b"\x00" * (mask_row * size)
    return header + pixels + mask


def write_ico(path, shapes, sizes=(16, 32)):
    images = [bmp_entry(render(shapes, s), s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


NAVY = (28, 58, 110)
STEEL = (120, 132, 148)
WHITE = (245, 245, 245)
GREEN = (40, 190, 70)
AMBER = (240, 170, 20)
RED = (215, 40, 40)
YELLOW = (250, 205, 30)
BLACK = (30, 30, 30)


# The tray pictures for a light taskbar (Windows' light mode, near white)
# and for a dark one (near black): the body takes the colour that stands out
# from the taskbar, the status colours stay, so each state reads on both.
PALE = (222, 230, 242)
PALE_STEEL = (178, 188, 202)
DEEP_STEEL = (88, 98, 114)


def router(body, led, window=WHITE):
    """A router box with two antennas and a status lamp."""
    return [
        ("line", 9, 4, 9, 16, 3, body),
        ("line", 23, 4, 23, 16, 3, body),
        ("rrect", 2, 15, 30, 28, 4, body),
        ("rrect", 5, 19, 18, 23, 1, window),
        ("circle", 24, 21.5, 3.2, led),
    ]


def tray_set(body, grey, window, warning_rim):
    """The four tray pictures of one set: not reachable, down, up, warning."""
    cross = [("line", 16, 2, 30, 16, 4.5, RED), ("line", 30, 2, 16, 16, 4.5, RED)]
    arrow = [("tri", (16, 0), (9, 9), (23, 9), GREEN), ("line", 16, 6, 16, 13, 4, GREEN)]
    return {
        "not_reachable": router(grey, grey, window) + cross,
        "line_down": router(body, AMBER, window),
        "line_up": router(body, GREEN, window) + arrow,
        "access_warning": [
            ("tri", (16, 1), (0, 30), (32, 30), warning_rim),
            ("tri", (16, 5), (3.5, 28), (28.5, 28), YELLOW),
            ("line", 16, 11, 16, 20, 3.5, BLACK),
            ("circle", 16, 24.5, 2, BLACK)],
    }


# The first set is kept where the system does not say which taskbar it has.
ICONS = {"app.ico": router(NAVY, GREEN)}
ICONS.update({name + ".ico": shapes for name, shapes in tray_set(NAVY, STEEL, WHITE, BLACK).items()})
ICONS.update({name + "_light.ico": shapes
              for name, shapes in tray_set(NAVY, DEEP_STEEL, WHITE, BLACK).items()})
ICONS.update({name + "_dark.ico": shapes
              for name, shapes in tray_set(PALE, PALE_STEEL, NAVY, PALE).items()})


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, shapes in ICONS.items():
        write_ico(os.path.join(here, name), shapes)


if __name__ == "__main__":
    main()
