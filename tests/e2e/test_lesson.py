"""The whole lesson as a class takes it, in one real window from the start to Quit:
the title screen, the start hint, the start picture behind the theory box; "&3
Experiment 10 x wiederholen" as the first command runs the demonstration (the flying
dot, the halt notice), announces a new series and fills the graph with ten intervals;
"&Theorie" ends a running interval of "&2 Neues Experiment / 1 x wiederholen";
"&Info" during a ten-interval run draws the start picture over the experiment and the
run goes on, while an EXPERIMENT entry chosen meanwhile is ignored; "&1 Demo-Experiment"
shows the flight again, without the demonstration label, and "&Autor" during it ends
the demonstration, which has cleared the table for the next series; both mouse buttons
end a running interval; Quit from the DESK menu ends the program with status 0."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
# start_to_event_loop is imported for the clicks test, which takes its steps from here.
from lesson_steps import answer_box, closing_line, start_to_event_loop, step_number  # noqa: E402,F401
from x_session import BACKGROUND, XSession, test_arguments, wait_until  # noqa: E402

RED = (255, 0, 0)
BLACK = (0, 0, 0)
LIGHT_BLUE = (153, 204, 255)
ARGS = None


def read_mean(session, app, shot):
    """The mean and its label, white on the two red fields near the upper left, read
    from the fields alone (the light wall around them would read as white ink)."""
    texts = []
    for name, top, bottom in (("mean-label", 26, 40), ("mean-value", 40, 62)):
        region = app.grab_logical(5, top, 90, bottom, shot)
        x, y, w, h = region.box_of(RED)
        field = region.crop(x + 1, y + 1, w - 2, h - 2)
        texts.append(session.ocr(field, name, invert=True, threshold=None, psm=7).strip())
    label, value = texts[0], texts[1].replace(" ", "")
    # The mean always has exactly one decimal; its thin comma is the glyph OCR loses most
    # often, so digits alone are read as tenths ("91" is 9,1).
    if value.isdigit() and len(value) >= 2:
        value = value[:-1] + "," + value[-1]
    return label, value


def measured_points(app, shot):
    """Frequency of each count k = 1..20 as the red measured point of the graph shows it:
    the point of frequency h is centred at logical (100 + 6k, 100 - 4h)."""
    area_y, height = app.area[1], app.area[3]
    top, bottom = app.to_screen(0, 15)[1], app.to_screen(0, 103)[1]
    frequencies = {}
    for k in range(1, 21):
        centre = app.to_screen(100 + 6 * k, 0)[0]
        # Two pixels beside the centre: the white expected point does not cover them, and
        # the one-pixel red mean line can cover at most one of the two columns.
        for x in (centre - 2, centre + 2):
            rows = [y for y in range(top, bottom) if shot.pixel(x - shot.origin[0], y - shot.origin[1]) == RED]
            if rows and rows[-1] - rows[0] <= 12:
                break
        else:
            raise AssertionError(f"no single red point in the column of count {k}: rows {rows}")
        ly = ((rows[0] + rows[-1]) / 2 - area_y) * 200 / height
        frequencies[k] = round((100 - ly) / 4)
    return frequencies


def wait_steps_running(app, what):
    """Waits until the step number under "Zeit" has changed three times."""
    seen = [step_number(app).rgb]

    def changed():
        current = step_number(app).rgb
        if current != seen[-1]:
            seen.append(current)
        return len(seen) > 3
    wait_until(changed, 60, f"the step number under \"Zeit\" to change ({what})", interval=0.01)


def picture_beside_box(app, shot, box_rect):
    """The strips of the start picture (logical 4..316 x 4..196) left and right of a
    message box that stands in its middle."""
    (x0, y0), (x1, y1) = app.to_screen(4, 4), app.to_screen(317, 197)
    bx, _, bw, _ = box_rect
    assert x0 < bx and bx + bw < x1, f"the box {box_rect} does not leave the picture's sides free"
    ox, oy = shot.origin
    return [shot.crop(x0 - ox, y0 - oy, bx - x0, y1 - y0), shot.crop(bx + bw - ox, y0 - oy, x1 - bx - bw, y1 - y0)]


def share_differing(a, b):
    """Share of the pixels that differ between two pictures of one size."""
    differing = sum(a.rgb[i:i + 3] != b.rgb[i:i + 3] for i in range(0, len(a.rgb), 3))
    return differing / (a.width * a.height)


class Lesson(unittest.TestCase):
    def assert_interval_ended_early(self, session, app, name):
        shown = session.ocr(step_number(app), f"step-number-{name}", invert=True, psm=7).strip()
        self.assertTrue(shown.isdigit() and 0 < int(shown) < 100, f"step number read after {name}: {shown!r}")

    def test_whole_lesson(self):
        with XSession(ARGS.artefacts) as session:
            app = session.launch(ARGS.program)
            app.wait_main_window()
            app.wait_pixels("the title screen", lambda shot: shot.count(BACKGROUND) > 1000)
            app.measure_area()
            session.wait_text(lambda: app.grab_logical(0, 189, 320, 200), ["Weiter ?"], "title-prompt", invert=True)
            session.screenshot("title-screen")
            app.key("space")
            answer_box(session, app, ["Beenden nur mit QUIT!", "beiden Maustasten"], "start-hint")

            # The theory box stands over the start picture, whose black outline runs down
            # logical x 4 and 316; what it leaves free is kept to compare with "&Info".
            theory = app.wait_box()
            session.wait_text(lambda: session.grab_window(theory), ["Poisson-Verteilung", "Varnholt"], "theory")
            outline = [(lx, ly) for lx in (4, 316) for ly in (20, 180)]
            wait_until(lambda: all(app.line_near(lx, ly, BLACK) for lx, ly in outline),
                       30, "the black outline of the start picture at logical x 4 and 316")
            start_picture = picture_beside_box(app, session.grab(), session.geometry(theory))
            session.screenshot("start-picture-and-theory")
            app.key("Return")
            app.wait_box_gone(theory)
            session.click(*app.to_screen(160, 100))  # ends the wait before the event loop

            # "&3" as the first command runs the demonstration first: its label, and a red
            # dot on the flight path at height 135 in the steps that emit a particle.
            app.key("alt+e", "3")
            session.wait_text(lambda: app.grab_logical(5, 5, 60, 20), ["DEMO"], "demo-label")
            flight = app.wait_pixels("a red dot in flight",
                                     lambda shot: app.grab_logical(85, 130, 252, 140, shot).count(RED) > 50, 60)
            session.save(flight, "demo-flight")
            app.wait_box(120)
            session.wait_text(lambda: app.grab_logical(5, 5, 75, 27), ["Halt"], "halt-label", scale=50)
            session.screenshot("halt-notice")
            answer_box(session, app, ["Laufende Mikroteilchen sind nicht", "beobachtbar"], "halt-box")
            answer_box(session, app, ["Neue Versuchsreihe!"], "new-series-box")

            session.wait_text(lambda: closing_line(app), ["Zahl der Versuche", "n:10"], "closing-line-10",
                              timeout=240)
            graph = session.grab_window(app.window)
            session.save(graph, "graph-after-ten-intervals")
            label, mean = read_mean(session, app, graph)
            self.assertEqual(label, "Mittelwert:")
            frequencies = measured_points(app, graph)
            self.assertTrue(any(h > 0 for h in frequencies.values()), f"no red point above the axis: {frequencies}")
            total = sum(frequencies.values())
            self.assertLessEqual(total, 10, frequencies)
            # Counts of 0 or above 20 are not drawn (about one run in a hundred has one);
            # otherwise the points are the ten intervals and their mean is the one shown.
            if total == 10:
                expected = sum(k * h for k, h in frequencies.items()) / 10
                self.assertEqual(mean, f"{expected:.1f}".replace(".", ","), frequencies)

            # "&Theorie" ends a running interval once its box is closed.
            app.key("alt+e", "2")
            wait_steps_running(app, "one interval")
            app.key("alt+h", "t")
            answer_box(session, app, ["Varnholt"], "theory-during-run", timeout=60)
            session.wait_text(lambda: closing_line(app), ["n:11"], "closing-line-11", timeout=60)
            self.assert_interval_ended_early(session, app, "theory")

            # "&Info" during ten intervals: the start picture with its outline over the whole
            # experiment (graph, "Zeit" and the mean are gone beside the theory box) ...
            app.key("alt+e", "3")
            wait_steps_running(app, "ten intervals")
            app.key("alt+d", "i")
            info = app.wait_box(60)
            session.wait_text(lambda: session.grab_window(info), ["Varnholt"], "theory-from-info")
            wait_until(lambda: all(app.line_near(lx, ly, BLACK) for lx, ly in outline),
                       30, "the start picture's outline over the experiment")
            screen = session.grab()
            session.save(screen, "info-over-the-experiment")
            for side, then, now in zip(("left", "right"), start_picture,
                                       picture_beside_box(app, screen, session.geometry(info))):
                self.assertLess(share_differing(then, now), 0.01, f"{side} of the box: not the start picture")
            app.key("Return")
            app.wait_box_gone(info)
            # ... and the run goes on over it; an EXPERIMENT entry chosen now starts nothing
            # (a demonstration inside it would end with its halt box and reset n).
            wait_steps_running(app, "after Info")
            app.key("alt+e", "1")
            session.wait_text(lambda: closing_line(app), ["n:21"], "closing-line-21", timeout=120)
            self.assertEqual(len(app.windows()), 1, "a box opened during the run")
            session.screenshot("ten-intervals-after-info")

            # "&1" shows the flight again, now without the demonstration label; "&Autor"
            # during its first pass ends the demonstration: no halt notice follows, so the
            # next series command is carried out and announces a new series.
            app.key("alt+e", "1")
            flight = app.wait_pixels("a red dot in flight again",
                                     lambda shot: app.grab_logical(85, 130, 252, 140, shot).count(RED) > 50, 60)
            session.save(flight, "demonstration-again")
            label_place = app.grab_logical(5, 5, 60, 20, flight)
            self.assertEqual((label_place.count(RED), label_place.count(LIGHT_BLUE)), (0, 0), "a DEMO label")
            app.key("alt+d", "a")
            answer_box(session, app, ["Programmautor", "Schulprojekt"], "author-box", timeout=60)
            session.wait_text(lambda: closing_line(app), ["n:1\n"], "closing-line-demonstration", timeout=60)
            app.key("alt+e", "2")
            answer_box(session, app, ["Neue Versuchsreihe!"], "new-series-after-demonstration", timeout=60)

            # The demonstration cleared the table: one interval, one point, n:1 again.
            session.wait_text(lambda: closing_line(app), ["n:1\n"], "closing-line-1", timeout=60)
            shot = session.grab_window(app.window)
            session.save(shot, "graph-after-one-interval")
            shown = session.ocr(step_number(app), "step-number-full-interval", invert=True, psm=7).strip()
            self.assertEqual(shown, "100")
            frequencies = {k: h for k, h in measured_points(app, shot).items() if h}
            self.assertLessEqual(sum(frequencies.values()), 1, frequencies)
            if frequencies:
                (count, _), = frequencies.items()
                self.assertEqual(read_mean(session, app, shot)[1], f"{count},0")

            # Both buttons end a running interval: the run ends short of step 100.
            app.key("alt+e", "2")
            wait_steps_running(app, "one interval")
            session.move(*app.to_screen(160, 170))
            session.press_buttons(1, 3)
            session.wait_text(lambda: closing_line(app), ["n:2"], "closing-line-2", timeout=60)
            session.release_buttons(1, 3)
            self.assert_interval_ended_early(session, app, "both-buttons")
            session.screenshot("interval-ended-by-both-buttons")
            # Buttons let go after the run do not cut the next one short.
            app.key("alt+e", "2")
            session.wait_text(lambda: closing_line(app), ["n:3"], "closing-line-3", timeout=60)
            self.assertEqual(session.ocr(step_number(app), "step-number-after-release", invert=True, psm=7).strip(),
                             "100")

            app.choose_menu("DESK", "Quit")
            self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
