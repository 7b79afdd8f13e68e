"""Latency from a click's play request to its sound, on the session's PulseAudio null
sink "spk" of the real-window harness (tests/e2e/harness.Session(audio=True)).

bench/click_latency plays the click through the program's ClickSound at known moments
and prints each request time on CLOCK_MONOTONIC. Meanwhile parec records the sink's
monitor in 5 ms fragments; every fragment's arrival is timed on the same clock. A
sample's time at the sink is taken as arrival time minus the samples that follow it in
the fragment, and of all fragments the least delayed one fixes the mapping from sample
index to time (the monitor runs on the system clock, so there is no drift to fit).
The latency of a click is then the time of its first sample minus its request time.

What the figure contains: the ClickSound's own buffering (feed period and the sink
buffer it keeps full), the PulseAudio stream's buffer and the null sink's render block.
What it cannot separate: the sink's render-ahead (the null sink renders up to one block
early, which can only shorten the figure) and the smallest delivery delay of the
recording path (which can only lengthen it). A real sound card adds its own output
latency on top; `pactl` reports what the server knows of both, printed beside the figure.

A click is "split" when the stream ran dry in its middle: the recording then takes it up
again after a gap of silence without its attack (bench_support.whole_and_split).

Run on its own, it compares builds side by side, optionally with the machine loaded by
busy processes and with the program's thread held up after each click:

    /usr/bin/python3 bench/click_latency.py --build build/sound --build /tmp/old/build \
        --clicks 200 --load 6 --held 50
"""

import argparse
import array
import os
import re
import signal
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from bench_support import Session, whole_and_split  # noqa: E402
from harness import RATE, click_onsets  # noqa: E402
# How far before its request a click may seem to start: the null sink renders ahead, and
# most when a stream joins it (a fresh stream starting with its click came out 2..5 ms early).
EARLIEST = 0.010


class TimedRecorder:
    """parec on the null sink's monitor, with the arrival time of every fragment."""

    def __init__(self, session):
        self.session = session
        self.arrivals = []  # (monotonic time, total samples received by then)
        self.data = bytearray()

    def start(self):
        env = self.session.env()
        # The null sink renders only while a stream plays into it: a stream of silence keeps
        # it running, so the recording keeps real time between the clicks.
        self.silence = subprocess.Popen(
            ["pacat", "--playback", "-d", "spk", "--raw", "--format=s16le", f"--rate={RATE}", "--channels=1",
             "--latency-msec=5"], env=env, stdin=open("/dev/zero", "rb"), stderr=subprocess.DEVNULL)
        self.proc = subprocess.Popen(
            ["parec", "-d", "spk.monitor", "--raw", "--format=s16le", f"--rate={RATE}", "--channels=1",
             "--latency-msec=5"], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=0)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        return self

    def _read(self):
        fd = self.proc.stdout.fileno()
        while True:
            chunk = os.read(fd, 1 << 16)
            if not chunk:
                return
            now = time.monotonic()
            self.data += chunk
            self.arrivals.append((now, len(self.data) // 2))

    def stop(self):
        self.proc.send_signal(signal.SIGINT)
        self.proc.wait(10)
        self.reader.join(10)
        self.silence.terminate()
        self.silence.wait(10)
        samples = array.array("h")
        samples.frombytes(bytes(self.data[: len(self.data) // 2 * 2]))
        return samples

    def sample_time_origin(self):
        """Monotonic time of sample 0, from the least delayed fragment."""
        return min(t - n / RATE for t, n in self.arrivals)


def pulse_latencies(session):
    """What the server reports while the click stream plays: for the click stream
    (sink input) and for the sink, in ms."""
    def numbers(kind):
        text = subprocess.run(["pactl", "list", kind], env=session.env(), capture_output=True,
                              text=True).stdout
        return text
    inputs, sinks = numbers("sink-inputs"), numbers("sinks")
    report = {}
    for block in inputs.split("\n\n"):
        if "pacat" in block or "parec" in block:
            continue
        buffer = re.search(r"Buffer Latency: (\d+) usec", block)
        sink = re.search(r"Sink Latency: (\d+) usec", block)
        if buffer and sink:
            report["click stream buffer"] = int(buffer.group(1)) / 1000
            report["click stream sink latency"] = int(sink.group(1)) / 1000
    latency = re.search(r"Latency: (\d+) usec, configured (\d+) usec", sinks)
    if latency:
        report["null sink latency"] = int(latency.group(1)) / 1000
        report["null sink configured"] = int(latency.group(2)) / 1000
    return report


def measure(session, executable, wav, clicks=80, held_ms=0):
    recorder = TimedRecorder(session).start()
    time.sleep(1.0)  # the recording runs before the first click
    player = subprocess.Popen([str(executable), str(wav), str(clicks), str(held_ms)],
                              env=session.env(QT_QPA_PLATFORM="offscreen"),
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    time.sleep(2.0)
    pulse = pulse_latencies(session)
    out, err = player.communicate(timeout=60)
    time.sleep(0.5)
    samples = recorder.stop()
    requests = [float(line.split()[1]) for line in out.splitlines() if line.startswith("play ")]
    origin = recorder.sample_time_origin()
    # The null sink is digital, silence is exact zero: a low threshold is safe, and the
    # clicks here are at least 60 ms apart.
    heard = [origin + i / RATE for i in click_onsets(samples, threshold=300, quiet_ms=30)]

    # Each onset belongs to the latest request before it: right as long as a latency stays
    # below the shortest gap (60 ms). A request without an onset was not heard.
    latencies = [None] * len(requests)
    for h in heard:
        k = next((k for k in range(len(requests) - 1, -1, -1) if requests[k] <= h + EARLIEST), None)
        if k is not None and latencies[k] is None:
            latencies[k] = h - requests[k]
    lost = [k for k, v in enumerate(latencies) if v is None]
    _, pieces = whole_and_split(samples, click_onsets(samples))
    fragments = [b[1] - a[1] for a, b in zip(recorder.arrivals, recorder.arrivals[1:])]
    return {"requests": len(requests), "onsets": len(heard), "lost": lost, "latencies": latencies,
            "split": len(pieces),
            "pulse": pulse, "fragment ms": 1000 * sorted(fragments)[len(fragments) // 2] / RATE if fragments else 0,
            "stderr": err.strip()}


def summary(result):
    later = sorted(1000 * v for v in result["latencies"][1:] if v is not None)
    first = result["latencies"][0] if result["latencies"] else None
    text = (f"{result['requests'] - len(result['lost'])}/{result['requests']} matched, {result['onsets']} onsets, "
            f"{result['split']} split, ")
    text += f"first {1000 * first:.1f} ms, " if first is not None else "first lost, "
    if len(later) >= 4:
        q = statistics.quantiles(later, n=20)
        text += f"later median {statistics.median(later):.1f} ms, 5..95 % {q[0]:.1f}..{q[-1]:.1f}, max {later[-1]:.1f} ms"
    return text


def main():
    parser = argparse.ArgumentParser(description="Click latency of one or more builds, side by side")
    parser.add_argument("--build", type=Path, action="append", required=True,
                        help="build folder with bin/click_latency and bin/knack2.wav (repeatable)")
    parser.add_argument("--clicks", type=int, default=80)
    parser.add_argument("--load", type=int, default=0, help="busy processes running meanwhile")
    parser.add_argument("--held", type=int, default=0, help="ms the program's thread is held up after each click")
    parser.add_argument("--rounds", type=int, default=1, help="builds alternate, this many times each")
    parser.add_argument("--artefacts", type=Path, default=Path("/tmp/click-latency-artefacts"))
    args = parser.parse_args()
    busy = [subprocess.Popen([sys.executable, "-c", "while True: pass"]) for _ in range(args.load)]
    try:
        with Session(args.artefacts, audio=True) as session:
            for round_number in range(args.rounds):
                for build in args.build:
                    result = measure(session, build / "bin" / "click_latency", build / "bin" / "knack2.wav",
                                     args.clicks, args.held)
                    print(f"{build} (round {round_number + 1}, load {args.load}, held {args.held} ms): "
                          f"{summary(result)}", flush=True)
    finally:
        for process in busy:
            process.kill()
            process.wait()


if __name__ == "__main__":
    main()
