"""The whole lesson in one real window with sound: "&1 Demo-Experiment" chosen with the mouse
at the title prompt runs right after the start boxes, with the halt notice between its passes;
ten intervals with the window switched to full screen and back, every registration heard once;
the window closed during a running interval."""

import sys
import time
import unittest

from harness import RED, Session, arguments, click_onsets, wait_until

PROGRAM, ARTEFACTS, ARGV = arguments()


class Lesson(unittest.TestCase):
    def test_lesson(self):
        with Session(ARTEFACTS, audio=True) as session:
            app = session.launch(PROGRAM)
            app.measure_area()
            app.wait_text((0, 189, 320, 200), ["Weiter", "RETURN"], "title-prompt", invert=True)
            x, y, width, height = session.geometry(app.window)
            session.save(session.grab(x, y, width, height), "title-screen")

            # The mouse opens DESK, Right moves to EXPERIMENT, a click takes its first entry.
            session.xdotool("mousemove", x + 15, (y + app.area[1]) // 2, "click", 1)
            desk = wait_until(lambda: session.windows(app.proc.pid, popups=True)[-1:], 10, "the DESK menu")[0]
            session.xdotool("key", "Right")
            experiment = wait_until(lambda: [w for w in session.windows(app.proc.pid, popups=True) if w.id != desk.id],
                                    10, "the EXPERIMENT menu")[0]
            px, py, _, _ = session.geometry(experiment)
            time.sleep(0.2)   # the popup may still be painting its entries
            session.xdotool("mousemove", px + 30, py + 12, "click", 1)
            app.answer_box("Beenden nur mit QUIT!", "Mit beiden Maustasten gleichzeitig")
            app.answer_box("Statistik von zufällig erzeugten Mikroteilchen", "Varnholt (1963)")
            # The halt notice between the passes (its words and colours are the behaviour tests',
            # both buttons let go over its box the Qt binding test's; the red dot's flight is the
            # behaviour tests', its image on the start picture the Qt canvas test's).
            app.answer_box("Laufende Mikroteilchen sind nicht", "beobachtbar")
            app.wait_text((28, 123, 64, 142), ["100"], "second-pass-steps", invert=True, psm=7)

            # Ten intervals, recorded, with full screen on and off in the middle of them.
            app.key("alt+e", "3")
            stop = session.record()
            app.answer_box("Neue Versuchsreihe!")
            time.sleep(1)
            for wanted in ((0, 0, *session.screen), (x, y, width, height)):
                app.key("F11")
                wait_until(lambda: session.geometry(app.window) == wanted, 30, f"the window at {wanted}")
                time.sleep(1)
            app.wait_text((5, 12, 90, 22), ["n10"], "after-ten", timeout=240)
            time.sleep(2)
            onsets = click_onsets(stop())
            session.save(session.grab(*app.area), "graph-after-ten-intervals")
            mean = session.ocr(app.grab_logical(5, 40, 90, 62).inside(RED), "mean-value", invert=True, psm=7, threshold=None)
            mean = mean.replace(" ", "")
            self.assertRegex(mean, r"^\d+\d$")   # one decimal, its comma dropped: "103" is 10,3
            print(f"{len(onsets)} clicks for a mean of {mean[:-1]},{mean[-1]}", file=sys.stderr)
            self.assertEqual(len(onsets), int(mean), "clicks heard against registrations shown")

            # Closing the window while an interval runs ends the program at once, status 0.
            app.key("alt+e", "2")
            before = app.grab_logical(28, 123, 64, 142).rgb
            wait_until(lambda: app.grab_logical(28, 123, 64, 142).rgb != before, 30, "the step number to count")
            app.close()
            self.assertEqual(app.exit_status(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *ARGV], verbosity=2)
