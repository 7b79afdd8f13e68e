"""The program's spine, end to end in a real window: start-up from the title screen
through the start hint, the start picture and the theory box to the event loop, and
the ways a user ends the program: Quit, or closing the window in any phase of the
lesson, after which shut-down runs exactly once and the program exits with status 0."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from lesson_steps import answer_box, start_to_event_loop, step_number  # noqa: E402
from x_session import BACKGROUND, XSession, colour_close, test_arguments, wait_until  # noqa: E402

WINDOW_TITLE = "Statistik von zufälligen Mikroteilchen" + " " * 26
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)
RED = (255, 0, 0)
ARGS = None

# The Qt binding reports the window's end and every released picture in this category.
LOGGING = "mikroteilchen.platform.info=true"
LOG_PREFIX = "mikroteilchen.platform: "
USER_CLOSED = "the user closed the window"
SHUT_DOWN = "shut-down: the program closes its window"


def expected_log(screens_before, screens_after):
    """The binding's log of a run that the user ends by closing the window. Pictures are
    numbered in load order: the two title pictures 1 and 2, the start picture 3, then one
    more for every experiment screen, which loads the background afresh and gives the
    previous one back. Shut-down releases the two title pictures and the background held
    last, then closes the window: each exactly once."""
    last = 3 + screens_before + screens_after

    def released(ids):
        return [f"released picture {n}" for n in ids]
    return (released(range(3, 3 + screens_before)) + [USER_CLOSED] + released(range(3 + screens_before, last))
            + released([1, 2, last]) + [SHUT_DOWN])


def wait_counting(app, what):
    """Waits until the step number under "Zeit" has changed three times: a run is counting."""
    shots = [step_number(app).rgb]

    def changed_thrice():
        current = step_number(app).rgb
        if current != shots[-1]:
            shots.append(current)
        return len(shots) > 3
    wait_until(changed_thrice, 60, what, interval=0.02)


def close_top_box(app):
    box = app.windows()[-1]
    app.key("Return")
    app.wait_box_gone(box)


class Spine(unittest.TestCase):
    def session(self, name=None):
        folder = ARGS.artefacts / self._testMethodName
        return XSession(folder / name if name else folder)

    @staticmethod
    def logging_on(session):
        return {"env": session.env(QT_LOGGING_RULES=LOGGING)}

    def start_to_title_screen(self, session):
        """Starts the program from a folder other than its own and waits until the title
        screen is up: both pictures with their frames, the background colour between
        and around them."""
        app = session.launch(ARGS.program, **self.logging_on(session))
        app.wait_main_window()
        # The pictures start at logical x 4, so the window's left margin shows the
        # background colour as soon as the title screen is drawn.
        app.wait_pixels("the title screen", lambda shot: shot.count(BACKGROUND) > 1000)
        app.measure_area()
        wait_until(lambda: app.line_near(4, 100, BLACK) and app.line_near(318, 100, BLUE),
                   30, "the frames of both title pictures")
        return app

    def test_window_title_and_title_screen(self):
        with self.session() as session:
            app = self.start_to_title_screen(session)
            self.assertEqual(session.title(app.window), WINDOW_TITLE)
            self.assertEqual(len(session.title(app.window)), 64)

            self.assertEqual(app.logical_pixel(1, 100), BACKGROUND)
            self.assertEqual(app.logical_pixel(161, 100), BACKGROUND)  # between the two pictures

            def area():
                return session.grab(*app.area)
            session.wait_text(area, ["Zählstatistik", "emittierter", "Mikroteilchen", "Programmautor:"],
                              "title-texts")
            # The prompt sits near the bottom, below the frames that end at logical y 188;
            # white on the background colour, it is read after turning white into black ink.
            x, top, width, height = app.area
            below_frames = app.to_screen(0, 189)[1]

            def bottom_strip():
                return session.grab(x, below_frames, width, top + height - below_frames)
            try:
                session.wait_text(bottom_strip, ["Weiter ?", "RETURN"], "title-prompt", invert=True)
            finally:
                session.screenshot("title-screen")

    # ---- start-up, one phase after the other ----------------------------------------

    def at_title_prompt(self, session):
        app = self.start_to_title_screen(session)
        session.wait_text(lambda: app.grab_logical(0, 189, 320, 200), ["Weiter ?"], "title-prompt", invert=True)
        return app

    def at_start_hint(self, session, continue_by_click=False):
        app = self.at_title_prompt(session)
        if continue_by_click:
            session.click(*app.to_screen(160, 100))
        else:
            app.key("space")
        hint = app.wait_box()
        self.assertEqual(session.title(hint), WINDOW_TITLE)
        session.wait_text(lambda: session.grab_window(hint),
                          ["Beenden nur mit QUIT!", "Mit beiden Maustasten gleichzeitig"], "start-hint")
        return app

    def at_theory_box(self, session, continue_by_click=False):
        app = self.at_start_hint(session, continue_by_click)
        close_top_box(app)
        theory = app.wait_box()
        session.wait_text(lambda: session.grab_window(theory), ["Statistik von zufällig erzeugten Mikroteilchen"],
                          "theory")
        return app

    def at_wait_before_event_loop(self, session, continue_by_click=False):
        """The theory box is answered; the start picture is up, waiting for a key or a click."""
        app = self.at_theory_box(session, continue_by_click)
        # The start picture is up behind the theory box: its black outline runs down
        # logical x 4 and x 316 (the box sits in the middle and covers neither).
        corners = [(lx, ly) for lx in (4, 316) for ly in (20, 180)]
        try:
            wait_until(lambda: all(app.line_near(lx, ly, BLACK) for lx, ly in corners),
                       10, "the black outline of the start picture at logical x 4 and 316")
        finally:
            session.screenshot("start-picture-and-theory")
        self.assertFalse(colour_close(app.logical_pixel(30, 30), BACKGROUND), "no picture inside the outline")
        close_top_box(app)
        return app

    def in_event_loop(self, session):
        app = self.at_wait_before_event_loop(session, continue_by_click=True)
        app.key("Return")  # ends the wait as well as a click does
        # The event loop dispatches menu choices: Alt+H, T opens the theory box.
        app.key("alt+h", "t")
        answer_box(session, app, ["Varnholt (1963)"], "theory-from-menu")
        return app

    # ---- the lesson, each phase reached from the event loop -------------------------

    def in_demo_flight(self, session):
        app = start_to_event_loop(session, ARGS.program, **self.logging_on(session))
        app.key("alt+e", "1")
        app.wait_pixels("a red dot in flight",
                        lambda shot: app.grab_logical(85, 130, 252, 140, shot).count(RED) > 50, 60)
        return app

    def in_halt_box(self, session):
        app = start_to_event_loop(session, ARGS.program, **self.logging_on(session))
        app.key("alt+e", "1")
        box = app.wait_box(120)
        session.wait_text(lambda: session.grab_window(box), ["Laufende Mikroteilchen sind nicht"], "halt-box")
        return app

    def in_box_nested_in_run(self, session):
        app = self.in_demo_flight(session)
        app.key("alt+d", "a")
        box = app.wait_box()
        session.wait_text(lambda: session.grab_window(box), ["Programmautor:"], "author-box")
        return app

    def in_running_series(self, session):
        """The theory box chosen during the demonstration's first pass ends the
        demonstration early; then "&3 Experiment 10 x wiederholen" runs a series."""
        app = start_to_event_loop(session, ARGS.program, **self.logging_on(session))
        app.key("alt+e", "1")
        wait_counting(app, "the demonstration's step number to count")
        app.key("alt+h", "t")
        answer_box(session, app, ["Varnholt (1963)"], "theory-during-demo")
        # At its end the demonstration's screen covers its red label "  DEMO !" with a
        # light-blue block; from then on the menu takes EXPERIMENT entries again.
        app.wait_pixels("the demonstration's label covered",
                        lambda shot: app.grab_logical(5, 5, 60, 20, shot).count(RED, 60) == 0)
        app.key("alt+e", "3")
        answer_box(session, app, ["Neue Versuchsreihe!"], "new-series-box")
        wait_counting(app, "the series' step number to count")
        return app

    def in_pause_after_demo(self, session):
        """"&2 Neues Experiment / 1 x wiederholen" as the first command runs the whole
        demonstration and then pauses 5 seconds before it announces the new series. Only
        the second pass counts to 100 (the first one to 40)."""
        app = start_to_event_loop(session, ARGS.program, **self.logging_on(session))
        app.key("alt+e", "2")
        answer_box(session, app, ["Laufende Mikroteilchen sind nicht"], "halt-box")
        session.wait_text(lambda: step_number(app), ["100"], "step-number-100", invert=True, psm=7)
        self.assertEqual(len(app.windows()), 1, "a box is up already: the pause is over")
        return app

    # ---- ending the program ---------------------------------------------------------

    def test_start_up_then_quit_from_the_menu(self):
        with self.session() as session:
            app = self.at_wait_before_event_loop(session)
            session.click(*app.to_screen(160, 100))  # ends the wait; the event loop runs
            app.choose_menu("DESK", "Quit")
            self.assertEqual(app.wait_exit(), 0)

    # Phase, the step that reaches it, and how many experiment screens open before and
    # after the close: a close ends the demonstration like Quit, but a series command
    # whose pause is cut short still opens its screen, which ends at its first test.
    PHASES = [
        ("title prompt", at_title_prompt, 0, 0),
        ("start hint box", at_start_hint, 0, 0),
        ("theory box", at_theory_box, 0, 0),
        ("wait before the event loop", at_wait_before_event_loop, 0, 0),
        ("event loop", in_event_loop, 0, 0),
        ("flight of the demonstration's dot", in_demo_flight, 1, 0),
        ("box nested inside a run", in_box_nested_in_run, 1, 0),
        ("halt notice box", in_halt_box, 1, 0),
        ("running interval of a series", in_running_series, 2, 0),
        ("5-second pause after the demonstration", in_pause_after_demo, 2, 1),
    ]

    def close_in(self, phase, reach, screens_before, screens_after):
        with self.session(phase.replace(" ", "-").replace("'", "")) as session:
            app = reach(self, session)
            session.screenshot("before-closing")
            app.close()
            self.assertEqual(app.wait_exit(), 0, phase)
            log = (session.artefacts / f"{ARGS.program.name}.log").read_text()
        lines = [line[len(LOG_PREFIX):] for line in log.splitlines() if line.startswith(LOG_PREFIX)]
        self.assertEqual(lines, expected_log(screens_before, screens_after), phase)

    def test_closing_the_window_in_every_phase(self):
        for phase, *row in self.PHASES:
            with self.subTest(phase):
                self.close_in(phase, *row)


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
