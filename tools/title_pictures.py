"""The two title pictures "kestrino.jpg" (left) and "quorvel2.jpg" (right).

The title screen stretches each over 154 x 184 logical units and writes blue text over it
with only the glyphs painted, so both pictures keep light, calm zones exactly where those
texts stand (TEXT_ZONES_*, in reference-window pixels, measured with the "times" face the
program uses) and put their decoration around them. Decorations are drawn as one group whose
opacity drops behind the text zones, so nothing busy can end up under a letter.
"""

import math

import numpy as np

from art import Sketch, logical, mix, track_points

# The size the pictures are drawn at on a 1024 x 768 screen (drawing area 896 x 672), the
# commonest projector resolution: there they are drawn without scaling, which keeps the
# title screen quick to appear; other sizes are scaled smoothly.
SCALE = 1.12                     # picture pixels per reference-window pixel
WIDTH, HEIGHT = 431, 618         # 154 x 184 logical units = 385 x 552 window pixels, x 1.12

# Title lines (30 pt) and credit line (12 pt) on the left picture, generous boxes.
TEXT_ZONES_LEFT = [(95, 112, 315, 172), (42, 262, 362, 322), (88, 412, 336, 472),
                   (178, 504, 372, 532)]
# Author block (20 pt) on the right picture; the lines may be long, so to the right edge.
TEXT_ZONES_RIGHT = [(515, 112, 800, 158), (525, 202, 800, 248), (428, 262, 800, 308),
                    (515, 322, 800, 368), (507, 382, 800, 428)]

TEXT_BLUE_SAFE_LIGHT = (252, 251, 246)
ALPHA_COLOUR = (214, 84, 54)
BETA_COLOUR = (30, 150, 120)
GAMMA_COLOUR = (124, 84, 200)
BAR_COLOUR = (110, 160, 222)
CURVE_COLOUR = (232, 110, 40)


def paper(s, x0, y0, x1, y1, top, middle, bottom):
    s.vertical_gradient(x0, y0, x1, y1, [(0.0, top), (0.45, middle), (1.0, bottom)])


def nucleus(s, cx, cy, radius, rng):
    """A cluster of protons (red) and neutrons (grey-blue) with a soft glow."""
    s.ellipse(cx, cy, radius * 2.6, fill=(255, 214, 150), alpha=0.55, blur=radius)
    balls = []
    golden = math.pi * (3 - math.sqrt(5))
    for i in range(19):
        r = radius * 0.78 * math.sqrt((i + 0.5) / 19)
        a = i * golden
        balls.append((cx + r * math.cos(a), cy + r * math.sin(a), i % 2 == 0))
    balls.sort(key=lambda b: b[1] + 0.3 * b[0])
    ball = radius * 0.3
    for x, y, proton in balls:
        base = (220, 70, 62) if proton else (136, 150, 176)
        s.ellipse(x + 0.6, y + 0.8, ball, fill=mix(base, (0, 0, 0), 0.35))
        s.ellipse(x, y, ball * 0.96, fill=base)
        s.ellipse(x - ball * 0.3, y - ball * 0.35, ball * 0.38, fill=mix(base, (255, 255, 255), 0.6))


def gamma_ray(s, x, y, angle, length, colour, alpha):
    """A wavy line with an arrow head: a photon leaving the source."""
    pts = []
    ux, uy = math.cos(angle), math.sin(angle)
    for i in range(int(length)):
        w = 3.2 * math.sin(i * 0.55)
        pts.append((x + ux * i - uy * w, y + uy * i + ux * w))
    s.line(pts, colour, width=1.5, alpha=alpha)
    hx, hy = x + ux * (length + 6), y + uy * (length + 6)
    s.polygon([(hx, hy), (hx - ux * 9 - uy * 4, hy - uy * 9 + ux * 4),
               (hx - ux * 9 + uy * 4, hy - uy * 9 - ux * 4)], fill=colour, alpha=alpha)


def particle_tracks(s, cx, cy, rng, angles, scale=1.0):
    """Alpha tracks (short, straight, heavy), beta tracks (long, thin, curling), photons."""
    for k, a in enumerate(angles):
        kind = k % 3
        if kind == 0:
            pts = track_points(cx, cy, a, rng.uniform(70, 95) * scale, step=3)
            s.line(pts[5:], ALPHA_COLOUR, width=2.6, alpha=0.6)
            s.ellipse(*pts[-1], 2.6, fill=ALPHA_COLOUR, alpha=0.6)
        elif kind == 1:
            pts = track_points(cx, cy, a, rng.uniform(150, 230) * scale,
                               curl=rng.choice([-1, 1]) * rng.uniform(0.006, 0.02),
                               wobble=0.05, rng=rng, step=3)
            s.line(pts[6:], BETA_COLOUR, width=1.4, alpha=0.6)
        else:
            gamma_ray(s, cx + math.cos(a) * 26, cy + math.sin(a) * 26, a,
                      rng.uniform(90, 140) * scale, GAMMA_COLOUR, 0.5)


def poisson(mean, k):
    return math.exp(-mean) * mean ** k / math.factorial(k)


def histogram(s, x0, base, bar_width, gap, heights, colour, alpha, outline=None):
    for i, h in enumerate(heights):
        if h <= 0:
            continue
        x = x0 + i * (bar_width + gap)
        s.vertical_gradient(x, base - h, x + bar_width, base,
                            [(0.0, mix(colour, (255, 255, 255), 0.1)),
                             (1.0, mix(colour, (255, 255, 255), 0.45))], radius=2, alpha=alpha)
        if outline:
            s.rect(x, base - h, x + bar_width, base, outline=outline, width=1, radius=2,
                   alpha=alpha)


def geiger_tube(s, x0, y0, x1, y1, vertical=False):
    """A counter tube: metal body lit from above, dark mica window at the x0 end."""
    r = (y1 - y0) / 2
    yc = (y0 + y1) / 2
    s.rect(x0 + 4, y1 - 2, x1 + 6, y1 + 6, fill=(40, 50, 70), alpha=0.18, blur=4)
    s.vertical_gradient(x0 + 6, y0, x1 - 14, y1,
                        [(0.0, (200, 210, 224)), (0.28, (250, 252, 255)), (0.65, (170, 182, 198)),
                         (1.0, (112, 124, 142))], radius=5)
    s.vertical_gradient(x1 - 16, y0 + 3, x1, y1 - 3,
                        [(0.0, (84, 88, 98)), (0.3, (64, 68, 76)), (1.0, (30, 32, 36))], radius=4)
    s.vertical_gradient(x0, y0 - 2, x0 + 11, y1 + 2,
                        [(0.0, (120, 130, 142)), (0.3, (206, 212, 222)), (1.0, (70, 78, 90))],
                        radius=3)
    s.ellipse(x0 + 1, yc, 4, r - 2, fill=(104, 90, 70))
    s.line([(x1, yc), (x1 + 14, yc), (x1 + 22, yc + 10), (x1 + 24, yc + 80)], (40, 42, 48),
           width=3.5)


def make_left(path, seed=11):
    rng = np.random.default_rng(seed)
    x0, y0 = logical(4, 4)
    x1, y1 = x0 + 385, y0 + 552
    s = Sketch(WIDTH, HEIGHT, origin=(x0, y0), scale=SCALE)
    paper(s, x0, y0, x1, y1, (222, 236, 250), TEXT_BLUE_SAFE_LIGHT, (236, 244, 252))
    s.ellipse(x0 + 190, y0 + 290, 230, 260, fill=(255, 255, 252), alpha=0.7, blur=70)

    s.begin_group()
    # The source in the upper left corner and its tracks, fanning out over the top band.
    cx, cy = x0 + 54, y0 + 54
    angles = [-0.2 + i * 0.24 for i in range(9)]
    particle_tracks(s, cx, cy, rng, angles)
    nucleus(s, cx, cy, 24, rng)
    # Faint rings spreading from the source tie the picture together.
    for k, radius in enumerate((130, 215, 300, 385, 470)):
        s.ellipse(cx, cy, radius, outline=(120, 160, 220), width=1.4, alpha=0.3 - 0.04 * k)
    # A counting histogram in the lower left: how often each count was seen.
    counts = [2, 7, 14, 19, 18, 14, 9, 5, 2, 1]
    base = y1 - 14
    histogram(s, x0 + 16, base, 11, 3, [c * 4.6 for c in counts], BAR_COLOUR, 0.55)
    pts = [(x0 + 16 + 5.5 + i, base - 4.6 * 91 * poisson_smooth(3.9, i / 14.0))
           for i in range(0, 9 * 14 + 1)]
    s.line(pts, CURVE_COLOUR, width=2.0, alpha=0.55)
    s.line([(x0 + 10, base + 1), (x0 + 170, base + 1)], (90, 110, 140), width=1.2, alpha=0.5)
    s.end_group(s.keep_out_mask(TEXT_ZONES_LEFT, floor=0.08))

    s.finish(grain=1.4, seed=seed).save(path, format="JPEG", quality=90, optimize=True,
                                         subsampling=0)


def poisson_smooth(mean, k):
    """The Poisson law with k! replaced by the Gamma function: a smooth guide curve."""
    return math.exp(-mean + k * math.log(mean) - math.lgamma(k + 1))


def pulse_train(s, x0, x1, base, rng):
    """A detector signal: a quiet baseline with a sharp pulse for every registered event."""
    pts = [(x0, base)]
    x = x0
    while x < x1:
        gap = rng.exponential(26.0)
        x_next = x + gap
        for xi in np.arange(x + 1.5, min(x_next, x1), 1.5):
            pts.append((xi, base + rng.normal(0, 0.35)))
        if x_next >= x1:
            break
        h = rng.uniform(24, 46)
        pts += [(x_next, base - h), (x_next + 1.2, base - h * 0.7), (x_next + 4.5, base - h * 0.2),
                (x_next + 9, base)]
        x = x_next + 9
    pts.append((x1, base))
    s.line(pts, (40, 120, 200), width=1.6, alpha=0.8)
    s.line(pts, (120, 200, 255), width=5, alpha=0.25, blur=2)


def make_right(path, seed=23):
    rng = np.random.default_rng(seed)
    x0, y0 = logical(164, 4)
    x1, y1 = x0 + 385, y0 + 552
    s = Sketch(WIDTH, HEIGHT, origin=(x0, y0), scale=SCALE)
    paper(s, x0, y0, x1, y1, (226, 238, 250), TEXT_BLUE_SAFE_LIGHT, (232, 240, 250))
    s.ellipse(x0 + 210, y0 + 250, 240, 230, fill=(255, 255, 252), alpha=0.7, blur=70)

    s.begin_group()
    # Top: the counter's signal, a pulse for every particle.
    s.rect(x0 + 14, y0 + 14, x1 - 14, y0 + 86, fill=(255, 255, 255), radius=10, alpha=0.55)
    s.rect(x0 + 14, y0 + 14, x1 - 14, y0 + 86, outline=(150, 180, 215), width=1.2, radius=10,
           alpha=0.8)
    for gx in range(int(x0 + 40), int(x1 - 14), 34):
        s.line([(gx, y0 + 20), (gx, y0 + 80)], (190, 210, 232), width=0.8, alpha=0.7,
               round_caps=False)
    pulse_train(s, x0 + 22, x1 - 22, y0 + 72, rng)
    # Bottom left: a counter tube with tracks running into its window.
    tube_y = y1 - 76
    geiger_tube(s, x0 + 78, tube_y - 13, x0 + 196, tube_y + 13)
    for k in range(7):
        a = -0.55 + k * 0.18 + rng.uniform(-0.05, 0.05)
        length = rng.uniform(45, 75)
        end = (x0 + 74, tube_y + rng.uniform(-7, 7))
        start = (end[0] - math.cos(a) * length, end[1] - math.sin(a) * length)
        colour = (ALPHA_COLOUR, BETA_COLOUR, GAMMA_COLOUR)[k % 3]
        s.line([start, end], colour, width=2.4 if k % 3 == 0 else 1.4, alpha=0.45)
        s.ellipse(start[0], start[1], 2.0, fill=colour, alpha=0.6)
    # Bottom right: measured counts as bars and the Poisson law as a smooth curve.
    mean, n = 3.0, 120
    hist_x, base, bar = x0 + 232, y1 - 22, 12
    measured = [5, 19, 27, 26, 21, 12, 6, 3, 1]
    heights = [m * 3.4 for m in measured]
    histogram(s, hist_x, base, bar, 3, heights, BAR_COLOUR, 0.8, outline=(80, 120, 180))
    pts = [(hist_x + bar / 2 + i, base - 3.4 * n * poisson_smooth(mean, i / 15.0))
           for i in range(0, 8 * 15 + 1)]
    s.line(pts, CURVE_COLOUR, width=2.4, alpha=0.85)
    for k in range(9):
        s.ellipse(hist_x + bar / 2 + k * 15, base - 3.4 * n * poisson(mean, k), 2.6,
                  fill=CURVE_COLOUR, alpha=0.9)
    s.line([(hist_x - 6, base + 1), (x1 - 12, base + 1)], (80, 100, 130), width=1.4, alpha=0.7)
    s.end_group(s.keep_out_mask(TEXT_ZONES_RIGHT, floor=0.08))

    s.finish(grain=1.4, seed=seed).save(path, format="JPEG", quality=90, optimize=True,
                                         subsampling=0)
