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
binding) and bench/click_latency (click requests against a recording of the sink).
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
from processes import stop_process  # noqa: E402
from x_session import BACKGROUND, Timeout, XSession, colour_close, wait_until  # noqa: E402

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


def measure_memory_and_idle(session, reference, program, commands):
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
    figures = measure_lesson(session, app, commands)
    results["program peak RSS after the lesson"] = peak_rss_mb(app.pid)
    stop(app)
    return results, figures


def measure_lesson(session, app, commands):
    figures = {"first pass": lesson.first_pass(session, app)}
    figures["series"] = lesson.series(session, app)
    figures["ten-interval commands"] = lesson.ten_interval_commands(session, app, commands)
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
        info = session.root.xrandr_get_screen_info()
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

    with XSession(artefacts, audio=True) as session:
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
    if FORCED_STOPS:
        print(f"\nDid not end when its window was closed, terminated: {', '.join(sorted(set(FORCED_STOPS)))} "
              f"({len(FORCED_STOPS)} times)")


if __name__ == "__main__":
    main()
