"""The application icon: a counter tube with a particle flying into its window and a small
counting histogram below, on a blue tile.

The design is one table of shapes on a 64 x 64 grid. It is written out as the scalable
icon (assets/icon/mikroteilchen.svg) and drawn with PIL, supersampled, for the fixed sizes
of the hicolor theme, so the PNGs and the SVG cannot drift apart. Shapes are few and thick
so that the tube, the particle and the bars still read at 16 pixels.
"""

import os

from PIL import Image, ImageDraw

SIZES = (16, 32, 48, 64, 128, 256)
SUPERSAMPLE = 8

TILE = dict(x=2, y=2, w=60, h=60, r=12, top="#3f93e6", bottom="#1c4c9c")
# (x, y, width, height, corner radius, fill); a fill of two colours is a top-to-bottom gradient.
RECTS = [
    (10, 44, 8, 10, 1.5, "#ffd75e"),            # histogram bars, a Poisson-like shape
    (20, 36, 8, 18, 1.5, "#ffd75e"),
    (30, 31, 8, 23, 1.5, "#ffd75e"),
    (40, 38, 8, 16, 1.5, "#ffd75e"),
    (50, 46, 6, 8, 1.5, "#ffd75e"),
    (9, 54, 48, 2.5, 1, "#ffffff"),             # base line
    (24, 12, 28, 14, 4, ("#ffffff", "#a9b8cc")),  # tube body
    (49, 14, 8, 10, 2, "#23272f"),              # socket at the far end
    (21, 10, 6, 18, 2, ("#d6dde8", "#6d7a8e")),   # window ring, facing the particle
]
TRACK = dict(x1=7, y1=19, x2=19, y2=19, width=3, colour="#ff5a3c")
PARTICLE = dict(cx=8, cy=19, r=4.5, colour="#ff3b2a", outline="#ffffff", outline_width=1.2)


def svg_text():
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">',
        '  <title>Statistik von zufälligen Mikroteilchen</title>',
        '  <defs>',
        '    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">',
        f'      <stop offset="0" stop-color="{TILE["top"]}"/>',
        f'      <stop offset="1" stop-color="{TILE["bottom"]}"/>',
        '    </linearGradient>',
    ]
    for i, rect in enumerate(RECTS):
        if isinstance(rect[5], tuple):
            lines += [
                f'    <linearGradient id="g{i}" x1="0" y1="0" x2="0" y2="1">',
                f'      <stop offset="0" stop-color="{rect[5][0]}"/>',
                f'      <stop offset="1" stop-color="{rect[5][1]}"/>',
                '    </linearGradient>',
            ]
    lines.append('  </defs>')
    lines.append(f'  <rect x="{TILE["x"]}" y="{TILE["y"]}" width="{TILE["w"]}" '
                 f'height="{TILE["h"]}" rx="{TILE["r"]}" fill="url(#tile)"/>')
    for i, (x, y, w, h, r, fill) in enumerate(RECTS):
        paint = f"url(#g{i})" if isinstance(fill, tuple) else fill
        lines.append(f'  <rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" fill="{paint}"/>')
    t = TRACK
    lines.append(f'  <line x1="{t["x1"]}" y1="{t["y1"]}" x2="{t["x2"]}" y2="{t["y2"]}" '
                 f'stroke="{t["colour"]}" stroke-width="{t["width"]}" stroke-linecap="round"/>')
    p = PARTICLE
    lines.append(f'  <circle cx="{p["cx"]}" cy="{p["cy"]}" r="{p["r"]}" fill="{p["colour"]}" '
                 f'stroke="{p["outline"]}" stroke-width="{p["outline_width"]}"/>')
    lines.append('</svg>')
    return "\n".join(lines) + "\n"


def hex_rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def gradient_rect(image, box, radius, top, bottom):
    x0, y0, x1, y1 = [int(round(v)) for v in box]
    a, b = hex_rgb(top), hex_rgb(bottom)
    tile = Image.new("RGBA", (x1 - x0, y1 - y0))
    d = ImageDraw.Draw(tile)
    for row in range(y1 - y0):
        t = row / max(1, y1 - y0 - 1)
        d.line([(0, row), (x1 - x0, row)], fill=tuple(int(round(p + (q - p) * t))
                                                      for p, q in zip(a, b)) + (255,))
    mask = Image.new("L", tile.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, x1 - x0 - 1, y1 - y0 - 1], radius=radius,
                                           fill=255)
    image.paste(tile, (x0, y0), mask)


def render_png(size):
    k = size * SUPERSAMPLE / 64.0
    big = Image.new("RGBA", (size * SUPERSAMPLE,) * 2, (0, 0, 0, 0))
    gradient_rect(big, (TILE["x"] * k, TILE["y"] * k, (TILE["x"] + TILE["w"]) * k,
                        (TILE["y"] + TILE["h"]) * k), TILE["r"] * k, TILE["top"], TILE["bottom"])
    d = ImageDraw.Draw(big)
    for x, y, w, h, r, fill in RECTS:
        box = (x * k, y * k, (x + w) * k, (y + h) * k)
        if isinstance(fill, tuple):
            gradient_rect(big, box, r * k, *fill)
        else:
            d.rounded_rectangle(box, radius=r * k, fill=hex_rgb(fill))
    t = TRACK
    d.line([(t["x1"] * k, t["y1"] * k), (t["x2"] * k, t["y2"] * k)], fill=hex_rgb(t["colour"]),
           width=int(round(t["width"] * k)))
    for x in (t["x1"], t["x2"]):
        r = t["width"] * k / 2
        d.ellipse([x * k - r, t["y1"] * k - r, x * k + r, t["y1"] * k + r],
                  fill=hex_rgb(t["colour"]))
    p = PARTICLE
    ro, ri = (p["r"] + p["outline_width"] / 2) * k, (p["r"] - p["outline_width"] / 2) * k
    cx, cy = p["cx"] * k, p["cy"] * k
    d.ellipse([cx - ro, cy - ro, cx + ro, cy + ro], fill=hex_rgb(p["outline"]))
    d.ellipse([cx - ri, cy - ri, cx + ri, cy + ri], fill=hex_rgb(p["colour"]))
    return big.resize((size, size), Image.LANCZOS)


def make_icons(folder):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "mikroteilchen.svg"), "w", encoding="utf-8") as out:
        out.write(svg_text())
    for size in SIZES:
        target = os.path.join(folder, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(target, exist_ok=True)
        render_png(size).save(os.path.join(target, "mikroteilchen.png"), optimize=True)
