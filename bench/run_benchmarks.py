#!/usr/bin/python3
"""Start-up time, peak memory and idle CPU of the program, side by side with a
minimal Qt window (bench/minimal_window.cpp) measured in the same run on the same
Xvfb display, so that the ratios mean something on whatever machine runs this.

    /usr/bin/python3 bench/run_benchmarks.py --build build/e2e [--runs 10]

Both programs are timed from their exec to the moment their first screen is on the
display, seen from outside: the screen pixel at a known spot is read every ~2 ms
until it shows the expected colour. The spots are found once beforehand, in a
calibration start of each program. Then one more start of the program is driven
through its start-up waits (title prompt, message box, wait before the event loop,
event loop) for their CPU, and on into the lesson for its steps per second.
"""

import argparse
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from processes import stop_process  # noqa: E402
from x_session import BACKGROUND, Timeout, XSession, colour_close, wait_until  # noqa: E402

BLACK = (0, 0, 0)
BLUE = (0, 0, 255)
POLL_INTERVAL = 0.002
IDLE_SECONDS = 5.0
CLOCK_TICKS = 100  # USER_HZ of /proc/<pid>/stat on Linux


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime, stime


def cpu_percent(pid, seconds=IDLE_SECONDS):
    """CPU of the process over `seconds` of wall time, in % of one core."""
    before, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100 * (cpu_seconds(pid) - before) / (time.monotonic() - start)


def peak_rss_mb(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024
    raise RuntimeError("no VmHWM")


def launch_timed(session, program):
    """Starts `program` and returns (the App, its exec time on the monotonic clock)."""
    start = time.monotonic()
    return session.launch(program, log_name=f"{Path(program).name}.log"), start


def seconds_until_pixels(session, app, checks, start, timeout=30):
    """Seconds from `start` until every (x, y, colour) of `checks` is on the screen.
    Only these pixels are read while the clock runs."""
    while True:
        if all(colour_close(session.pixel(x, y), colour) for x, y, colour in checks):
            return time.monotonic() - start
        if time.monotonic() - start > timeout or app.proc.poll() is not None:
            raise RuntimeError(f"{app.proc.args[0]} did not show its first screen")
        time.sleep(POLL_INTERVAL)


FORCED_STOPS = []


def stop(app):
    """Closes the window like a user; a program that does not end on that is terminated
    (and named under the table), so that the benchmark still finishes."""
    app.close()
    try:
        app.wait_exit(5)
    except Timeout:
        FORCED_STOPS.append(Path(app.proc.args[0]).name)
        stop_process(app.proc)


# ---- calibration: where each first screen can be recognised ---------------------

def calibrate_reference(session, reference):
    app = session.launch(reference, log_name="calibration.log")
    window = app.wait_main_window()
    x, y, w, h = session.geometry(window)
    spot = (x + w // 2, y + h // 2)
    app.wait_pixels("the reference window", lambda shot: colour_close(session.pixel(*spot), BACKGROUND))
    stop(app)
    return [(*spot, BACKGROUND)]


def wait_title_screen(app):
    """Waits until the title screen is up: both picture frames drawn (the right frame,
    blue, is drawn last of all but the prompt)."""
    app.wait_main_window()
    app.wait_pixels("the title screen", lambda shot: shot.count(BACKGROUND) > 1000)
    app.measure_area()
    return wait_until(lambda: app.line_near(4, 100, BLACK) and app.line_near(318, 100, BLUE),
                      30, "the frames of both title pictures")


def calibrate_program(session, program):
    """The title screen counts as first painted when the window's margin has the
    background colour, and as complete when both picture frames are there too."""
    app = session.launch(program, log_name="calibration.log")
    right_frame = wait_title_screen(app)
    left_frame = app.line_near(4, 100, BLACK)
    margin = app.to_screen(1, 100)
    stop(app)
    return [(*margin, BACKGROUND)], [(*margin, BACKGROUND), (*left_frame, BLACK), (*right_frame, BLUE)]


# ---- the measurements -------------------------------------------------------------

def measure_start_up(session, reference, program, runs):
    reference_spot = calibrate_reference(session, reference)
    first_paint, complete = calibrate_program(session, program)
    times = {"reference": [], "program first paint": [], "program title screen": []}
    for _ in range(runs):  # interleaved, so both see the same machine load
        app, start = launch_timed(session, reference)
        times["reference"].append(seconds_until_pixels(session, app, reference_spot, start))
        stop(app)
        app, start = launch_timed(session, program)
        times["program first paint"].append(seconds_until_pixels(session, app, first_paint, start))
        times["program title screen"].append(seconds_until_pixels(session, app, complete, start))
        stop(app)
    return {name: statistics.median(values) for name, values in times.items()}, times


def measure_memory_and_idle(session, reference, program):
    """Peak RSS at the first screen, and CPU while the program waits at each of its
    start-up waits."""
    results = {}
    app = session.launch(reference, log_name="idle-reference.log")
    app.wait_main_window()
    app.wait_pixels("the reference window", lambda shot: shot.count(BACKGROUND) > 1000)
    time.sleep(0.5)
    results["reference peak RSS"] = peak_rss_mb(app.pid)
    results["reference idle"] = cpu_percent(app.pid)
    stop(app)

    app = session.launch(program, log_name="idle-program.log")
    wait_title_screen(app)
    time.sleep(0.5)
    results["program peak RSS"] = peak_rss_mb(app.pid)
    results["program at the title prompt"] = cpu_percent(app.pid)
    app.focus()
    app.key("space")
    hint = app.wait_box()
    results["program in a message box"] = cpu_percent(app.pid)
    app.key("Return")
    app.wait_box_gone(hint)
    theory = app.wait_box()
    app.key("Return")
    app.wait_box_gone(theory)
    time.sleep(0.5)
    results["program in the wait before the event loop"] = cpu_percent(app.pid)
    session.click(*app.to_screen(160, 100))
    time.sleep(0.5)
    results["program in the event loop"] = cpu_percent(app.pid)
    results["program peak RSS after start-up"] = peak_rss_mb(app.pid)
    lesson = measure_lesson(session, app)
    stop(app)
    return results, lesson


def measure_lesson(session, app):
    """The lesson's own figures, taken from the running event loop. Returns rows of
    (name, value, unit).

    Steps per second: "&2 Neues Experiment / 1 x wiederholen" first runs the whole
    demonstration (its halt box and the "Neue Versuchsreihe!" box are answered), then
    one series of 100 steps; every step redraws its number under "Zeit", so the
    changes of that screen region, polled every ~2 ms, count the steps.

    Still to come here: the click latency (from a registered event, seen as the count
    at logical (260, 70) changing, to the click's onset on the null sink; needs
    XSession(audio=True) and sound.Recorder with a common time base)."""
    app.key("alt+e", "2")
    for _ in range(2):  # the halt notice's box, then "Neue Versuchsreihe!"
        box = app.wait_box(timeout=120)
        app.key("Return")
        app.wait_box_gone(box)
    (x0, y0), (x1, y1) = app.to_screen(28, 110), app.to_screen(75, 145)

    def step_number():
        return session.grab(x0, y0, x1 - x0, y1 - y0).rgb
    previous, changes = step_number(), []
    while not changes or time.monotonic() - changes[-1] < 1.5:  # the run is over when the number rests
        current = step_number()
        if current != previous:
            changes.append(time.monotonic())
            previous = current
        time.sleep(POLL_INTERVAL)
    if len(changes) < 2:
        return [("step numbers seen (too few)", float(len(changes)), "")]
    # The poll may miss the first steps and, rarely, one in between (a grab takes a few
    # ms), so the rate is taken over the changes actually seen, between the first and last.
    duration = changes[-1] - changes[0]
    return [("series, first to last step number seen", duration, "s"),
            ("steps per second", (len(changes) - 1) / duration, "/s"),
            ("step numbers seen of 100", float(len(changes)), "")]


def print_table(medians, samples, idle, lesson, runs):
    ref = medians["reference"]
    print(f"\nLoad average of the machine (1, 5, 15 min) at the end: "
          f"{', '.join(f'{v:.2f}' for v in os.getloadavg())}")
    print(f"\nStart-up, exec to first screen on the display (median of {runs} runs each)")
    print(f"{'':38} {'ms':>8} {'ratio':>7}   {'min..max ms':>14}")
    for name in ("reference", "program first paint", "program title screen"):
        values = samples[name]
        print(f"{name:38} {1000 * medians[name]:8.1f} {medians[name] / ref:7.2f}   "
              f"{1000 * min(values):6.1f}..{1000 * max(values):6.1f}")
    print("\nPeak memory (VmHWM) at the first screen")
    print(f"{'reference':38} {idle['reference peak RSS']:8.1f} MB")
    print(f"{'program':38} {idle['program peak RSS']:8.1f} MB  ratio "
          f"{idle['program peak RSS'] / idle['reference peak RSS']:.2f}")
    print(f"{'program after start-up':38} {idle['program peak RSS after start-up']:8.1f} MB")
    print(f"\nCPU while waiting, % of one core over {IDLE_SECONDS:.0f} s")
    for name in ("reference idle", "program at the title prompt", "program in a message box",
                 "program in the wait before the event loop", "program in the event loop"):
        print(f"{name:42} {idle[name]:6.2f} %")
    if FORCED_STOPS:
        print(f"\nDid not end when its window was closed, terminated: {', '.join(sorted(set(FORCED_STOPS)))} "
              f"({len(FORCED_STOPS)} times)")
    if lesson:
        print("\nLesson, in the event loop")
        for name, value, unit in lesson:
            print(f"{name:42} {value:8.2f} {unit}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=Path("build/e2e"),
                        help="build folder holding bin/mikroteilchen and bin/minimal_window")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--artefacts", type=Path, help="default: <build>/bench-artefacts")
    args = parser.parse_args()
    program = (args.build / "bin" / "mikroteilchen").resolve()
    reference = (args.build / "bin" / "minimal_window").resolve()
    artefacts = args.artefacts or args.build / "bench-artefacts"

    with XSession(artefacts) as session:
        medians, samples = measure_start_up(session, reference, program, args.runs)
        idle, lesson = measure_memory_and_idle(session, reference, program)
    print_table(medians, samples, idle, lesson, args.runs)


if __name__ == "__main__":
    main()
