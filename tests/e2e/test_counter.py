"""A Geiger counter at the microphone input: a made-up recording with known clicks plays into
a PulseAudio virtual microphone, in a loop, while the real program runs with --zaehlrohr.
The series it measures, the table Ctrl+S saves and the counter's log must agree with the
recording's clicks (check_counter_run.py), and the graph must show the table's n and mean
(which the check names)."""

import subprocess
import sys
import time
import unittest
import wave
from pathlib import Path

from harness import RED, Session, arguments, wait_until

PROGRAM, ARTEFACTS, ARGV = arguments()
CHECK = Path(__file__).resolve().parents[1] / "counter" / "check_counter_run.py"


class Counter(unittest.TestCase):
    def test_counter_series(self):
        with Session(ARTEFACTS, audio=True) as session:
            recording, onsets, log = (session.artefacts / name for name in ("clicks.wav", "onsets.txt", "counter.log"))
            onsets.write_text(subprocess.run([PROGRAM.parent / "make_click_train", recording, "5", "48000", "40", "7"],
                                             capture_output=True, text=True, check=True).stdout)
            # A virtual microphone: what is played into the sink "counter" is the source "zaehlrohr"
            # (Qt lists no monitor sources).
            for module in ("module-null-sink sink_name=counter rate=48000 channels=1",
                           "module-remap-source master=counter.monitor source_name=zaehlrohr"):
                subprocess.run(["pactl", "load-module", *module.split()], env=session.env(), check=True, capture_output=True)
            subprocess.run(["pactl", "set-default-source", "zaehlrohr"], env=session.env(), check=True)
            raw = recording.with_suffix(".raw")
            with wave.open(str(recording)) as w:
                raw.write_bytes(w.readframes(w.getnframes()))
            # In a loop without a gap, so that the recording's clicks stay in step.
            session.procs.append(subprocess.Popen(["sh", "-c", f"while cat '{raw}'; do :; done | pacat -p -d counter --raw"
                                                   " --format=s16le --rate=48000 --channels=1"], env=session.env()))

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
            mean = session.ocr(app.grab_logical(5, 40, 90, 62).inside(RED), "mean-value", invert=True, psm=7, threshold=None)
            mean = mean.replace(" ", "")   # "103" for 10,3

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
            print(check.stdout, check.stderr, file=sys.stderr)
            self.assertEqual(check.returncode, 0)
            self.assertIn(f"n=10, mean {mean[:-1]},{mean[-1]},", check.stdout)   # the table's, as the graph shows them


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *ARGV], verbosity=2)
