"""What the benchmarks need beyond tests/e2e/harness.py: a start of a program that does
not wait for its window (the start-up clock must not wait on a window poll), pixels
compared with a tolerance, a frame line found near a logical point, stopping a process
that ignores its close, a session that also ends its sound server, and clicks told apart
whole or split in a recording."""

import os
import signal
import subprocess
import time
from pathlib import Path

import harness


class Session(harness.Session):
    """harness.Session that also ends its PulseAudio daemon: the daemon runs with
    --disallow-exit, so `pactl exit` leaves it running; it is stopped by the pid it
    writes into the session's runtime folder."""

    def __enter__(self):
        super().__enter__()
        pid_file = Path(self.home, "pulse", "pid")
        self.sound_server = int(pid_file.read_text().split()[0]) if self.audio and pid_file.exists() else None
        return self

    def __exit__(self, *exc):
        super().__exit__(*exc)
        if self.sound_server:
            stop_pid(self.sound_server)


def running(pid):
    try:
        return Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def stop_pid(pid):
    """Terminates, and after 5 s kills, a process that is not our child."""
    for number in (signal.SIGTERM, signal.SIGKILL):
        if not running(pid):
            return
        os.kill(pid, number)
        deadline = time.monotonic() + 5
        while running(pid) and time.monotonic() < deadline:
            time.sleep(0.05)


def start(session, program, log_name):
    """Starts `program` on the session's display, from a folder not its own as
    Session.launch does, and returns (the process, its log) at once; App(session, *that)
    waits for its window afterwards. The process is stopped with the session."""
    log = session.artefacts / log_name
    with log.open("wb") as output:
        proc = subprocess.Popen([str(program)], cwd=session.home, env=session.env(),
                                stdout=output, stderr=subprocess.STDOUT)
    session.procs.append(proc)
    return proc, log


def program_name(proc):
    return Path(proc.args[0]).name


def stop_process(proc):
    """Terminates, and if that is not enough kills, a process still running."""
    for stop in (proc.terminate, proc.kill):
        if proc.poll() is not None:
            return
        try:
            stop()
            proc.wait(5)
        except Exception:
            pass


def colour_close(a, b, tolerance=2):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def pixel(session, x, y):
    return session.grab(x, y, 1, 1).pixel(0, 0)


def line_near(app, lx, ly, colour, spread=1):
    """Screen pixel of a 1-pixel line in `colour` through logical (lx, ly), or None; by
    rounding it may fall `spread` pixels either side of the scaled position."""
    x, y = app.to_screen(lx, ly)
    strip = app.session.grab(x - spread, y, 2 * spread + 1, 1)
    return next(((x - spread + i, y) for i in range(strip.width)
                 if colour_close(strip.pixel(i, 0), colour, 40)), None)


def whole_and_split(samples, onsets, attack=20000):
    """Parts the onsets into click starts, which open with the click's attack (above
    `attack`; the program's click opens at 23197), and pieces that take up a click in its
    middle after a gap, as when the playing stream ran dry."""
    def first_loud(i):
        return next((abs(v) for v in samples[i:i + 8] if abs(v) > 2000), 0)
    whole = [i for i in onsets if first_loud(i) > attack]
    return whole, [i for i in onsets if first_loud(i) <= attack]
