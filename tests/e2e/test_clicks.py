"""Every registration the class sees is a click it hears: the program's sound is recorded
from a PulseAudio null sink and its click onsets are counted against the registrations
the screen shows. The recording is checked first with clicks played by paplay at known
times, as close together as one display frame and closer."""

import array
import sys
import time
import unittest
import wave
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import sound  # noqa: E402
from lesson_steps import answer_box, read_box, read_mean, start_up, wait_closing  # noqa: E402
from x_session import XSession, test_arguments  # noqa: E402

ARGS = None


def record(session, name, action, tail=2.0):
    """Records `action()` with 2 s of lead-in and `tail` s after it, keeps it as a WAV file
    and returns the whole clicks' onsets in seconds from the start, and the pieces."""
    recorder = sound.Recorder(session).start()
    time.sleep(2)
    action()
    time.sleep(tail)
    samples = recorder.stop()
    sound.write_wav(session.artefacts / f"{name}.wav", samples)
    whole, pieces = sound.whole_and_split(samples, sound.click_onsets(samples))
    (session.artefacts / f"{name}-onsets.txt").write_text(
        "".join(f"{i / sound.RATE:.4f}{' piece' if i in pieces else ''}\n" for i in sorted(whole + pieces)))
    if pieces:
        print(f"{name}: {len(pieces)} click(s) split by a gap of silence at "
              f"{', '.join(f'{i / sound.RATE:.3f} s' for i in pieces)}", file=sys.stderr)
    return [i / sound.RATE for i in whole], pieces


class Clicks(unittest.TestCase):
    def test_reference_clicks_are_recorded_one_onset_each(self):
        click_file = ARGS.program.parent / "knack2.wav"
        with wave.open(str(click_file)) as clip:
            click = array.array("h", clip.readframes(clip.getnframes()))
        # Gaps between onsets in ms: one display frame, the closest the detector must part,
        # and longer pauses; the whole train is one stream, so its timing is exact.
        gaps = [16.7, 16.7, 10, 250, 16.7, 10, 10, 120, 16.7, 16.7, 16.7, 500, 33.3, 10, 16.7] * 2
        starts = [0]
        for gap in gaps:
            starts.append(starts[-1] + round(gap * sound.RATE / 1000))
        train = array.array("h", bytes(2 * (starts[-1] + len(click))))
        for start in starts:
            train[start:start + len(click)] = click
        with XSession(ARGS.artefacts / "reference", audio=True) as session:
            sound.write_wav(session.artefacts / "train.wav", train)
            onsets, pieces = record(session, "train-recorded", lambda: session.run_tool(
                "paplay", "-d", "spk", str(session.artefacts / "train.wav")))
            self.assertEqual((len(onsets), pieces), (len(starts), []))
            offsets = [round((t - onsets[0]) * sound.RATE) - s for t, s in zip(onsets, starts)]
            self.assertTrue(all(abs(o) <= 2 for o in offsets), offsets)

            # One short stream per click: each stream that joins the sink must not cost a click.
            def play_singly():
                for _ in range(8):
                    session.run_tool("paplay", "-d", "spk", str(click_file))
                    time.sleep(0.2)
            onsets, pieces = record(session, "single-clicks-recorded", play_singly)
            self.assertEqual((len(onsets), pieces), (8, []))

    def test_program_clicks_once_per_registration(self):
        with XSession(ARGS.artefacts / "program", audio=True) as session:
            app = start_up(session, ARGS.program)
            app.key("alt+e", "3")  # the demonstration runs first
            answer_box(session, app, ["beobachtbar"], "halt-box")
            read_box(session, app, ["Neue Versuchsreihe!"], "new-series-box", 120)

            # Ten intervals: the mean shown is the sum of their counts over ten, to one
            # decimal, so it tells how many registrations there were in all.
            def ten_intervals():
                app.key("Return")
                wait_closing(session, app, ["n:10"], "10", timeout=240)
            # A click that the program's stream breaks off and resumes after a gap is one
            # click to count (its pieces are reported on stderr and in the onsets file).
            onsets, _ = record(session, "ten-intervals", ten_intervals, tail=3)
            _, mean = read_mean(session, app, session.grab_window(app.window))
            self.assertRegex(mean, r"^\d+,\d$")
            print(f"ten intervals: {len(onsets)} clicks, mean shown {mean}", file=sys.stderr)
            self.assertEqual(len(onsets), int(mean.replace(",", "")), f"mean shown {mean}")

            # One more interval: the count field shows its registrations.
            def one_interval():
                app.key("alt+e", "2")
                wait_closing(session, app, ["n:11"], "11", timeout=120)
            onsets, _ = record(session, "one-interval", one_interval, tail=3)
            shown = session.ocr(app.grab_logical(258, 68, 284, 86), "count-field", invert=True, psm=7).strip()
            self.assertTrue(shown.isdigit(), f"count read: {shown!r}")
            gaps = [b - a for a, b in zip(onsets, onsets[1:])]
            print(f"one interval: {len(onsets)} clicks, count shown {shown}, closest clicks "
                  f"{1000 * min(gaps, default=0):.1f} ms apart", file=sys.stderr)
            self.assertEqual(len(onsets), int(shown))

            app.close()
            self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
