"""The whole lesson in one real window with sound: "&1 Demo-Experiment" chosen with the mouse
at the title prompt runs right after the start boxes, with the halt notice between its passes;
ten intervals with the window switched to full screen and back, every registration heard once;
the window closed during a running interval. And a Geiger counter at the microphone input: a
made-up recording with known clicks plays into a PulseAudio virtual microphone, in a loop, while
the program runs with --zaehlrohr; the series it measures, the table Ctrl+S saves and the
counter's log must agree with the recording's clicks (check_counter_run.py), and the graph must
show the table's n and mean (which the check names)."""

import subprocess
import sys
import time
import unittest
from pathlib import Path

from harness import Session, arguments, click_onsets, wait_until

PROGRAM, ARTEFACTS, ARGV = arguments()
CHECK = Path(__file__).resolve().parents[1] / "counter" / "check_counter_run.py"


class Lesson(unittest.TestCase):
    def test_lesson(self):
        with Session(ARTEFACTS / "lesson", audio=True) as session:
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
            mean = app.mean_shown()
            self.assertRegex(mean, r"^\d+\d$")   # one decimal, its comma dropped: "103" is 10,3
            print(f"{len(onsets)} clicks for a mean of {mean[:-1]},{mean[-1]}", file=sys.stderr)
            self.assertEqual(len(onsets), int(mean), "clicks heard against registrations shown")

            # Closing the window while an interval runs ends the program at once, status 0.
            app.key("alt+e", "2")
            before = app.grab_logical(28, 123, 64, 142).rgb
            wait_until(lambda: app.grab_logical(28, 123, 64, 142).rgb != before, 30, "the step number to count")
            app.close()
            self.assertEqual(app.exit_status(), 0)


    def test_counter_series(self):
        with Session(ARTEFACTS / "counter", microphone=True) as session:
            recording, onsets, log = (session.artefacts / name for name in ("clicks.wav", "onsets.txt", "counter.log"))
            onsets.write_text(subprocess.run([PROGRAM.parent / "make_click_train", recording, "5", "48000", "40", "7"],
                                             capture_output=True, text=True, check=True).stdout)
            # Its samples (after the WAV file's 44-byte header) in a loop without a gap, so that the
            # recording's clicks stay in step.
            session.procs.append(subprocess.Popen(["sh", "-c", f"while tail -c +45 '{recording}'; do :; done | pacat -p -d counter"
                                                   " --raw --format=s16le --rate=48000 --channels=1"], env=session.env()))

            app = session.launch(PROGRAM, ["--zaehlrohr", "--zaehlrohr-protokoll", str(log)])
            app.measure_area()
            app.wait_text((0, 189, 320, 200), ["Weiter", "RETURN"], "title-prompt", invert=True)
            # A series as the first command starts the demonstration; a choice in its first pass
            # cuts it short, and the series runs once the demonstration has ended.
            app.key("alt+e", "3")
            app.answer_box("Beenden nur mit QUIT!")
            app.answer_box("Statistik von zufällig erzeugten Mikroteilchen")
            time.sleep(1)
            app.key("alt+e", "3")
            app.answer_box("Neue Versuchsreihe!")
            app.wait_text((5, 12, 90, 22), ["n10"], "after-ten", timeout=120)
            mean = app.mean_shown()

            table = session.artefacts / "table.csv"
            app.key("ctrl+s")
            wait_until(lambda: app.box(), 30, "the save dialog")
            time.sleep(0.5)
            app.key("ctrl+a")
            session.xdotool("type", "--delay", "20", str(table))
            app.key("Return")
            wait_until(table.exists, 30, "the saved table")
            app.close()
            self.assertEqual(app.exit_status(), 0)

            check = subprocess.run([sys.executable, CHECK, recording, onsets, log, table], capture_output=True, text=True)
            self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
            self.assertIn(f"n=10, mean {mean[:-1]},{mean[-1]},", check.stdout)   # the table's, as the graph shows them


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *ARGV], verbosity=2)
