"""Drawing helpers shared by the picture generators.

Every picture is laid out in "screen pixels" of the reference window, a drawing area of
800 x 600 pixels, where logical canvas point (x, y) lands at (2.5 x, 3 y). Drawing in these
units keeps circles round on that window even though a logical unit is wider than it is
high, and lets the layout be checked directly against the program's texts. A Sketch maps
screen pixels onto its own picture (offset, scale) and draws supersampled, so that the final
downscale gives smooth edges without any anti-aliasing support in ImageDraw.
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

SUPERSAMPLE = 4


def logical(x, y):
    """Screen pixel of a logical canvas point on the 800 x 600 reference window."""
    return (x * 2.5, y * 3.0)


def mix(colour_a, colour_b, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(colour_a, colour_b))


class Sketch:
    """An RGBA picture addressed in reference-window pixels.

    origin is the screen pixel that becomes the picture's top-left corner, scale the number
    of picture pixels per screen pixel.
    """

    def __init__(self, width, height, origin=(0.0, 0.0), scale=1.0, background=(255, 255, 255)):
        self.width, self.height = width, height
        self.origin = origin
        self.k = scale * SUPERSAMPLE
        self.image = Image.new("RGBA", (width * SUPERSAMPLE, height * SUPERSAMPLE),
                               background + (255,))

    # --- coordinate mapping --------------------------------------------------------------
    def p(self, x, y):
        return ((x - self.origin[0]) * self.k, (y - self.origin[1]) * self.k)

    def box(self, x0, y0, x1, y1):
        a, b = self.p(x0, y0), self.p(x1, y1)
        return [a[0], a[1], b[0], b[1]]

    def w(self, width):
        return max(1, int(round(width * self.k)))

    # --- layers ------------------------------------------------------------------------
    def _layer(self):
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        return layer, ImageDraw.Draw(layer)

    def _merge(self, layer, alpha=1.0, blur=0.0):
        if blur > 0:
            # Blurred premultiplied, or the transparent black around a shape bleeds into it.
            layer = layer.convert("RGBa").filter(ImageFilter.GaussianBlur(blur * self.k))
            layer = layer.convert("RGBA")
        if alpha < 1.0:
            a = layer.getchannel("A").point(lambda v: int(v * alpha))
            layer.putalpha(a)
        self.image.alpha_composite(layer)

    # --- groups ------------------------------------------------------------------------
    def begin_group(self):
        """Collects the following shapes on their own layer, for end_group's mask."""
        self._below = self.image
        self.image = Image.new("RGBA", self._below.size, (0, 0, 0, 0))

    def end_group(self, mask=None):
        """Puts the group down; mask (an "L" image at supersampled size) scales its opacity."""
        group, self.image = self.image, self._below
        if mask is not None:
            alpha = np.asarray(group.getchannel("A")).astype(np.float32)
            alpha *= np.asarray(mask).astype(np.float32) / 255.0
            group.putalpha(Image.fromarray(alpha.astype(np.uint8), "L"))
        self.image.alpha_composite(group)

    def keep_out_mask(self, zones, floor=0.1, feather=14.0):
        """1 everywhere except inside the zones (screen-pixel rectangles), where it drops to
        floor with a soft edge: decorations fade out behind the program's texts."""
        mask = Image.new("L", self.image.size, 255)
        d = ImageDraw.Draw(mask)
        for x0, y0, x1, y1 in zones:
            d.rounded_rectangle(self.box(x0, y0, x1, y1), radius=feather * self.k,
                                fill=int(255 * floor))
        return mask.filter(ImageFilter.GaussianBlur(feather * self.k / 2))

    # --- shapes (all coordinates in screen pixels) -------------------------------------
    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0, radius=0.0,
             alpha=1.0, blur=0.0):
        layer, d = self._layer()
        d.rounded_rectangle(self.box(x0, y0, x1, y1), radius=radius * self.k, fill=fill,
                            outline=outline, width=self.w(width) if outline else 0)
        self._merge(layer, alpha, blur)

    def ellipse(self, cx, cy, rx, ry=None, fill=None, outline=None, width=1.0, alpha=1.0,
                blur=0.0):
        ry = rx if ry is None else ry
        layer, d = self._layer()
        d.ellipse(self.box(cx - rx, cy - ry, cx + rx, cy + ry), fill=fill, outline=outline,
                  width=self.w(width) if outline else 0)
        self._merge(layer, alpha, blur)

    def polygon(self, points, fill=None, outline=None, width=1.0, alpha=1.0, blur=0.0):
        layer, d = self._layer()
        pts = [self.p(x, y) for x, y in points]
        d.polygon(pts, fill=fill)
        if outline:
            d.line(pts + [pts[0]], fill=outline, width=self.w(width), joint="curve")
        self._merge(layer, alpha, blur)

    def line(self, points, colour, width=1.0, alpha=1.0, blur=0.0, round_caps=True):
        layer, d = self._layer()
        pts = [self.p(x, y) for x, y in points]
        d.line(pts, fill=colour, width=self.w(width), joint="curve")
        if round_caps:
            r = self.w(width) / 2.0
            for x, y in (pts[0], pts[-1]):
                d.ellipse([x - r, y - r, x + r, y + r], fill=colour)
        self._merge(layer, alpha, blur)

    def vertical_gradient(self, x0, y0, x1, y1, stops, radius=0.0, alpha=1.0):
        """Fills a (rounded) rectangle with colours interpolated between (t, colour) stops."""
        bx = [int(round(v)) for v in self.box(x0, y0, x1, y1)]
        h = max(1, bx[3] - bx[1])
        t = np.linspace(0.0, 1.0, h)[:, None]
        ts = [s[0] for s in stops]
        cols = np.array([s[1] for s in stops], dtype=float)
        rgb = np.stack([np.interp(t[:, 0], ts, cols[:, c]) for c in range(3)], axis=1)
        strip = np.repeat(rgb[:, None, :], max(1, bx[2] - bx[0]), axis=1)
        self._paste_array(strip, bx, radius, alpha)

    def horizontal_gradient(self, x0, y0, x1, y1, stops, radius=0.0, alpha=1.0):
        bx = [int(round(v)) for v in self.box(x0, y0, x1, y1)]
        wpx = max(1, bx[2] - bx[0])
        ts = [s[0] for s in stops]
        cols = np.array([s[1] for s in stops], dtype=float)
        u = np.linspace(0.0, 1.0, wpx)
        rgb = np.stack([np.interp(u, ts, cols[:, c]) for c in range(3)], axis=1)
        strip = np.repeat(rgb[None, :, :], max(1, bx[3] - bx[1]), axis=0)
        self._paste_array(strip, bx, radius, alpha)

    def _paste_array(self, rgb, bx, radius, alpha):
        tile = Image.fromarray(np.clip(rgb, 0, 255).astype(np.uint8), "RGB").convert("RGBA")
        mask = Image.new("L", tile.size, 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, tile.size[0] - 1, tile.size[1] - 1],
                                               radius=radius * self.k,
                                               fill=int(255 * alpha))
        tile.putalpha(mask)
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        layer.paste(tile, (bx[0], bx[1]))
        self.image.alpha_composite(layer)

    def trefoil(self, cx, cy, radius, colour=(20, 20, 20), disc=None, alpha=1.0):
        """The radiation warning symbol: a centre dot and three 60-degree blades, one
        pointing down, with a clear ring between dot and blades."""
        if disc:
            self.ellipse(cx, cy, radius * 1.3, fill=disc, alpha=alpha)
        layer, d = self._layer()
        c = self.p(cx, cy)
        outer, dot = radius * self.k, radius * 0.22 * self.k
        for centre in (90, 210, 330):
            d.pieslice([c[0] - outer, c[1] - outer, c[0] + outer, c[1] + outer],
                       centre - 30, centre + 30, fill=colour)
        ring = dot * 1.55
        d.ellipse([c[0] - ring, c[1] - ring, c[0] + ring, c[1] + ring], fill=(0, 0, 0, 0))
        d.ellipse([c[0] - dot, c[1] - dot, c[0] + dot, c[1] + dot], fill=colour)
        self._merge(layer, alpha)

    def finish(self, grain=0.0, seed=0):
        """The picture at its final size; grain adds faint luminance noise so that large
        gradients show no banding after JPEG or palette reduction."""
        out = self.image.convert("RGB").resize((self.width, self.height), Image.LANCZOS)
        if grain <= 0:
            return out
        rng = np.random.default_rng(seed)
        arr = np.asarray(out).astype(np.float32)
        arr += rng.normal(0.0, grain, arr.shape[:2]).astype(np.float32)[..., None]
        return Image.fromarray(np.clip(np.round(arr), 0, 255).astype(np.uint8), "RGB")


def track_points(x, y, angle, length, curl=0.0, wobble=0.0, rng=None, step=3.0):
    """A particle track as a polyline: straight, curling (charged particle in a field) or
    jittering (multiple scattering of a slow electron)."""
    pts = [(x, y)]
    a = angle
    n = max(2, int(length / step))
    for i in range(n):
        a += curl * (1.0 + 2.0 * i / n)
        if wobble and rng is not None:
            a += rng.normal(0.0, wobble)
        x += math.cos(a) * step
        y += math.sin(a) * step
        pts.append((x, y))
    return pts
