"""Composite previews: the generated pictures on an 800 x 600 window with what the program
draws over them (texts at their logical places, graph frame, count field, flight path), to
judge whether the pictures leave room where the program needs it.

Run: /usr/bin/python3 tools/preview_assets.py [output-folder]   (default /tmp/asset-preview)
Needs the files in assets/ (tools/make_assets.py) and the Liberation fonts (fonts-liberation).
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.join(HERE, "..", "assets")
SERIF = "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"

W, H = 800, 600
BACKGROUND = (51, 168, 238)
LIGHT_BLUE = (153, 204, 255)
BLUE = (51, 102, 255)
ORANGE = (255, 153, 0)


def sx(v):
    return v * W // 320


def sy(v):
    return v * H // 200


def font(points):
    # k points at 96 DPI are k * 4 / 3 pixels; the program scales k by width / 800.
    return ImageFont.truetype(SERIF, int(round(points * W / 800 * 4 / 3)))


def text(d, x, y, s, f, fg, bg=None):
    """Text with its top-left corner at the pixel; opaque text fills its cells first."""
    if bg is not None:
        width = d.textlength(s, font=f)
        ascent, descent = f.getmetrics()
        d.rectangle([x, y, x + width, y + ascent + descent], fill=bg)
    d.text((x, y), s, font=f, fill=fg)


def experiment_preview(out):
    img = Image.new("RGB", (W, H), BACKGROUND)
    pic = Image.open(os.path.join(ASSETS, "bild3c2.gif")).convert("RGB")
    img.paste(pic.resize((sx(312), sy(192))), (sx(4), sy(4)))
    d = ImageDraw.Draw(img)
    d.rectangle([sx(4), sy(4), sx(316), sy(4) + sy(192)], outline=(0, 0, 0))
    big, small = font(30), font(12)
    text(d, sx(10), sy(10), "  DEMO !", small, (255, 0, 0), LIGHT_BLUE)
    text(d, sx(30), sy(95), "Zeit", big, (0, 0, 0), LIGHT_BLUE)
    text(d, sx(30), sy(125), "100  ", big, (255, 255, 255), ORANGE)
    text(d, sx(260), sy(70), "17 ", big, (255, 255, 255), BLUE)
    # Graph frame as drawn at the start of every interval.
    d.rectangle([sx(95), sy(15), sx(225), sy(105)], fill=LIGHT_BLUE)
    d.rectangle([sx(100), sy(20), sx(220), sy(100)], fill=BACKGROUND)
    d.rectangle([sx(100), sy(20), sx(220), sy(100)], outline=(0, 0, 0), width=3)
    for i in range(1, 10):
        d.line([sx(100 + 12 * i), sy(20), sx(100 + 12 * i), sy(100)], fill=(255, 255, 255))
        text(d, sx(97 + 12 * i), sy(105), str(2 * i), font(10), (0, 0, 0), LIGHT_BLUE)
    d.line([sx(160), sy(20), sx(160), sy(100)], fill=(0, 0, 0))
    # The red dot at a few places of its flight (logical 88.4 to 248 at height 135).
    r = sx(3)
    for x in (88.4, 150, 248):
        d.ellipse([sx(int(x)) - r, sy(135) - r, sx(int(x)) + r, sy(135) + r], fill=(255, 0, 0))
    # "Mittelwert:" at column 4 rows 3-4 and "Zahl der Versuche n:" at column 5 row 4, on a
    # cell grid of average character width by line spacing.
    for pts, col, row, s in ((30, 4, 3, "Mittelwert:"), (30, 4, 4, " 9.8"),
                             (12, 5, 4, "Zahl der Versuche n: 10")):
        f = font(pts)
        cw = f.getlength("abcdefghijklmnopqrstuvwxyz") / 26
        ascent, descent = f.getmetrics()
        text(d, (col - 1) * cw, (row - 1) * (ascent + descent), s, f, (0, 0, 0), LIGHT_BLUE)
    img.save(os.path.join(out, "experiment-overlay.png"))
    pic.save(os.path.join(out, "experiment-plain.png"))


def title_preview(out):
    img = Image.new("RGB", (W, H), BACKGROUND)
    left = Image.open(os.path.join(ASSETS, "kestrino.jpg")).convert("RGB")
    right = Image.open(os.path.join(ASSETS, "quorvel2.jpg")).convert("RGB")
    img.paste(left.resize((sx(154), sy(184)), Image.LANCZOS), (sx(4), sy(4)))
    img.paste(right.resize((sx(154), sy(184)), Image.LANCZOS), (sx(164), sy(4)))
    d = ImageDraw.Draw(img)
    d.rectangle([sx(4), sy(4), sx(158), sy(4) + sy(184)], outline=(0, 0, 0))
    d.rectangle([sx(164), sy(4), sx(318), sy(4) + sy(184)], outline=(0, 0, 255))
    blue = (0, 0, 255)
    for x, y, s in ((42, 40, "Zählstatistik"), (21, 90, "zufällig emittierter"),
                    (39, 140, "Mikroteilchen")):
        text(d, sx(x), sy(y), s, font(30), blue)
    text(d, sx(75), sy(170), "Lehrprogramm Physik", font(12), blue)
    for x, y, s in ((210, 40, "Programmautor: "), (214, 70, "Erika Mustermann"),
                    (175, 90, "Gymnasium am Stadtpark"), (210, 110, "Lindenallee 12"),
                    (207, 130, "12345 Musterstadt")):
        text(d, sx(x), sy(y), s, font(20), blue)
    text(d, 72 * font(16).getlength("x"), 24 * 26, "Weiter ?  <RETURN>", font(16),
         (255, 255, 255), BACKGROUND)
    img.save(os.path.join(out, "title-overlay.png"))
    left.save(os.path.join(out, "kestrino-plain.png"))
    right.save(os.path.join(out, "quorvel2-plain.png"))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "/tmp/asset-preview"
    os.makedirs(out, exist_ok=True)
    experiment_preview(out)
    if os.path.exists(os.path.join(ASSETS, "kestrino.jpg")):
        title_preview(out)
    print("previews in", out)


if __name__ == "__main__":
    main()
