"""What a school's computer throws at the program, in a real window: sibling files missing,
empty, cut short or of another format; no sound server; the window resized while a particle
flies and while an interval runs; a screen scaled by 2. Each time the program says in German
what is wrong (a picture: one box naming the file; the click sound: a log line or one box)
and goes on with the lesson."""

import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from lesson_steps import (BLACK, PICTURE_OUTLINE, RED, TITLE_FRAMES, closing_line, counting, dot_in_flight,  # noqa: E402
                          lines_at, read_step, start_up)
from x_session import Timeout, XSession, test_arguments, wait_until  # noqa: E402

PICTURES = ("kestrino.jpg", "quorvel2.jpg", "bild3c2.gif")
CLICK = "knack2.wav"
GOES_ON = ["ohne dieses Bild weiter"]
TITLE_WORDS = ["emittierter", "Mikroteilchen", "Programmautor:"]  # "Zählstatistik" loses its umlaut on blue
ARGS = None
# Boxes of an undisturbed lesson, each known by words OCR reads reliably.
LESSON_BOXES = {"start hint": ["Beenden nur mit QUIT"], "theory": ["Statistik von zufällig erzeugten Mikroteilchen"],
                "halt": ["Laufende Mikroteilchen sind nicht"], "new series": ["Neue Versuchsreihe"]}


def original(name):
    return (ARGS.program.parent / name).read_bytes()


def as_png(name):
    return subprocess.run(["convert", f"{ARGS.program.parent / name}[0]", "png:-"],
                          capture_output=True, check=True).stdout


# Per kind of damage: each sibling file's new content (None: removed) and the words its
# message must hold. The folder is named so that the "missing" message shows it names
# the program's own folder, not the folder the program was started from.
PROGRAM_FOLDER = "schulrechner"
DAMAGE = {
    "missing": {name: (None, ["fehlt im Programmordner", PROGRAM_FOLDER]) for name in PICTURES}
    | {CLICK: (None, ["fehlt im Programmordner"])},
    "empty": {name: (lambda: b"", ["ist leer", "0 Byte"]) for name in PICTURES}
    | {CLICK: (lambda: b"", ["ist leer"])},
    # A WAV cut inside its sample data still plays what it has, by design; cut inside
    # the header it has no samples at all.
    "truncated": {name: (lambda name=name: original(name)[:len(original(name)) // 2],
                         ["beschädigt", "unvollständig", "abgeschnitten"]) for name in PICTURES}
    | {CLICK: (lambda: original(CLICK)[:40], ["unvollständig", "Tondaten"])},
    "other format": {
        "kestrino.jpg": (lambda: original("bild3c2.gif"), ["kein JPEG-Bild", "ein GIF-Bild"]),
        "quorvel2.jpg": (lambda: b"Bilder folgen morgen.\n", ["kein JPEG-Bild", "unbekannte Daten"]),
        "bild3c2.gif": (lambda: as_png("bild3c2.gif"), ["kein GIF-Bild", "ein PNG-Bild"]),
        CLICK: (lambda: b"ID3\x03\x00\x00\x00\x00\x00\x00\xff\xfb\x90\x64" + bytes(400), ["keine WAV"])},
}


def words(text):
    """OCR text on one line (a box wraps long lines where it likes), without the small
    punctuation OCR mixes up ("kestrino,jpg")."""
    return " ".join(text.split()).translate(str.maketrans("", "", ".,:;"))


def read_ok(session, grab, texts, name, **ocr):
    """OCR of `grab()` holds every one of `texts` (a check for Boxes.until)."""
    return all(words(t) in words(session.ocr(grab(), name, **ocr)) for t in texts)


class Boxes:
    """Answers the program's boxes as they come while a test waits for a screen, and keeps
    in order which each was: every box must be one of `known` (name -> words)."""

    def __init__(self, session, app, known):
        self.session, self.app, self.known, self.seen = session, app, dict(known), []

    def read(self, box):
        texts = []

        def which():
            texts.append(words(self.session.ocr(self.session.grab_window(box), f"box-{len(self.seen) + 1}")))
            return next((name for name, need in self.known.items() if all(words(w) in texts[-1] for w in need)),
                        None)
        try:
            return wait_until(which, 20, "a known message box", interval=0.3)
        except Timeout:
            raise AssertionError(f"a message box none of {list(self.known)}: {texts[-1]!r}") from None

    def until(self, ready, what, timeout=90):
        """Answers boxes until `ready()` holds between them and returns its result; with
        `ready` None, until the program has ended, and returns its exit status."""
        app, deadline = self.app, time.monotonic() + timeout
        while True:
            ended = app.proc.poll() is not None
            if ready is None and ended:
                return app.proc.returncode
            box = None if ended else next((w for w in app.windows() if w.id != app.window.id), None)
            if box:
                self.seen.append(self.read(box))
                app.key("Return")
                # The last box may be answered by the program's end.
                wait_until(lambda: app.proc.poll() is not None or all(w.id != box.id for w in app.windows()),
                           30, "the message box to close")
                continue
            if ready is not None:
                app._check_alive()
                result = ready()
                if result:
                    return result
            if time.monotonic() > deadline:
                self.session.screenshot("timeout")
                raise Timeout(f"waited {timeout} s for {what}; boxes so far: {self.seen}")
            time.sleep(0.1)


def title_prompt_up(session, app):
    try:
        app.measure_area()
    except AssertionError:
        return False
    return read_ok(session, lambda: app.grab_logical(0, 189, 320, 200), ["Weiter ?"], "title-prompt", invert=True)


def experiment_runs(session, app):
    """The demonstration's label is up and its step number under "Zeit" is counting."""
    if not read_ok(session, lambda: app.grab_logical(5, 5, 60, 20), ["DEMO"], "demo-label", psm=7):
        return False
    shown = read_step(session, app, "demo")
    return shown.isdigit() and 0 < int(shown) <= 40


def sharpness(shot):
    """Two measures of blue text in `shot`, both low for text enlarged from half resolution:
    for each of the four ways to cut it into 2 x 2 device-pixel blocks, the share of inked
    blocks that are not one colour (0 in one of them after pixel doubling); and the share
    of anti-aliased edge pixels among full-ink ones, which a smooth enlargement raises
    (about 0.46 for this title at scale 1, 0.19 drawn at 2)."""
    def ink(p):
        return p[2] > 200 and p[0] < 40 and p[1] < 40
    pixels = [[shot.pixel(i, j) for i in range(shot.width)] for j in range(shot.height)]
    blocks = {}
    for dx, dy in ((0, 0), (0, 1), (1, 0), (1, 1)):
        cut = [[pixels[j][i], pixels[j][i + 1], pixels[j + 1][i], pixels[j + 1][i + 1]]
               for j in range(dy, shot.height - 1, 2) for i in range(dx, shot.width - 1, 2)]
        inked = [len(set(block)) > 1 for block in cut if any(map(ink, block))]
        blocks[(dx, dy)] = sum(inked) / max(len(inked), 1)
    flat = [p for row in pixels for p in row]
    edges = sum(p[2] > 200 and p[0] < 180 and p[1] < 180 and p[2] - p[0] > 60 and not ink(p) for p in flat)
    return blocks, edges / max(sum(map(ink, flat)), 1)


def resize(session, app, width, height):
    """Sets the main window's size, as a window manager does when the user drags its
    corner, and measures the drawing area anew once the program has taken it."""
    session.xdotool("windowsize", app.window.id, width, height)
    wait_until(lambda: session.geometry(app.window)[2:] == (width, height), 30, f"the window at {width}x{height}")
    wait_until(lambda: app.measure_area()[2] == width, 30, "the drawing area at the new width")


class Faults(unittest.TestCase):
    def session(self, name, **options):
        return XSession(ARGS.artefacts / name, **options)

    def test_damaged_sibling_files(self):
        for kind, damage in DAMAGE.items():
            with self.subTest(kind=kind), self.session(kind.replace(" ", "-")) as session, \
                    tempfile.TemporaryDirectory(prefix="mt-faults-") as root:
                folder = Path(root, PROGRAM_FOLDER)
                folder.mkdir()
                shutil.copy(ARGS.program, folder)
                for name, (content, _) in damage.items():
                    if content is not None:
                        (folder / name).write_bytes(content())
                self.lesson_with_damage(session, folder, damage)

    def lesson_with_damage(self, session, folder, damage):
        app = session.launch(folder / "mikroteilchen", log_name="program.log")
        app.wait_main_window()
        boxes = Boxes(session, app, LESSON_BOXES | {name: [name, *damage[name][1], *GOES_ON] for name in PICTURES}
                      | {CLICK: [CLICK, "Klickton", *damage[CLICK][1]]})

        # The title screen: a box for each title picture, then frames and prompt without them.
        boxes.until(lambda: title_prompt_up(session, app), "the title prompt")
        self.assertEqual(boxes.seen, ["kestrino.jpg", "quorvel2.jpg"])
        self.assertTrue(lines_at(app, TITLE_FRAMES, rows=(100,)), "title frames")
        session.wait_text(lambda: session.grab(*app.area), TITLE_WORDS, "title-texts")
        session.screenshot("title-screen")
        app.key("space")

        # The start picture is loaded after the start hint; its outline is drawn anyway.
        boxes.until(lambda: boxes.seen[-1:] == ["theory"], "the theory box", timeout=60)
        self.assertEqual(boxes.seen[2:], ["start hint", "bild3c2.gif", "theory"])
        self.assertTrue(lines_at(app, PICTURE_OUTLINE, rows=(100,)), "start picture outline")
        session.click(*app.to_screen(160, 100))

        # An experiment command: the demonstration loads its picture and runs; the click
        # file is first used at the first registered event.
        app.key("alt+e", "2")
        boxes.until(lambda: experiment_runs(session, app), "the demonstration to run")
        self.assertEqual(boxes.seen[5:6], ["bild3c2.gif"])
        session.screenshot("demonstration")
        # The click file's problem is told in a box at the first click.
        boxes.until(lambda: CLICK in boxes.seen, "the click file's message")

        app.key("alt+d", "q")
        self.assertEqual(boxes.until(None, "the program to end", timeout=60), 0)
        # Quit ends the demonstration; the command's own series still opens its screen
        # (loading the picture once more) and stops at its first test of Quit.
        self.assertEqual([b for b in boxes.seen[6:] if b != CLICK], ["bild3c2.gif", "new series"])
        self.assertEqual(boxes.seen.count(CLICK), 1, boxes.seen)

    def test_no_sound_server(self):
        with self.session("no-sound-server", audio=False) as session:
            app = start_up(session, ARGS.program, env=session.env(PULSE_SERVER="unix:/nonexistent"))
            boxes = Boxes(session, app, LESSON_BOXES)
            app.key("alt+e", "2")
            boxes.until(lambda: experiment_runs(session, app), "the demonstration to run")
            # Its particles click without a sound device, up to the halt notice.
            boxes.until(lambda: "halt" in boxes.seen, "the halt notice", timeout=120)
            app.key("alt+d", "q")
            self.assertEqual(boxes.until(None, "the program to end", timeout=60), 0)
            told = [line for line in session.log_text("mikroteilchen.log").splitlines()
                    if line.startswith("mikroteilchen:")]
            self.assertEqual(len(told), 1, told)
            self.assertIn("Klicks bleiben stumm", told[0])

    def test_resizing_before_and_during_a_run(self):
        with self.session("resize") as session:
            app = start_up(session, ARGS.program)
            boxes = Boxes(session, app, LESSON_BOXES)

            # Resized in the event loop: the experiment screen is laid out for the new size,
            # the demonstration's dot flies along its path.
            resize(session, app, 640, 500)
            app.key("alt+e", "3")
            boxes.until(lambda: lines_at(app, PICTURE_OUTLINE, rows=(100,)),
                        "the experiment picture's outline at logical x 4 and 316")
            boxes.until(lambda: dot_in_flight(app, least=20), "a red dot in flight")
            session.screenshot("flight-at-640x500")

            # Resized while the dot flies: the run goes on, drawn in the size it began with and
            # shown scaled, so the step number counts in its field under "Zeit" and the dot
            # flies on along its path at logical height 135.
            resize(session, app, 880, 660)
            boxes.until(lambda: counting(app, 10), "the step number to count on after resizing")
            spots = set()

            def moving():
                spots.add(app.grab_logical(85, 128, 252, 142).box_of(RED))
                return len(spots - {None}) >= 3
            boxes.until(moving, "the red dot to fly on along its path")
            session.screenshot("flight-after-resize")

            # Resized while an interval of the series runs: the step number counts on at
            # its new place, the next interval's graph frame is drawn for the new size.
            boxes.until(lambda: boxes.seen[-1:] == ["new series"], "the series of ten intervals", timeout=120)
            boxes.until(lambda: counting(app, 10), "the series' step number")
            resize(session, app, 960, 720)
            boxes.until(lambda: counting(app, 10), "the step number to count on after resizing")
            boxes.until(lambda: lines_at(app, ((100, BLACK), (220, BLACK)), rows=(60,)),
                        "the graph frame at logical x 100 and 220")
            boxes.until(lambda: read_ok(session, lambda: closing_line(app), ["Zahl der Versuche", "n:10"],
                                        "closing-line"), "the closing line")
            session.screenshot("interval-after-resize")
            app.close()
            self.assertEqual(boxes.until(None, "the program to end", timeout=60), 0)
            self.assertEqual(boxes.seen, ["halt", "new series"])

    def test_scale_factor_two(self):
        with self.session("scale-2", screen=(2048, 1536)) as session:
            app = session.launch(ARGS.program, env=session.env(QT_SCALE_FACTOR="2"))
            app.wait_main_window()
            boxes = Boxes(session, app, LESSON_BOXES)
            boxes.until(lambda: title_prompt_up(session, app), "the title prompt")
            self.assertGreater(app.area[2], 1024, "the window is not scaled")
            self.assertTrue(lines_at(app, TITLE_FRAMES, spread=2), "title frames at logical x 4 and 318")
            session.wait_text(lambda: session.grab(*app.area), TITLE_WORDS, "title-texts", scale=50)
            title = app.grab_logical(40, 38, 125, 57)
            session.save(title, "title-line")
            blocks, edges = sharpness(title)
            self.assertGreater(min(blocks.values()), 0.2, f"title text pixel-doubled: {blocks}")
            self.assertLess(edges, 0.3, "title text enlarged smoothly from half resolution")

            app.key("space")
            boxes.until(lambda: boxes.seen[-1:] == ["theory"], "the theory box")
            session.click(*app.to_screen(160, 100))
            app.key("alt+d", "q")
            self.assertEqual(boxes.until(None, "the program to end", timeout=60), 0)
            self.assertEqual(boxes.seen, ["start hint", "theory"])


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
