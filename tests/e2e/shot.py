"""Screen pictures as the tests see them: RGB pixels of a screen rectangle."""

import subprocess


class Shot:
    """An RGB picture of a screen rectangle; `origin` is its top-left corner on the screen."""

    def __init__(self, width, height, rgb, origin=(0, 0)):
        self.width, self.height, self.rgb, self.origin = width, height, rgb, origin

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def crop(self, x, y, width, height):
        rows = [self.rgb[3 * ((y + r) * self.width + x):3 * ((y + r) * self.width + x + width)]
                for r in range(height)]
        return Shot(width, height, b"".join(rows), (self.origin[0] + x, self.origin[1] + y))

    def count(self, colour, tolerance=0):
        """How many pixels lie within `tolerance` of `colour` in every channel."""
        # Per channel a byte string of 0/1 matches, then the three ANDed as big integers:
        # fast enough to call on a whole window in a polling loop.
        matches = -1
        for channel in range(3):
            table = bytes(int(abs(v - colour[channel]) <= tolerance) for v in range(256))
            matches &= int.from_bytes(self.rgb[channel::3].translate(table), "big")
        return bin(matches).count("1")

    def box_of(self, colour):
        """Smallest rectangle (x, y, width, height) holding every pixel of exactly `colour`, or None."""
        hits = [(x, y) for y in range(self.height) for x in range(self.width) if self.pixel(x, y) == colour]
        if not hits:
            return None
        xs, ys = [x for x, _ in hits], [y for _, y in hits]
        return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb

    def save(self, path, *convert_options):
        """Writes a PNG; `convert_options` are ImageMagick operators applied on the way."""
        subprocess.run(["convert", "ppm:-", *convert_options, f"png:{path}"], input=self.ppm(), check=True)
        return path


def colour_close(a, b, tolerance=2):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))
