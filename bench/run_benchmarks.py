#!/usr/bin/python3
"""Start-up time, peak memory, CPU while waiting and the lesson's own figures of the
program, side by side with a minimal Qt window (bench/minimal_window.cpp) measured in
the same run on the same Xvfb display, so that the ratios mean something on whatever
machine runs this.

    /usr/bin/python3 bench/run_benchmarks.py --build build/bench [--runs 10] [--commands 10]

Both programs are timed from their exec to the moment their first screen is on the
display, seen from outside: the screen pixel at a known spot is read every ~2 ms
until it shows the expected colour. The spots are found once beforehand, in a
calibration start of each program. Then one more start of the program is driven
through its start-up waits (title prompt, message box, wait before the event loop,
event loop) for their CPU, and on into the lesson (bench/lesson.py): the first
demonstration pass, a series of 100 steps and `--commands` choices of
"&3 Experiment 10 x wiederholen". Two drivers of the program's code follow:
bench/interval_memory (1,000 intervals through the menu handler, fake and unpaced Qt
binding) and bench/click_latency (click requests against a recording of the sink). Last
comes bench/click_detection, the Geiger counter input's click detector on made-up recordings.

The display, the sound server and the program's windows and boxes come from the real-window
harness of the tests (tests/e2e/harness.py); bench/bench_support.py adds what only the
benchmarks need.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import click_latency  # noqa: E402
import lesson  # noqa: E402
import report  # noqa: E402
from bench_support import Session, colour_close, line_near, pixel, program_name, start, stop_process  # noqa: E402
from harness import BACKGROUND, App, wait_until  # noqa: E402

BLACK = (0, 0, 0)
BLUE = (0, 0, 255)
POLL_INTERVAL = 0.002
IDLE_SECONDS = 5.0
cpu_seconds = lesson.cpu_seconds


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


def launch(session, program, log_name):
    return App(session, *start(session, program, log_name))


def timed_start_up(session, program, *checks_in_turn, timeout=30):
    """Starts `program` and gives its App and, for each list of (x, y, colour) in turn,
    the seconds from the exec until every pixel of it is on the screen. Only these pixels
    are read while the clock runs; the window is looked for afterwards."""
    began = time.monotonic()
    proc, log = start(session, program, f"start-up-{Path(program).name}.log")
    seconds = []
    for checks in checks_in_turn:
        while not all(colour_close(pixel(session, x, y), colour) for x, y, colour in checks):
            if time.monotonic() - began > timeout or proc.poll() is not None:
                stop_process(proc)
                raise RuntimeError(f"{program_name(proc)} did not show its first screen")
            time.sleep(POLL_INTERVAL)
        seconds.append(time.monotonic() - began)
    return App(session, proc, log), seconds


FORCED_STOPS = []


def stop(app):
    """Closes the window like a user; a program that does not end on that is terminated
    (and named under the table), so that the benchmark still finishes."""
    app.close()
    try:
        app.proc.wait(5)
    except subprocess.TimeoutExpired:
        FORCED_STOPS.append(program_name(app.proc))
        stop_process(app.proc)


# ---- calibration: where each first screen can be recognised ---------------------

def wait_reference_window(app):
    """The reference window's centre in its background colour; gives that spot."""
    x, y, w, h = app.session.geometry(app.window)
    spot = (x + w // 2, y + h // 2)
    wait_until(lambda: app.alive() and colour_close(pixel(app.session, *spot), BACKGROUND), 30,
               "the reference window")
    return spot


def calibrate_reference(session, reference):
    app = launch(session, reference, "calibration-reference.log")
    spot = wait_reference_window(app)
    stop(app)
    return [(*spot, BACKGROUND)]


def wait_title_screen(app):
    """Waits until the title screen is up: both picture frames drawn (the right frame,
    blue, is drawn last of all but the prompt)."""
    app.measure_area()
    return wait_until(lambda: app.alive() and line_near(app, 4, 100, BLACK) and line_near(app, 318, 100, BLUE),
                      30, "the frames of both title pictures")


def calibrate_program(session, program):
    """The title screen counts as first painted when the window's margin has the
    background colour, and as complete when both picture frames are there too."""
    app = launch(session, program, "calibration-program.log")
    right_frame = wait_title_screen(app)
    left_frame = line_near(app, 4, 100, BLACK)
    margin = app.to_screen(1, 100)
    stop(app)
    return [(*margin, BACKGROUND)], [(*margin, BACKGROUND), (*left_frame, BLACK), (*right_frame, BLUE)]


# ---- the measurements -------------------------------------------------------------

def measure_start_up(session, reference, program, runs):
    reference_spot = calibrate_reference(session, reference)
    first_paint, complete = calibrate_program(session, program)
    times = {"reference": [], "program first paint": [], "program title screen": []}
    for _ in range(runs):  # interleaved, so both see the same machine load
        app, (seconds,) = timed_start_up(session, reference, reference_spot)
        times["reference"].append(seconds)
        stop(app)
        app, seconds = timed_start_up(session, program, first_paint, complete)
        times["program first paint"].append(seconds[0])
        times["program title screen"].append(seconds[1])
        stop(app)
    return {name: statistics.median(values) for name, values in times.items()}, times


def measure_memory_and_idle(session, reference, program, commands):
    """Peak RSS at the first screen, and CPU while the program waits at each of its
    start-up waits."""
    results = {}
    app = launch(session, reference, "idle-reference.log")
    wait_reference_window(app)
    time.sleep(0.5)
    pid = app.proc.pid
    results["reference peak RSS"] = peak_rss_mb(pid)
    results["reference idle"] = cpu_percent(pid)
    stop(app)

    app = launch(session, program, "idle-program.log")
    pid = app.proc.pid
    wait_title_screen(app)
    time.sleep(0.5)
    results["program peak RSS"] = peak_rss_mb(pid)
    results["program at the title prompt"] = cpu_percent(pid)
    app.key("space")   # any key ends the title prompt
    wait_until(lambda: app.alive() and app.box(), 30, "the start hint")
    results["program in a message box"] = cpu_percent(pid)
    app.answer_box("Beenden nur mit QUIT!")
    app.answer_box("Varnholt (1963)")
    time.sleep(0.5)
    results["program in the wait before the event loop"] = cpu_percent(pid)
    # A mouse button ends the wait, on the canvas where it chooses nothing.
    session.xdotool("mousemove", "--sync", *app.to_screen(160, 100), "click", 1)
    time.sleep(0.5)
    results["program in the event loop"] = cpu_percent(pid)
    results["program peak RSS after start-up"] = peak_rss_mb(pid)
    figures = measure_lesson(app, commands)
    results["program peak RSS after the lesson"] = peak_rss_mb(pid)
    stop(app)
    return results, figures


def measure_lesson(app, commands):
    figures = {"first pass": lesson.first_pass(app)}
    figures["series"] = lesson.series(app)
    figures["ten-interval commands"] = lesson.ten_interval_commands(app, commands)
    return figures


def measure_interval_driver(session, build, commands):
    """bench/interval_memory on both bindings: rows of (intervals asked, done, VmRSS kB)."""
    results = {}
    for binding, env in (("fake", session.env()), ("qt", session.env(QT_QPA_PLATFORM="offscreen"))):
        start = time.monotonic()
        out = subprocess.run([str(build / "bin" / "interval_memory"), binding, str(commands)], env=env,
                             capture_output=True, text=True, check=True, timeout=1800).stdout
        rows = [tuple(int(v) for v in line.split()) for line in out.splitlines() if line.strip()]
        results[binding] = {"rows": rows, "seconds": time.monotonic() - start}
    return results


def refresh_rate(session):
    """The display's refresh rate as RandR reports it (the program paces its steps by it,
    falling back to 60 Hz when the screen reports none that makes sense)."""
    try:
        info = session.x.screen().root.xrandr_get_screen_info()
        return f"{info.rate} Hz per RandR"
    except Exception as failure:
        return f"refresh rate unknown ({failure})"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=Path("build/bench"),
                        help="build folder holding bin/mikroteilchen, bin/minimal_window and the drivers")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--commands", type=int, default=10,
                        help="choices of \"&3 Experiment 10 x wiederholen\" in the real program")
    parser.add_argument("--driver-commands", type=int, default=100,
                        help="commands of ten intervals for bench/interval_memory")
    parser.add_argument("--clicks", type=int, default=80)
    parser.add_argument("--artefacts", type=Path, help="default: <build>/bench-artefacts")
    args = parser.parse_args()
    build = args.build.resolve()
    program = build / "bin" / "mikroteilchen"
    reference = build / "bin" / "minimal_window"
    artefacts = args.artefacts or build / "bench-artefacts"
    load_at_start = os.getloadavg()

    with Session(artefacts, audio=True) as session:
        refresh = refresh_rate(session)
        medians, samples = measure_start_up(session, reference, program, args.runs)
        idle, figures = measure_memory_and_idle(session, reference, program, args.commands)
        driver = measure_interval_driver(session, build, args.driver_commands)
        clicks = click_latency.measure(session, build / "bin" / "click_latency", build / "bin" / "knack2.wav",
                                       args.clicks)

    print(f"\nMachine: {os.cpu_count()} cores, Xvfb 1024x768x24, PulseAudio null sink; load average "
          f"(1, 5, 15 min) {', '.join(f'{v:.2f}' for v in load_at_start)} at the start, "
          f"{', '.join(f'{v:.2f}' for v in os.getloadavg())} at the end")
    report.start_up(medians, samples, args.runs)
    report.memory_and_idle(idle, IDLE_SECONDS)
    report.lesson_figures(figures, refresh)
    report.interval_driver(driver)
    report.click_latency(clicks)
    print(subprocess.run([str(build / "bin" / "click_detection")], capture_output=True, text=True, check=True,
                         timeout=600).stdout, end="")
    if FORCED_STOPS:
        print(f"\nDid not end when its window was closed, terminated: {', '.join(sorted(set(FORCED_STOPS)))} "
              f"({len(FORCED_STOPS)} times)")


if __name__ == "__main__":
    main()
