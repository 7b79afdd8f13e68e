"""The benchmark table: every figure with its goal, medians and ratios against the
minimal window of the same run."""

import statistics

import lesson


def row(name, value, unit="", note=""):
    print(f"  {name:52} {value:>10} {unit:5} {note}")


def start_up(medians, samples, runs):
    ref = medians["reference"]
    print(f"\nStart-up, exec to the screen on the display (median of {runs} interleaved runs each)")
    for name in ("reference", "program first paint", "program title screen"):
        values = samples[name]
        row(name, f"{1000 * medians[name]:.1f}", "ms",
            f"ratio {medians[name] / ref:.2f}   {1000 * min(values):.1f}..{1000 * max(values):.1f} ms")
    print("  goal: title screen at most 1.5 x the minimal window")


def memory_and_idle(idle, idle_seconds):
    print("\nPeak memory (VmHWM)")
    ref = idle["reference peak RSS"]
    row("reference at its first screen", f"{ref:.1f}", "MB")
    for name in ("program peak RSS", "program peak RSS after start-up", "program peak RSS after the lesson"):
        if name in idle:
            row(name.replace("program peak RSS", "program"), f"{idle[name]:.1f}", "MB",
                f"+{idle[name] - ref:.1f} MB, ratio {idle[name] / ref:.2f}")
    print("  goal: at most 40 MB above the minimal window")
    print(f"\nCPU while waiting, % of one core over {idle_seconds:.0f} s (goal: under 1 %)")
    for name in ("reference idle", "program at the title prompt", "program in a message box",
                 "program in the wait before the event loop", "program in the event loop"):
        row(name, f"{idle[name]:.2f}", "%")


def lesson_figures(figures, refresh):
    first = figures["first pass"]["step length"]
    print("\nDemonstration, first pass: step length from the step number at (35, 125) (goal 200..230 ms)")
    row("median interval between step numbers", f"{first['median']:.1f}", "ms",
        f"quartiles {first['q1']:.1f}..{first['q3']:.1f}, range {first['min']:.1f}..{first['max']:.1f}, "
        f"{first['n']} intervals")
    s = figures["series"]
    print(f"\nSeries of 100 steps (\"&2 Neues Experiment / 1 x wiederholen\"), display {refresh}")
    if "steps per second" not in s:
        row("step numbers seen (too few)", s["changes"])
        return
    row("steps per second", f"{s['steps per second']:.2f}", "/s",
        f"{100 * s['steps per second'] / 60:.1f} % of 60 Hz; {s['changes']} of 100 step numbers seen "
        f"over {s['duration']:.2f} s (goal within 5 %)")
    row("CPU per step (utime+stime / 100 steps)", f"{s['cpu ms per step']:.2f}", "ms")
    row("CPU during the series", f"{s['cpu percent']:.1f}", "%", "of one core")
    commands = figures["ten-interval commands"]
    if not commands:
        return
    print(f"\n\"&3 Experiment 10 x wiederholen\" chosen {len(commands)} times (1,000 steps each)")
    row("CPU per step, median over the commands", f"{statistics.median(c['cpu ms per step'] for c in commands):.2f}",
        "ms", f"{statistics.median(c['cpu percent'] for c in commands):.1f} % of one core")
    row("seconds per command, median", f"{statistics.median(c['seconds'] for c in commands):.2f}", "s",
        f"{1000 / statistics.median(c['seconds'] for c in commands):.2f} steps/s incl. interval ends")
    done = [3 + 10 * (i + 1) for i in range(len(commands))]  # 2 demonstration passes and the series
    rss = [c["rss"] for c in commands]
    # Counted with the demonstration's two passes; the screen's "Zahl der Versuche n:" counts
    # only the measured intervals, two fewer.
    print("  VmRSS after intervals run: " + ", ".join(f"{n}: {r / 1024:.1f} MB" for n, r in zip(done, rss))
          + f" (after the series, interval 3: {s['rss after'] / 1024:.1f} MB)")
    if len(rss) >= 2:
        row("growth, least-squares slope", f"{lesson.fit_slope(done, rss):.2f}", "kB", "per interval")
        row("first to last", f"{(rss[-1] - rss[0]) / 1024:+.2f}", "MB", f"over {done[-1] - done[0]} intervals")


def interval_driver(driver):
    print("\nbench/interval_memory: \"&3 Experiment 10 x wiederholen\" through the menu handler, VmRSS")
    for binding, label in (("fake", "fake binding (program logic)"), ("qt", "Qt binding, offscreen, unpaced")):
        rows = driver[binding]["rows"]
        # After the first 100 intervals: caches and pools filled (all rows in a shorter run).
        warm = [r for r in rows if r[0] >= 100] or rows
        rss_100, rss_end = warm[0][2], rows[-1][2]
        xs, ys = [r[1] for r in warm], [r[2] for r in warm]
        row(f"{label}: {rows[-1][1]} intervals", f"{(rss_end - rss_100):+d}", "kB",
            f"VmRSS {rss_100 / 1024:.1f} MB after 100 -> {rss_end / 1024:.1f} MB after {rows[-1][1]}; "
            f"slope {lesson.fit_slope(xs, ys):.3f} kB/interval; start {rows[0][2] / 1024:.1f} MB; "
            f"{driver[binding]['seconds']:.0f} s")


def click_latency(result):
    print("\nClick latency, play request to the click's first sample on the null sink (goal under 30 ms)")
    lost = result["lost"]
    row("clicks requested / onsets recorded / not found", f"{result['requests']}/{result['onsets']}/{len(lost)}",
        "", f"not found: click {', '.join(str(k + 1) for k in lost)}" if lost else "")
    rest = sorted(1000 * v for v in result["latencies"][1:] if v is not None)
    if result["latencies"] and result["latencies"][0] is not None:
        row("first click (opens the stream)", f"{1000 * result['latencies'][0]:.1f}", "ms")
    if len(rest) >= 4:
        q = statistics.quantiles(rest, n=20)
        row("later clicks, median", f"{statistics.median(rest):.1f}", "ms",
            f"5..95 %: {q[0]:.1f}..{q[-1]:.1f} ms, range {rest[0]:.1f}..{rest[-1]:.1f} ms")
    pulse = ", ".join(f"{k} {v:.1f} ms" for k, v in result["pulse"].items())
    print(f"  PulseAudio reports: {pulse or 'nothing'}; recording fragments {result['fragment ms']:.1f} ms")
    if result["stderr"]:
        print(f"  click_latency said: {result['stderr']}")
