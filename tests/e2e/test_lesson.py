"""The whole lesson in one real window, from the start to Quit: the start-up; "&3" as the
first command runs the demonstration (flying dot, halt notice), announces a new series and
fills the graph with ten intervals; "&Theorie" ends a running interval; "&Info" during a
ten-interval run draws the start picture over the experiment, the run goes on and an
EXPERIMENT entry chosen meanwhile is ignored; "&1" flies again without the demonstration
label and "&Autor" during it ends the demonstration, which cleared the table; both mouse
buttons end a running interval; Quit from the DESK menu exits with status 0."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from lesson_steps import (LIGHT_BLUE, PICTURE_OUTLINE, RED, answer_box, counting,  # noqa: E402
                          lines_at, measured_points, read_box, read_mean, read_step, start_up, wait_closing,
                          wait_flight)
from x_session import XSession, test_arguments, wait_until  # noqa: E402

ARGS = None


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
        shown = read_step(session, app, name)
        self.assertTrue(shown.isdigit() and 0 < int(shown) < 100, f"step number read after {name}: {shown!r}")

    def test_whole_lesson(self):
        with XSession(ARGS.artefacts) as session:
            # What the theory box leaves free of the start picture is kept to compare with "&Info".
            app = start_up(session, ARGS.program, until="theory box")
            theory = app.windows()[-1]
            start_picture = picture_beside_box(app, session.grab(), session.geometry(theory))
            app.key("Return")
            app.wait_box_gone(theory)
            session.click(*app.to_screen(160, 100))  # ends the wait before the event loop

            # "&3" as the first command runs the demonstration first: a red dot on the flight
            # path in the steps that emit a particle, and its label.
            app.key("alt+e", "3")
            session.save(wait_flight(app), "demo-flight")
            session.wait_text(lambda: app.grab_logical(5, 5, 60, 20), ["DEMO"], "demo-label")
            app.wait_box(120)
            session.wait_text(lambda: app.grab_logical(5, 5, 75, 27), ["Halt"], "halt-label", scale=50)
            session.screenshot("halt-notice")
            answer_box(session, app, ["Laufende Mikroteilchen sind nicht", "beobachtbar"], "halt-box")
            answer_box(session, app, ["Neue Versuchsreihe!"], "new-series-box")

            wait_closing(session, app, ["Zahl der Versuche", "n:10"], "10", timeout=240)
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
            self.assertTrue(counting(app), "one interval runs")
            app.key("alt+h", "t")
            answer_box(session, app, ["Varnholt"], "theory-during-run", timeout=60)
            wait_closing(session, app, ["n:11"], "11")
            self.assert_interval_ended_early(session, app, "theory")

            # "&Info" during ten intervals: the start picture with its outline over the whole
            # experiment (graph, "Zeit" and the mean are gone beside the theory box) ...
            app.key("alt+e", "3")
            self.assertTrue(counting(app), "ten intervals run")
            app.key("alt+d", "i")
            info = read_box(session, app, ["Varnholt"], "theory-from-info", 60)
            wait_until(lambda: lines_at(app, PICTURE_OUTLINE), 30, "the start picture's outline over the experiment")
            screen = session.grab()
            session.save(screen, "info-over-the-experiment")
            for side, then, now in zip(("left", "right"), start_picture,
                                       picture_beside_box(app, screen, session.geometry(info))):
                self.assertLess(share_differing(then, now), 0.01, f"{side} of the box: not the start picture")
            app.key("Return")
            app.wait_box_gone(info)
            # ... and the run goes on over it; an EXPERIMENT entry chosen now starts nothing
            # (a demonstration inside it would end with its halt box and reset n).
            self.assertTrue(counting(app), "the run goes on after Info")
            app.key("alt+e", "1")
            wait_closing(session, app, ["n:21"], "21", timeout=120)
            self.assertEqual(len(app.windows()), 1, "a box opened during the run")
            session.screenshot("ten-intervals-after-info")

            # "&1" flies again without the demonstration label; "&Autor" during its first
            # pass ends the demonstration: no halt notice, so the next series command is
            # carried out and announces a new series.
            app.key("alt+e", "1")
            flight = wait_flight(app, "a red dot in flight again")
            session.save(flight, "demonstration-again")
            label_place = app.grab_logical(5, 5, 60, 20, flight)
            self.assertEqual((label_place.count(RED), label_place.count(LIGHT_BLUE)), (0, 0), "a DEMO label")
            app.key("alt+d", "a")
            answer_box(session, app, ["Programmautor", "Schulprojekt"], "author-box", timeout=60)
            wait_closing(session, app, ["n:1\n"], "demonstration")
            app.key("alt+e", "2")
            answer_box(session, app, ["Neue Versuchsreihe!"], "new-series-after-demonstration", timeout=60)

            # The demonstration cleared the table: one interval, one point, n:1 again.
            wait_closing(session, app, ["n:1\n"], "1")
            shot = session.grab_window(app.window)
            session.save(shot, "graph-after-one-interval")
            self.assertEqual(read_step(session, app, "full-interval"), "100")
            frequencies = {k: h for k, h in measured_points(app, shot).items() if h}
            self.assertLessEqual(sum(frequencies.values()), 1, frequencies)
            if frequencies:
                (count, _), = frequencies.items()
                self.assertEqual(read_mean(session, app, shot)[1], f"{count},0")

            # Both buttons end a running interval short of step 100; let go after the run,
            # they do not cut the next one short.
            app.key("alt+e", "2")
            self.assertTrue(counting(app), "one interval runs")
            session.move(*app.to_screen(160, 170))
            session.press_buttons(1, 3)
            wait_closing(session, app, ["n:2"], "2")
            session.release_buttons(1, 3)
            self.assert_interval_ended_early(session, app, "both-buttons")
            session.screenshot("interval-ended-by-both-buttons")
            app.key("alt+e", "2")
            wait_closing(session, app, ["n:3"], "3")
            self.assertEqual(read_step(session, app, "after-release"), "100")

            app.choose_menu("DESK", "Quit")
            self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
