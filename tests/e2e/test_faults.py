"""What a school's computer throws at the program, end to end in a real window: sibling
files missing, empty, cut short or of another format; no sound server; the window
resized while a particle flies and while an interval runs; a screen scaled by 2.
Each time the program says in German what is wrong (a picture: one warning box naming
the file; the click sound: a line in its log or one box) and goes on with the lesson."""

import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

from Xlib import Xatom

sys.path.insert(0, str(Path(__file__).resolve().parent))
from lesson_steps import closing_line, start_to_event_loop, step_number  # noqa: E402
from x_session import Timeout, XSession, test_arguments, wait_until  # noqa: E402

RED, BLACK, BLUE = (255, 0, 0), (0, 0, 0), (0, 0, 255)
PICTURES = ("kestrino.jpg", "quorvel2.jpg", "bild3c2.gif")
CLICK = "knack2.wav"
GOES_ON = ["ohne dieses Bild weiter"]
NO_SOUND_SERVER = "unix:/nonexistent"
TITLE_WORDS = ["emittierter", "Mikroteilchen", "Programmautor:"]  # "Zählstatistik" loses its umlaut on blue
ARGS = None

# Boxes of an undisturbed lesson, each known by words OCR reads reliably.
LESSON_BOXES = {"start hint": ["Beenden nur mit QUIT"],
                "theory": ["Statistik von zufällig erzeugten Mikroteilchen"],
                "halt": ["Laufende Mikroteilchen sind nicht"],
                "new series": ["Neue Versuchsreihe"]}


def original(name):
    return (ARGS.program.parent / name).read_bytes()


def half(name):
    data = original(name)
    return data[:len(data) // 2]


def as_png(name):
    return subprocess.run(["convert", f"{ARGS.program.parent / name}[0]", "png:-"],
                          capture_output=True, check=True).stdout


# Per kind of damage: each sibling file's new content (None: removed) and the words its
# message must hold. The folder is named so that the "missing" message shows it names
# the program's own folder, not the folder the program was started from.
PROGRAM_FOLDER = "schulrechner"
DAMAGE = {
    "missing": {name: (None, ["fehlt im Programmordner", PROGRAM_FOLDER]) for name in PICTURES}
    | {CLICK: (None, ["Datei fehlt"])},
    "empty": {name: (lambda: b"", ["ist leer", "0 Byte"]) for name in PICTURES}
    | {CLICK: (lambda: b"", ["keine WAV-Datei"])},
    # A WAV cut inside its sample data still plays what it has, by design; cut inside
    # the header it has no samples at all.
    "truncated": {name: (lambda name=name: half(name), ["beschädigt", "unvollständig", "abgeschnitten"])
                  for name in PICTURES}
    | {CLICK: (lambda: original(CLICK)[:40], ["keine Tondaten"])},
    "other format": {
        "kestrino.jpg": (lambda: original("bild3c2.gif"), ["kein JPEG-Bild", "ein GIF-Bild"]),
        "quorvel2.jpg": (lambda: b"Bilder folgen morgen.\n", ["kein JPEG-Bild", "unbekannte Daten"]),
        "bild3c2.gif": (lambda: as_png("bild3c2.gif"), ["kein GIF-Bild", "ein PNG-Bild"]),
        CLICK: (lambda: b"ID3\x03\x00\x00\x00\x00\x00\x00\xff\xfb\x90\x64" + bytes(400), ["keine WAV-Datei"])},
}


def words(text):
    """OCR text on one line (a message box wraps long lines where it likes), without the
    small punctuation OCR mixes up ("kestrino,jpg")."""
    return " ".join(text.split()).translate(str.maketrans("", "", ".,:;"))


def main_window(app, timeout=30):
    """The program's main window: its one top level that is not a box's (a warning box
    can be up before the main window has painted)."""
    def find():
        app._check_alive()
        return next((w for w in app.windows()
                     if not w.get_full_property(app.session.atom("WM_TRANSIENT_FOR"), Xatom.WINDOW)), None)
    app.window = wait_until(find, timeout, "the main window")
    return app.window


class Boxes:
    """Answers the program's message boxes as they come while a test waits for a screen,
    and keeps, in order, which box each was: every box must be one of `known`
    (name -> words), so an unexpected or unreadable box fails the test."""

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
        """Answers boxes until `ready()` holds between them; returns its result. With
        `ready` None, until the program has ended; returns its exit status."""
        app, deadline = self.app, time.monotonic() + timeout
        while True:
            if ready is None and app.proc.poll() is not None:
                return app.proc.returncode
            box = next((w for w in app.windows() if w.id != app.window.id), None) if app.proc.poll() is None else None
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


def read_ok(session, shot_or_grab, texts, name, **ocr):
    """True once OCR of `shot_or_grab()` holds every one of `texts` (for Boxes.until)."""
    return all(words(t) in words(session.ocr(shot_or_grab(), name, **ocr)) for t in texts)


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
    shown = session.ocr(step_number(app), "step-number", invert=True, psm=7).strip()
    return shown.isdigit() and 0 < int(shown) <= 40


def log_text(session, app_log):
    path = session.artefacts / app_log
    return path.read_text(errors="replace") if path.exists() else ""


def sharpness(shot):
    """Two measures of blue text in `shot`, both low for text enlarged from half
    resolution: for each of the four ways to cut it into 2 x 2 device-pixel blocks, the
    share of inked blocks that are not one colour (0 in one of them after pixel
    doubling); and the share of anti-aliased edge pixels among full-ink ones, which a
    smooth enlargement raises (about 0.46 for this title at scale 1, 0.19 drawn at 2)."""
    def ink(r, g, b):
        return b > 200 and r < 40 and g < 40

    def edge(r, g, b):
        return b > 200 and r < 180 and g < 180 and b - r > 60 and not ink(r, g, b)
    pixels = [[shot.pixel(i, j) for i in range(shot.width)] for j in range(shot.height)]
    blocks = {}
    for dx in (0, 1):
        for dy in (0, 1):
            cut = [[pixels[j][i], pixels[j][i + 1], pixels[j + 1][i], pixels[j + 1][i + 1]]
                   for j in range(dy, shot.height - 1, 2) for i in range(dx, shot.width - 1, 2)]
            inked = [len(set(block)) > 1 for block in cut if any(ink(*p) for p in block)]
            blocks[(dx, dy)] = sum(inked) / max(len(inked), 1)
    flat = [p for row in pixels for p in row]
    return blocks, sum(edge(*p) for p in flat) / max(sum(ink(*p) for p in flat), 1)


def resize(session, app, width, height):
    """Sets the main window's size, as a window manager does when the user drags its
    corner, and measures the drawing area anew once the program has taken the size."""
    session.xdotool("windowsize", app.window.id, width, height)
    wait_until(lambda: session.geometry(app.window)[2:] == (width, height), 30, f"the window at {width}x{height}")
    wait_until(lambda: app.measure_area()[2] == width, 30, "the drawing area at the new width")


def counting(app, changes_needed=3):
    """The step number under "Zeit" changes, i.e. is being drawn at its logical place."""
    changes, previous = 0, step_number(app).rgb
    deadline = time.monotonic() + 10
    while changes < changes_needed and time.monotonic() < deadline:
        current = step_number(app).rgb
        changes, previous = changes + (current != previous), current
        time.sleep(0.02)
    return changes >= changes_needed


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
                for name in (*PICTURES, CLICK):
                    content, _ = damage[name]
                    if content is not None:
                        (folder / name).write_bytes(content())
                self.lesson_with_damage(session, folder, damage)

    def lesson_with_damage(self, session, folder, damage):
        picture_boxes = {name: [name, *damage[name][1], *GOES_ON] for name in PICTURES}
        click_box = {CLICK: [CLICK, "Klickton"]}
        app = session.launch(folder / "mikroteilchen", log_name="program.log")
        main_window(app)
        boxes = Boxes(session, app, LESSON_BOXES | picture_boxes | click_box)

        # The title screen: a box for each title picture, then frames and prompt without them.
        boxes.until(lambda: title_prompt_up(session, app), "the title prompt")
        self.assertEqual(boxes.seen, ["kestrino.jpg", "quorvel2.jpg"])
        self.assertTrue(app.line_near(4, 100, BLACK) and app.line_near(318, 100, BLUE), "title frames")
        session.wait_text(lambda: session.grab(*app.area), TITLE_WORDS, "title-texts")
        session.screenshot("title-screen")
        app.key("space")

        # The start picture is loaded after the start hint; its outline is drawn anyway.
        boxes.until(lambda: boxes.seen[-1:] == ["theory"], "the theory box", timeout=60)
        self.assertEqual(boxes.seen[2:], ["start hint", "bild3c2.gif", "theory"])
        self.assertTrue(app.line_near(4, 100, BLACK) and app.line_near(316, 100, BLACK), "start picture outline")
        session.click(*app.to_screen(160, 100))

        # An experiment command: the demonstration loads its picture and runs; the click
        # file is first used at the first registered event.
        app.key("alt+e", "2")
        boxes.until(lambda: experiment_runs(session, app), "the demonstration to run")
        self.assertEqual(boxes.seen[5:6], ["bild3c2.gif"])
        session.screenshot("demonstration")
        # The click file's problem is told once: a line in the log, or a box naming it.
        click_line = f"Klickton „{CLICK}“ nicht verwendbar ("
        boxes.until(lambda: CLICK in boxes.seen or click_line in log_text(session, "program.log"),
                    "the click file's message")

        app.key("alt+d", "q")
        self.assertEqual(boxes.until(None, "the program to end", timeout=60), 0)
        # Quit ends the demonstration; the command's own series still opens its screen
        # (loading the picture once more) and stops at its first test of Quit.
        self.assertEqual([b for b in boxes.seen[6:] if b != CLICK], ["bild3c2.gif", "new series"])
        told = [line for line in log_text(session, "program.log").splitlines() if click_line in line]
        self.assertEqual(len(told) + boxes.seen.count(CLICK), 1, (told, boxes.seen))
        for word in damage[CLICK][1] if told else ():
            self.assertIn(word, told[0])

    def test_no_sound_server(self):
        with self.session("no-sound-server", audio=False) as session:
            app = start_to_event_loop(session, ARGS.program, env=session.env(PULSE_SERVER=NO_SOUND_SERVER))
            boxes = Boxes(session, app, LESSON_BOXES)
            app.key("alt+e", "2")
            boxes.until(lambda: experiment_runs(session, app), "the demonstration to run")
            # Its particles click without a sound device, up to the halt notice.
            boxes.until(lambda: "halt" in boxes.seen, "the halt notice", timeout=120)
            app.key("alt+d", "q")
            self.assertEqual(boxes.until(None, "the program to end", timeout=60), 0)
            told = [line for line in log_text(session, "mikroteilchen.log").splitlines()
                    if line.startswith("mikroteilchen:")]
            self.assertEqual(len(told), 1, told)
            self.assertIn("Klicks bleiben stumm", told[0])

    def test_resizing_before_and_during_a_run(self):
        with self.session("resize") as session:
            app = start_to_event_loop(session, ARGS.program)
            boxes = Boxes(session, app, LESSON_BOXES)

            # Resized in the event loop: the experiment screen is laid out for the new size,
            # the demonstration's dot flies along the path at logical height 135.
            resize(session, app, 640, 500)
            app.key("alt+e", "3")
            boxes.until(lambda: app.line_near(4, 100, BLACK) and app.line_near(316, 100, BLACK),
                        "the experiment picture's outline at logical x 4 and 316")
            boxes.until(lambda: app.grab_logical(85, 130, 252, 140).count(RED) > 20, "a red dot in flight")
            session.screenshot("flight-at-640x500")

            # Resized while the dot flies: the run goes on, drawn in the size it began with and
            # shown scaled to the window, so the step number counts in its field under "Zeit"
            # and the dot flies on along its path at logical height 135.
            resize(session, app, 880, 660)
            boxes.until(lambda: counting(app), "the step number to count on after resizing")
            spots = set()

            def moving():
                spots.add(app.grab_logical(85, 128, 252, 142).box_of(RED))
                return len(spots - {None}) >= 3
            boxes.until(moving, "the red dot to fly on along its path")
            session.screenshot("flight-after-resize")

            # Resized while an interval of the series runs: the step number counts on at
            # its new place, the next interval's graph frame is drawn for the new size.
            boxes.until(lambda: boxes.seen[-1:] == ["new series"], "the series of ten intervals", timeout=120)
            boxes.until(lambda: counting(app), "the series' step number")
            resize(session, app, 960, 720)
            boxes.until(lambda: counting(app), "the step number to count on after resizing")
            boxes.until(lambda: all(app.line_near(x, 60, BLACK) for x in (100, 220)),
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
            main_window(app)
            boxes = Boxes(session, app, LESSON_BOXES)
            boxes.until(lambda: title_prompt_up(session, app), "the title prompt")
            self.assertGreater(app.area[2], 1024, "the window is not scaled")
            self.assertTrue(all(app.line_near(lx, ly, colour, spread=2) for lx, colour in ((4, BLACK), (318, BLUE))
                                for ly in (20, 180)), "title frames at logical x 4 and 318")
            session.wait_text(lambda: session.grab(*app.area), TITLE_WORDS, "title-texts",
                              scale=50)
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
