"""What the program plays, recorded from the null sink "spk" of XSession(audio=True).

Measured with PulseAudio 16.1: with the sink's default rewinds every joining stream makes
it render its last block again, and what the monitor had handed to parec is not recorded
again, so clicks came out missing or cut; without a playback stream the sink renders in
2 s blocks and the recording lags and loses its end. Loaded with norewinds=1 and kept
running by a silent stream of 10 ms latency, every click is recorded whole and on time.
parec writes to a file: a pipe nobody reads holds only 0.7 s.
"""

import array
import os
import signal
import subprocess
import tempfile
import wave

from waiting import wait_until

RATE = 44100


class Recorder:
    """Records the null sink from `start` to `stop`; give it about 2 s of lead-in and tail."""

    def __init__(self, session):
        self.session = session

    def start(self):
        audio = ["--raw", "--format=s16le", f"--rate={RATE}", "--channels=1"]
        with open("/dev/zero", "rb") as zeros:
            self.silence = subprocess.Popen(["pacat", "--playback", "-d", "spk", "--latency-msec=10", *audio],
                                            env=self.session.env(), stdin=zeros, stderr=subprocess.DEVNULL)
        self.file = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(["parec", "-d", "spk.monitor", "--latency-msec=5", *audio],
                                     env=self.session.env(), stdout=self.file, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.fstat(self.file.fileno()).st_size > 0, 10, "the recording to start")
        return self

    def stop(self):
        """Ends the recording and returns its samples (signed 16-bit, mono)."""
        self.proc.send_signal(signal.SIGINT)  # parec writes out what it holds only on SIGINT
        self.proc.wait(10)
        self.silence.terminate()
        self.silence.wait(10)
        self.file.seek(0)
        with self.file:
            raw = self.file.read()
        return array.array("h", raw[: len(raw) // 2 * 2])


def click_onsets(samples, threshold=2000, quiet_ms=5):
    """Sample indices where a click starts: the first sample above `threshold` in magnitude
    after at least `quiet_ms` below it. The program's click stays above 2000 for 3.3 ms, so
    clicks 10 ms or more apart (a display frame is 16.7 ms) count one each."""
    quiet = RATE * quiet_ms // 1000
    onsets, last_loud = [], -quiet - 1
    for i, value in enumerate(samples):
        if abs(value) > threshold:
            if i - last_loud > quiet:
                onsets.append(i)
            last_loud = i
    return onsets


def whole_and_split(samples, onsets, attack=20000):
    """Parts the onsets into click starts, which open with the click's attack (above
    `attack`; the program's click opens at 23197), and pieces that take up a click in its
    middle after a gap, as when the playing stream ran dry."""
    def first_loud(i):
        return next(abs(v) for v in samples[i:i + 8] if abs(v) > 2000)
    whole = [i for i in onsets if first_loud(i) > attack]
    return whole, [i for i in onsets if first_loud(i) <= attack]


def write_wav(path, samples):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(samples.tobytes())
