"""What the program plays, recorded from the session's PulseAudio null sink.

Used with XSession(audio=True): the daemon's sink "spk" takes every stream the
program opens, and its monitor source is recorded here with parec.
"""

import array
import signal
import subprocess
import time

RATE = 44100


class Recorder:
    """Records the null sink from `start` to `stop`; give it about 2 s of lead-in and
    tail so that the recording is running before the first sound and after the last."""

    def __init__(self, session):
        self.session = session
        self.proc = None
        self.started = None

    def start(self):
        # The null sink renders only while a stream plays into it; a stream of silence
        # keeps it running, so the recording keeps the real time between the sounds.
        self.silence = subprocess.Popen(
            ["pacat", "--playback", "-d", "spk", "--raw", "--format=s16le", f"--rate={RATE}", "--channels=1"],
            env=self.session.env(), stdin=open("/dev/zero", "rb"),
            stderr=subprocess.DEVNULL)
        self.proc = subprocess.Popen(
            ["parec", "-d", "spk.monitor", "--raw", "--format=s16le", f"--rate={RATE}", "--channels=1",
             "--latency-msec=5"], env=self.session.env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.started = time.monotonic()
        return self

    def stop(self):
        """Ends the recording and returns its samples (signed 16-bit, mono)."""
        self.proc.send_signal(signal.SIGINT)  # parec writes out what it holds only on SIGINT
        raw, _ = self.proc.communicate(timeout=10)
        self.silence.terminate()
        self.silence.wait(10)
        samples = array.array("h")
        samples.frombytes(raw[: len(raw) // 2 * 2])
        return samples


def click_onsets(samples, threshold=2000, quiet_ms=20):
    """Sample indices where a click starts: the first sample above `threshold` (in
    magnitude) after at least `quiet_ms` below it. A click of a few milliseconds with
    its ringing counts once."""
    quiet = RATE * quiet_ms // 1000
    onsets, last_loud = [], -quiet - 1
    for i, value in enumerate(samples):
        if abs(value) > threshold:
            if i - last_loud > quiet:
                onsets.append(i)
            last_loud = i
    return onsets
