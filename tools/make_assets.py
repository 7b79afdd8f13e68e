#!/usr/bin/python3
"""Regenerates every picture and sound file the program reads, all drawn here from shapes,
gradients and seeded noise.

Run from the repository root:  /usr/bin/python3 tools/make_assets.py
It writes assets/bild3c2.gif, assets/kestrino.jpg, assets/quorvel2.jpg, assets/knack2.wav and
assets/icon/ (mikroteilchen.svg and the hicolor PNGs). Needs Debian's python3-pil and
python3-numpy (apt-get install -y python3-pil python3-numpy); only regenerating needs them,
the build uses the committed files. Seeds are fixed, so the same package versions give the
same files. tools/preview_assets.py shows the pictures with the program's texts over them.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from app_icon import make_icons  # noqa: E402
from click_sound import make_click  # noqa: E402
from experiment_picture import make_experiment_picture  # noqa: E402
from title_pictures import make_left, make_right  # noqa: E402


def main():
    assets = os.path.normpath(os.path.join(HERE, "..", "assets"))
    os.makedirs(assets, exist_ok=True)
    make_experiment_picture(os.path.join(assets, "bild3c2.gif"))
    make_left(os.path.join(assets, "kestrino.jpg"))
    make_right(os.path.join(assets, "quorvel2.jpg"))
    make_click(os.path.join(assets, "knack2.wav"))
    make_icons(os.path.join(assets, "icon"))
    for root, _, files in sorted(os.walk(assets)):
        for name in sorted(files):
            path = os.path.join(root, name)
            print(f"{os.path.relpath(path, assets):48s} {os.path.getsize(path):8d} bytes")


if __name__ == "__main__":
    main()
