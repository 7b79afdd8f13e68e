"""The program's spine in a real window: the start-up from the title screen to the event
loop, and the ways a user ends the program: Quit, or closing the window in any phase of
the lesson, after which the shut-down runs exactly once and the program exits with 0."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from lesson_steps import (RED, WINDOW_TITLE, answer_box, counting, read_box,  # noqa: E402
                          start_up, step_number, wait_flight)
from x_session import BACKGROUND, XSession, test_arguments  # noqa: E402

ARGS = None
# The Qt binding reports the window's end and every released picture in this category.
LOGGING = "mikroteilchen.platform.info=true"
LOG_PREFIX = "mikroteilchen.platform: "


def expected_log(screens_before, screens_after):
    """The binding's log of a run the user ends by closing the window. Pictures are numbered
    in load order: the title pictures 1 and 2, the start picture 3, then one for every
    experiment screen, which loads the background afresh and gives the previous one back.
    Shut-down releases the title pictures and the last background, then closes the window:
    each exactly once."""
    last = 3 + screens_before + screens_after

    def released(ids):
        return [f"released picture {n}" for n in ids]
    return (released(range(3, 3 + screens_before)) + ["the user closed the window"]
            + released(range(3 + screens_before, last)) + released([1, 2, last])
            + ["shut-down: the program closes its window"])


def start(session, until="event loop", by_click=False):
    return start_up(session, ARGS.program, until, by_click, env=session.env(QT_LOGGING_RULES=LOGGING))


def at(stage):
    return lambda session: start(session, stage)


def in_event_loop(session):
    app = start(session, by_click=True)
    # The event loop dispatches menu choices: Alt+H, T opens the theory box.
    app.key("alt+h", "t")
    answer_box(session, app, ["Varnholt (1963)"], "theory-from-menu")
    return app


def in_demo_flight(session):
    app = start(session)
    app.key("alt+e", "1")
    wait_flight(app)
    return app


def in_halt_box(session):
    app = start(session)
    app.key("alt+e", "1")
    read_box(session, app, ["Laufende Mikroteilchen sind nicht"], "halt-box", 120)
    return app


def in_box_nested_in_run(session):
    app = in_demo_flight(session)
    app.key("alt+d", "a")
    read_box(session, app, ["Programmautor:"], "author-box")
    return app


def in_running_series(session):
    """The theory box chosen during the demonstration's first pass ends the demonstration;
    then "&3 Experiment 10 x wiederholen" runs a series."""
    app = start(session)
    app.key("alt+e", "1")
    assert counting(app), "the demonstration's step number counts"
    app.key("alt+h", "t")
    answer_box(session, app, ["Varnholt (1963)"], "theory-during-demo")
    # At its end the demonstration covers its red label "  DEMO !" with a light-blue
    # block; from then on the menu takes EXPERIMENT entries again.
    app.wait_pixels("the demonstration's label covered",
                    lambda shot: app.grab_logical(5, 5, 60, 20, shot).count(RED, 60) == 0)
    app.key("alt+e", "3")
    answer_box(session, app, ["Neue Versuchsreihe!"], "new-series-box")
    assert counting(app), "the series' step number counts"
    return app


def in_pause_after_demo(session):
    """"&2" as the first command runs the whole demonstration, then pauses 5 s before it
    announces the new series. Only the second pass counts to 100 (the first to 40)."""
    app = start(session)
    app.key("alt+e", "2")
    answer_box(session, app, ["Laufende Mikroteilchen sind nicht"], "halt-box")
    session.wait_text(lambda: step_number(app), ["100"], "step-number-100", invert=True, psm=7)
    assert len(app.windows()) == 1, "a box is up already: the pause is over"
    return app


# Phase, the step that reaches it, and how many experiment screens open before and after
# the close: a close ends the demonstration like Quit, but a series command whose pause
# is cut short still opens its screen, which ends at its first test.
PHASES = [
    ("title prompt", at("title prompt"), 0, 0),
    ("start hint box", at("start hint"), 0, 0),
    ("theory box", at("theory box"), 0, 0),
    ("wait before the event loop", at("wait"), 0, 0),
    ("event loop", in_event_loop, 0, 0),
    ("flight of the demonstration's dot", in_demo_flight, 1, 0),
    ("box nested inside a run", in_box_nested_in_run, 1, 0),
    ("halt notice box", in_halt_box, 1, 0),
    ("running interval of a series", in_running_series, 2, 0),
    ("5-second pause after the demonstration", in_pause_after_demo, 2, 1),
]


class Spine(unittest.TestCase):
    def session(self, name=None):
        folder = ARGS.artefacts / self._testMethodName
        return XSession(folder / name if name else folder)

    def test_window_title_and_title_screen(self):
        with self.session() as session:
            app = start(session, "title prompt")
            self.assertEqual(session.title(app.window), WINDOW_TITLE)
            self.assertEqual(len(session.title(app.window)), 64)
            self.assertEqual(app.logical_pixel(1, 100), BACKGROUND)
            self.assertEqual(app.logical_pixel(161, 100), BACKGROUND)  # between the two pictures
            session.wait_text(lambda: session.grab(*app.area),
                              ["Zählstatistik", "emittierter", "Mikroteilchen", "Programmautor:"], "title-texts")

    def test_start_up_then_quit_from_the_menu(self):
        with self.session() as session:
            app = start(session)
            app.choose_menu("DESK", "Quit")
            self.assertEqual(app.wait_exit(), 0)

    def test_closing_the_window_in_every_phase(self):
        for phase, reach, screens_before, screens_after in PHASES:
            with self.subTest(phase), self.session(phase.replace(" ", "-").replace("'", "")) as session:
                app = reach(session)
                session.screenshot("before-closing")
                app.close()
                self.assertEqual(app.wait_exit(), 0, phase)
                lines = [line[len(LOG_PREFIX):] for line in session.log_text(f"{ARGS.program.name}.log").splitlines()
                         if line.startswith(LOG_PREFIX)]
                self.assertEqual(lines, expected_log(screens_before, screens_after), phase)


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
