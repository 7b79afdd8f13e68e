"""The experiment background "bild3c2.gif": a lab bench seen from the front.

The program stretches the picture over logical x 4..316, y 4..196 and draws onto it, so every
object here sits where the program expects it (logical coordinates, see art.logical):
  - the source housing's collimator ends just short of x 88 at height 135, where the red dot
    starts its flight; a faint line marks the path to the detector window;
  - the Geiger-Mueller counter tube lies on the path from x 253 to 301, its cable runs up
    to the counter box whose display window holds the count cells at (260, 70);
  - the timer on the left has a light face behind "Zeit" (30, 95) and a dark display behind
    the step number (30..35, 125);
  - the wall behind the graph (95..225 x 15..110) and the upper left corner, where the mean
    and the number of trials are printed, stay plain.
"""

import numpy as np
from PIL import Image

from art import Sketch, logical, mix

# Reference window 800 x 600; the picture covers logical 4..316 x 4..196 at one picture pixel
# per window pixel, so it is 780 x 576 and shows unscaled on that window.
WIDTH, HEIGHT = 780, 576
ORIGIN = logical(4, 4)

PATH_GROUND = (230, 237, 242)
WALL_LOW = (236, 240, 242)
TILE = (224, 233, 234)
GROUT = (203, 214, 217)
WOOD_LIGHT = (222, 190, 143)
WOOD_DARK = (178, 137, 92)
CABINET = (104, 126, 150)
CABINET_DARK = (82, 102, 124)
STEEL_LIGHT = (236, 240, 244)
STEEL_MID = (176, 186, 198)
STEEL_DARK = (108, 118, 132)
HOUSING = (86, 94, 104)
INSTRUMENT = (70, 84, 104)
DISPLAY = (22, 34, 66)
WARNING_YELLOW = (250, 204, 40)


def L(x, y):
    return logical(x, y)


def lx(x):
    return x * 2.5


def ly(y):
    return y * 3.0


def draw_room(s):
    """Wall, a row of tiles, a plain splash-back behind the flight path, bench and cabinet.

    The flight animation moves captured patches along the path: the red dot's image carries
    corners captured from the picture's top-left corner, and steps without a particle move
    the patch last captured at the end of the path. Both only blend in where the ground along
    the path is the same colour as that corner and does not change from left to right, so the
    splash-back is flat PATH_GROUND, the wall starts from the same colour at the top, and the
    path itself is a continuous line rather than dashes.
    """
    s.vertical_gradient(*L(0, 0), *L(320, 112), [(0.0, PATH_GROUND), (0.12, PATH_GROUND),
                                                   (1.0, WALL_LOW)])
    s.vertical_gradient(*L(0, 112), *L(320, 127), [(0.0, TILE), (1.0, mix(TILE, GROUT, 0.3))])
    for x in range(8, 320, 16):
        s.line([L(x, 112), L(x, 127)], GROUT, width=1.2, alpha=0.5, round_caps=False)
    s.rect(*L(0, 127), *L(320, 146), fill=PATH_GROUND)
    s.line([L(0, 127), L(320, 127)], GROUT, width=1.4, alpha=0.8, round_caps=False)
    # Dado rail between the painted wall and the tiles.
    s.vertical_gradient(*L(0, 110.5), *L(320, 113.5),
                        [(0.0, (246, 248, 249)), (0.6, (206, 214, 220)), (1.0, (180, 190, 198))])
    # Bench: wooden top, its front edge, and a cabinet below.
    s.rect(*L(0, 145), *L(320, 149), fill=(60, 70, 80), alpha=0.18, blur=3)
    s.vertical_gradient(*L(0, 146), *L(320, 151), [(0.0, (236, 210, 168)), (1.0, WOOD_LIGHT)])
    s.vertical_gradient(*L(0, 151), *L(320, 156), [(0.0, WOOD_DARK), (1.0, (150, 112, 74))])
    s.vertical_gradient(*L(0, 156), *L(320, 200), [(0.0, CABINET_DARK), (0.15, CABINET),
                                                     (1.0, (92, 114, 138))])
    s.rect(*L(0, 156), *L(320, 160), fill=(40, 50, 60), alpha=0.25, blur=4)
    for x0, x1 in ((10, 82), (88, 160), (166, 238), (244, 312)):
        s.rect(*L(x0, 162), *L(x1, 200), outline=(78, 98, 120), width=2, radius=4)
        s.rect(*L(x0 + 0.6, 162.5), *L(x1 - 0.6, 200), outline=(130, 150, 172), width=1,
               radius=4, alpha=0.6)
        mid = (x0 + x1) / 2
        s.rect(*L(mid - 7, 167), *L(mid + 7, 169), fill=(206, 214, 224), radius=2)


def draw_warning_sign(s):
    cx, top = lx(243), ly(26)
    side = 44.0
    tri = [(cx, top), (cx + side / 2, top + side * 0.87), (cx - side / 2, top + side * 0.87)]
    s.polygon([(x + 1.5, y + 2) for x, y in tri], fill=(40, 40, 40), alpha=0.2, blur=2)
    s.polygon(tri, fill=(30, 30, 30))
    inset = [(cx, top + 6), (cx + side / 2 - 5, top + side * 0.87 - 3),
             (cx - side / 2 + 5, top + side * 0.87 - 3)]
    s.polygon(inset, fill=WARNING_YELLOW)
    s.trefoil(cx, top + side * 0.58, 8.5, colour=(25, 25, 25))


def draw_timer(s):
    """Bench timer: light face for the label "Zeit", dark display for the step number."""
    x0, x1, y0, y1 = lx(21), lx(67), ly(86), ly(146)
    s.rect(x0 + 3, y0 + 5, x1 + 4, y1 + 1, fill=(30, 40, 50), radius=10, alpha=0.25, blur=4)
    s.rect(x0 + 18, y0 - 8, x0 + 36, y0 + 2, fill=(200, 60, 50), radius=3)
    s.rect(x1 - 34, y0 - 5, x1 - 20, y0 + 2, fill=STEEL_DARK, radius=2)
    s.vertical_gradient(x0, y0, x1, y1, [(0.0, (104, 120, 142)), (1.0, INSTRUMENT)], radius=10)
    s.rect(x0, y0, x1, y1, outline=(52, 62, 78), width=1.5, radius=10)
    # Face behind "Zeit"; the label fills most of it, so it carries no dial of its own.
    s.vertical_gradient(lx(24.5), ly(90), lx(63.5), ly(114),
                        [(0.0, (246, 248, 250)), (1.0, (222, 228, 236))], radius=5)
    s.rect(lx(24.5), ly(90), lx(63.5), ly(114), outline=(52, 62, 78), width=1.2, radius=5)
    # Start, stop and reset keys between face and display.
    for i, colour in enumerate(((80, 190, 100), (220, 80, 70), (214, 220, 228))):
        x = lx(31) + i * 26
        s.rect(x, ly(115.3), x + 18, ly(118.3), fill=colour, outline=(40, 48, 60), width=0.8,
               radius=3)
    # Display window behind the step number, sunk into the housing.
    s.rect(lx(24.5), ly(120) - 2, lx(63.5), ly(142) + 2, fill=(150, 162, 178), radius=5)
    s.vertical_gradient(lx(25.5), ly(120), lx(62.5), ly(142),
                        [(0.0, (16, 22, 30)), (1.0, (40, 46, 56))], radius=4)
    s.rect(lx(25.5), ly(120), lx(62.5), ly(123), fill=(255, 255, 255), alpha=0.06, radius=3)


def draw_source(s):
    """Lead housing with the radiation symbol; its collimator points along the flight path."""
    x0, x1, y0, y1 = lx(69), lx(83), ly(117), ly(146)
    s.rect(x0 + 3, y0 + 6, x1 + 5, y1 + 1, fill=(30, 40, 50), radius=4, alpha=0.3, blur=4)
    s.horizontal_gradient(x0, y0, x1, y1, [(0.0, (120, 128, 138)), (0.35, (104, 112, 122)),
                                           (1.0, (64, 70, 80))], radius=4)
    s.rect(x0, y0, x1, y1, outline=(40, 46, 54), width=1.4, radius=4)
    s.rect(x0 + 2, y0 + 1.5, x1 - 2, y0 + 4, fill=(255, 255, 255), alpha=0.18, radius=2)
    s.trefoil((x0 + x1) / 2 - 1, ly(124.5), 9.5, colour=(20, 20, 20), disc=WARNING_YELLOW)
    # Collimator: a short steel nozzle at the flight height.
    yc = ly(135)
    # It stops short of the first dot position (x 88.4 less the dot's half-size).
    tip = lx(84.6)
    s.vertical_gradient(x1 - 1, yc - 6, tip, yc + 6,
                        [(0.0, STEEL_LIGHT), (0.5, STEEL_MID), (1.0, STEEL_DARK)], radius=2)
    s.rect(x1 - 1, yc - 6, tip, yc + 6, outline=(60, 66, 76), width=1, radius=2)
    s.ellipse(tip - 1.5, yc, 1.6, 4.0, fill=(20, 20, 24))


def draw_flight_path(s):
    s.line([(lx(85), ly(135)), (lx(254), ly(135))], (170, 182, 198), width=1.4,
           round_caps=False)


def draw_detector(s):
    """Geiger-Mueller counter tube on a clamp stand, window facing the source."""
    yc, r = ly(135), 15.0
    # The window stays clear of the last dot position (x 248 plus the dot's half-size).
    xw, xb, xe = lx(253.5), lx(291), lx(301)
    s.rect(xw, yc + r - 2, xe, yc + r + 6, fill=(30, 40, 50), alpha=0.18, blur=5)
    # Stand: base on the bench, rod and clamp around the tube.
    s.rect(lx(266), ly(144.2), lx(284), ly(146), fill=(60, 66, 76), radius=2)
    s.horizontal_gradient(lx(273.5), yc, lx(276.5), ly(144.5),
                          [(0.0, STEEL_MID), (0.5, STEEL_LIGHT), (1.0, STEEL_DARK)])
    # Tube body: a cylinder lit from above.
    s.vertical_gradient(xw + 6, yc - r, xb, yc + r,
                        [(0.0, (214, 222, 232)), (0.25, (252, 253, 255)), (0.6, (176, 188, 202)),
                         (1.0, (110, 122, 138))], radius=4)
    s.rect(xw + 6, yc - r, xb, yc + r, outline=(80, 90, 104), width=1.2, radius=4)
    # Window end: a ring with the thin mica window facing the flight path.
    s.vertical_gradient(xw, yc - r - 2, xw + 10, yc + r + 2,
                        [(0.0, (120, 130, 142)), (0.3, (200, 208, 218)), (1.0, (70, 78, 90))],
                        radius=3)
    s.ellipse(xw + 1, yc, 3.5, r - 2, fill=(96, 84, 66))
    s.ellipse(xw + 0.5, yc - 4, 1.4, 4, fill=(255, 240, 200), alpha=0.5)
    # Back end with the cable socket.
    s.vertical_gradient(xb, yc - r + 3, xe, yc + r - 3,
                        [(0.0, (80, 84, 92)), (0.3, (60, 64, 72)), (1.0, (28, 30, 34))], radius=3)
    s.vertical_gradient(lx(272.5), yc - r - 2.5, lx(277.5), yc + r + 2.5,
                        [(0.0, (90, 96, 108)), (0.3, (160, 168, 180)), (1.0, (60, 64, 72))],
                        radius=2)
    # Cable up to the counter box.
    cable = bezier([(xe, yc), (lx(313), yc), (lx(313), ly(112)), (lx(296), ly(97))], 40)
    s.line(cable, (34, 36, 40), width=4.2)
    s.line([(x - 0.8, y - 0.8) for x, y in cable], (110, 114, 122), width=1.0, alpha=0.6)


def draw_counter(s):
    """The counter: a box on a wall shelf whose dark display holds the count cells."""
    s.vertical_gradient(lx(243), ly(98), lx(309), ly(101),
                        [(0.0, (236, 210, 168)), (1.0, WOOD_DARK)])
    for xb in (lx(250), lx(301)):
        s.polygon([(xb - 3, ly(101)), (xb + 3, ly(101)), (xb + 3, ly(107))], fill=(140, 150, 160))
    x0, x1, y0, y1 = lx(248), lx(305), ly(55), ly(98)
    s.rect(x0 + 3, y0 + 5, x1 + 4, y1 + 1, fill=(30, 40, 50), radius=8, alpha=0.25, blur=4)
    s.vertical_gradient(x0, y0, x1, y1, [(0.0, (110, 128, 152)), (1.0, INSTRUMENT)], radius=8)
    s.rect(x0, y0, x1, y1, outline=(48, 58, 74), width=1.5, radius=8)
    s.rect(x0 + 4, y0 + 2, x1 - 4, y0 + 5, fill=(255, 255, 255), alpha=0.12, radius=2)
    # Display bezel and window, a little larger than three 30-point digit cells.
    s.rect(lx(255.5), ly(65.5), lx(293), ly(88), fill=(170, 182, 198), radius=5)
    s.vertical_gradient(lx(256.5), ly(66.5), lx(292), ly(87),
                        [(0.0, DISPLAY), (1.0, (34, 50, 92))], radius=4)
    # Status lamp, loudspeaker slots (the click) and two knobs.
    s.ellipse(lx(298.5), ly(61), 7, fill=(90, 255, 120), alpha=0.45, blur=3)
    s.ellipse(lx(298.5), ly(61), 3.4, fill=(110, 240, 130), outline=(30, 90, 40), width=0.8)
    for i in range(4):
        x = lx(259) + i * 7
        s.rect(x, ly(91), x + 3, ly(95.5), fill=(40, 48, 60), radius=1.5)
    for x in (lx(287), lx(298.5)):
        s.ellipse(x + 1, ly(93.5) + 1.5, 6, fill=(20, 24, 30), alpha=0.35, blur=1.5)
        s.ellipse(x, ly(93.5), 6, fill=(226, 230, 236), outline=(70, 78, 90), width=1)
        s.line([(x, ly(93.5) - 5), (x, ly(93.5) - 1.5)], (60, 66, 76), width=1.2)


def bezier(ctrl, n):
    (x0, y0), (x1, y1), (x2, y2), (x3, y3) = ctrl
    pts = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        pts.append((u ** 3 * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t ** 3 * x3,
                    u ** 3 * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t ** 3 * y3))
    return pts


def make_experiment_picture(path, seed=3):
    s = Sketch(WIDTH, HEIGHT, origin=ORIGIN)
    draw_room(s)
    draw_warning_sign(s)
    draw_timer(s)
    draw_flight_path(s)
    draw_detector(s)
    draw_counter(s)
    draw_source(s)
    rgb = s.finish(grain=1.0, seed=seed)
    # 256 colours. Maximum coverage keeps palette entries for the small saturated parts
    # (keys, lamp, warning yellow); error diffusion keeps the wall gradient free of bands.
    indexed = rgb.quantize(colors=256, method=Image.Quantize.MAXCOVERAGE, kmeans=3,
                           dither=Image.Dither.FLOYDSTEINBERG)
    indexed.save(path, format="GIF", optimize=False)
    return rgb
