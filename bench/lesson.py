"""The lesson's own figures, taken from the real program in its event loop: the step
length of the demonstration's first pass, steps per second and CPU per step of a
series, and resident memory over a number of "&3 Experiment 10 x wiederholen" commands.

Every step redraws its number under "Zeit", so the changes of that screen region,
polled every few ms, mark the steps as the class sees them.
"""

import statistics
import time
from pathlib import Path

CLOCK_TICKS = 100  # USER_HZ of /proc/<pid>/stat on Linux
FAST_POLL = 0.002


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime, stime


def status_kb(pid, field):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(field + ":"):
            return int(line.split()[1])
    raise RuntimeError(f"no {field}")


def region_watcher(app, left, top, right, bottom):
    """A function that grabs the logical rectangle (left, top)..(right, bottom)."""
    return lambda: app.grab_logical(left, top, right, bottom).rgb


def watch_changes(grab, rest_seconds, poll=FAST_POLL, limit=None, on_change=None):
    """Monotonic times at which the region changes, until it has rested `rest_seconds`
    after a change (or `limit` changes are seen). `on_change(time)` runs at each change."""
    previous, changes = grab(), []
    while not changes or time.monotonic() - changes[-1] < rest_seconds:
        current = grab()
        if current != previous:
            now = time.monotonic()
            changes.append(now)
            if on_change:
                on_change(now)
            previous = current
            if limit and len(changes) >= limit:
                break
        time.sleep(poll)
    return changes


def spread_ms(intervals):
    """Median, interquartile range and extremes of intervals in seconds, in ms."""
    ms = sorted(1000 * v for v in intervals)
    q = statistics.quantiles(ms, n=4) if len(ms) >= 4 else [ms[0], statistics.median(ms), ms[-1]]
    return {"median": statistics.median(ms), "q1": q[0], "q3": q[2], "min": ms[0], "max": ms[-1],
            "n": len(ms)}


def first_pass(app):
    """"&2 Neues Experiment / 1 x wiederholen" before any demonstration runs the
    demonstration first. Its first pass writes the step number at logical (35, 125),
    once per step, left of the flight path. The first change is the screen being drawn;
    the intervals between the later ones are the step lengths."""
    grab = region_watcher(app, 33, 123, 75, 145)
    app.key("alt+e", "2")
    changes = watch_changes(grab, rest_seconds=1.0)
    steps = changes[1:]
    return {"changes": len(changes), "step length": spread_ms([b - a for a, b in zip(steps, steps[1:])])}


def series(app):
    """The halt notice's box, the second pass, the program's pause and the box
    "Neue Versuchsreihe!", then the series of 100 steps with its number at (30, 125)."""
    app.answer_box("Laufende Mikroteilchen sind nicht", "beobachtbar")
    app.answer_box("Neue Versuchsreihe!")
    grab = region_watcher(app, 28, 110, 75, 145)
    cpu = {}
    cpu_start, wall_start = cpu_seconds(app.proc.pid), time.monotonic()

    def note(now):
        cpu[now] = cpu_seconds(app.proc.pid)
    changes = watch_changes(grab, rest_seconds=1.5, on_change=note)
    if len(changes) < 2:
        return {"changes": len(changes)}
    cpu_end, wall_end = cpu[changes[-1]], changes[-1]
    # The poll may miss the first steps and, rarely, one in between (a grab takes a few
    # ms), so the rate is taken over the changes actually seen, between the first and last.
    duration = changes[-1] - changes[0]
    return {"changes": len(changes), "duration": duration, "steps per second": (len(changes) - 1) / duration,
            # The whole interval: from the answered box (interval start, graph frame) to the
            # last step number; divided by the interval's 100 steps.
            "cpu ms per step": 1000 * (cpu_end - cpu_start) / 100,
            "cpu percent": 100 * (cpu_end - cpu_start) / (wall_end - wall_start),
            "rss after": status_kb(app.proc.pid, "VmRSS")}


def ten_interval_commands(app, commands):
    """Chooses "&3 Experiment 10 x wiederholen" `commands` times, each after the previous
    has ended (its step number rests), and notes VmRSS and the CPU of each command of
    1,000 steps. Polled slowly: only the end of each command matters here."""
    grab = region_watcher(app, 28, 110, 75, 145)
    rows = []
    for _ in range(commands):
        cpu_before, wall_before = cpu_seconds(app.proc.pid), time.monotonic()
        app.key("alt+e", "3")
        changes = watch_changes(grab, rest_seconds=1.5, poll=0.05)
        cpu_after = cpu_seconds(app.proc.pid)
        rows.append({"rss": status_kb(app.proc.pid, "VmRSS"),
                     "cpu ms per step": 1000 * (cpu_after - cpu_before) / 1000,
                     "cpu percent": 100 * (cpu_after - cpu_before) / (changes[-1] - wall_before),
                     "seconds": changes[-1] - wall_before})
    return rows


def fit_slope(xs, ys):
    """Least-squares slope of ys over xs."""
    mx, my = statistics.fmean(xs), statistics.fmean(ys)
    sxx = sum((x - mx) ** 2 for x in xs)
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sxx if sxx else 0.0
