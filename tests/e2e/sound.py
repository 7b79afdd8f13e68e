"""What the program plays, recorded from the session's PulseAudio null sink.

Used with XSession(audio=True): the daemon's sink "spk" takes every stream the
program opens, and its monitor source is recorded here with parec.

Why a recording can lose sounds, as measured here (PulseAudio 16.1, five clicks
played one after another with paplay): with the null sink's default rewinds, every
stream that joins makes the sink render its last block again, and what the monitor
had already handed to parec is not recorded again, so clicks came out missing or cut
(1 to 4 of 5, at a fraction of their peak). Without a playback stream the sink also
renders in blocks of its 2 s maximum latency, so the recording lagged 2 s and lost its
end. Loaded with norewinds=1 and kept running by a silent stream of 10 ms latency,
every click is recorded whole, at the time it was played (5 of 5, full peak, in every
trial). parec's output goes to a file: a pipe that nobody reads holds only 0.7 s.
"""

import array
import os
import signal
import subprocess
import tempfile
import time
import wave

from waiting import wait_until

RATE = 44100


class Recorder:
    """Records the null sink from `start` to `stop`; give it about 2 s of lead-in and
    tail so that the recording is running before the first sound and after the last."""

    def __init__(self, session):
        self.session = session
        self.proc = self.silence = None

    def start(self):
        audio = ["--raw", "--format=s16le", f"--rate={RATE}", "--channels=1"]
        with open("/dev/zero", "rb") as zeros:
            self.silence = subprocess.Popen(["pacat", "--playback", "-d", "spk", "--latency-msec=10", *audio],
                                            env=self.session.env(), stdin=zeros, stderr=subprocess.DEVNULL)
        self.file = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(["parec", "-d", "spk.monitor", "--latency-msec=5", *audio],
                                     env=self.session.env(), stdout=self.file, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.fstat(self.file.fileno()).st_size > 0, 10, "the recording to start")
        self.started = time.monotonic()
        return self

    def stop(self):
        """Ends the recording and returns its samples (signed 16-bit, mono)."""
        self.proc.send_signal(signal.SIGINT)  # parec writes out what it holds only on SIGINT
        self.proc.wait(10)
        self.silence.terminate()
        self.silence.wait(10)
        self.file.seek(0)
        raw = self.file.read()
        self.file.close()
        samples = array.array("h")
        samples.frombytes(raw[: len(raw) // 2 * 2])
        return samples


def click_onsets(samples, threshold=2000, quiet_ms=5):
    """Sample indices where a click starts: the first sample above `threshold` (in
    magnitude) after at least `quiet_ms` below it. The program's click stays above 2000
    for its first 3.3 ms, so clicks 10 ms or more apart (one per display frame is
    16.7 ms) count one each."""
    quiet = RATE * quiet_ms // 1000
    onsets, last_loud = [], -quiet - 1
    for i, value in enumerate(samples):
        if abs(value) > threshold:
            if i - last_loud > quiet:
                onsets.append(i)
            last_loud = i
    return onsets


def whole_and_split(samples, onsets, attack=20000):
    """Parts the onsets into click starts and later pieces of a click: a start begins with
    the click's attack (its first loud sample is above `attack`; the program's click opens
    at 23197), a piece takes up a click in its middle after a gap of silence, as when the
    playing stream ran dry in the middle of a click."""
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
