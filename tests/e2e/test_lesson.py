"""The lesson as a class sees it, end to end in a real window: "&3 Experiment 10 x
wiederholen" as the first command runs the demonstration (the flying dot, the halt
notice), announces a new series and measures ten intervals into the frequency graph;
then both mouse buttons end a running interval of "&2 Neues Experiment / 1 x wiederholen"."""

import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from lesson_steps import answer_box, closing_line, start_to_event_loop, step_number  # noqa: E402
from x_session import XSession, test_arguments, wait_until  # noqa: E402

RED = (255, 0, 0)
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


class Lesson(unittest.TestCase):
    def test_demonstration_ten_intervals_and_both_buttons(self):
        with XSession(ARGS.artefacts) as session:
            app = start_to_event_loop(session, ARGS.program)
            app.key("alt+e", "3")

            # The first pass of the demonstration: the label, and a red dot on the flight
            # path at height 135 in the steps that emit a particle.
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

            # Both buttons end a running interval: the step number stops short of 100.
            app.key("alt+e", "2")
            changes, previous = 0, step_number(app).rgb
            deadline = time.monotonic() + 60
            while changes < 3 and time.monotonic() < deadline:
                current = step_number(app).rgb
                changes, previous = changes + (current != previous), current
                time.sleep(0.01)
            self.assertEqual(changes, 3, "the step number under \"Zeit\" did not start changing")
            session.move(*app.to_screen(160, 170))
            session.press_buttons(1, 3)
            rested = []

            def resting():
                rested.append(step_number(app).rgb)
                return len(rested) > 15 and len(set(rested[-15:])) == 1  # unchanged for about 1.5 s
            wait_until(resting, 60, "the step number to rest", interval=0.1)
            session.release_buttons(1, 3)
            shown = session.ocr(step_number(app), "step-number-after-both-buttons", invert=True, psm=7).strip()
            self.assertTrue(shown.isdigit() and 0 < int(shown) < 100, f"step number read: {shown!r}")
            session.wait_text(lambda: closing_line(app), ["n:11"], "closing-line-11")
            session.screenshot("interval-ended-by-both-buttons")

            app.close()
            self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
