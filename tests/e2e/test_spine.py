"""The program's spine, end to end in a real window: start-up from the title screen
through the start hint, the start picture and the theory box to the event loop, and
the three ways a user ends the program (Quit, closing the window in the event loop,
closing it at the title prompt)."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from x_session import BACKGROUND, XSession, colour_close, test_arguments, wait_until  # noqa: E402

WINDOW_TITLE = "Statistik von zufälligen Mikroteilchen" + " " * 26
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)
ARGS = None


class Spine(unittest.TestCase):
    def session(self):
        return XSession(ARGS.artefacts / self._testMethodName)

    def start_to_title_screen(self, session):
        """Starts the program from a folder other than its own and waits until the title
        screen is up: both pictures with their frames, the background colour between
        and around them."""
        app = session.launch(ARGS.program)
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

    def through_start_up(self, session, app, continue_by_click):
        """Answers the title prompt with a key or a click, then goes through the start
        hint, the start picture and the theory box up to the wait before the event loop."""
        if continue_by_click:
            session.click(*app.to_screen(160, 100))
        else:
            app.key("space")

        hint = app.wait_box()
        self.assertEqual(session.title(hint), WINDOW_TITLE)
        session.wait_text(lambda: session.grab_window(hint),
                          ["Beenden nur mit QUIT!", "Mit beiden Maustasten gleichzeitig"], "start-hint")
        app.key("Return")
        app.wait_box_gone(hint)

        theory = app.wait_box()
        session.wait_text(lambda: session.grab_window(theory), ["Statistik von zufällig erzeugten Mikroteilchen"],
                          "theory")
        # The start picture is up behind the theory box: its black outline runs down
        # logical x 4 and x 316 (the box sits in the middle and covers neither).
        corners = [(lx, ly) for lx in (4, 316) for ly in (20, 180)]
        try:
            wait_until(lambda: all(app.line_near(lx, ly, BLACK) for lx, ly in corners),
                       10, "the black outline of the start picture at logical x 4 and 316")
        finally:
            session.screenshot("start-picture-and-theory")
        self.assertFalse(colour_close(app.logical_pixel(30, 30), BACKGROUND), "no picture inside the outline")
        app.key("Return")
        app.wait_box_gone(theory)

    def test_start_up_then_quit_from_the_menu(self):
        with self.session() as session:
            app = self.start_to_title_screen(session)
            self.through_start_up(session, app, continue_by_click=False)
            session.click(*app.to_screen(160, 100))  # ends the wait; the event loop runs
            app.choose_menu("DESK", "Quit")
            self.assertEqual(app.wait_exit(), 0)

    def test_closing_the_window_in_the_event_loop(self):
        with self.session() as session:
            app = self.start_to_title_screen(session)
            self.through_start_up(session, app, continue_by_click=True)
            app.key("Return")  # ends the wait as well as a click does

            # The event loop dispatches menu choices: Alt+H, T opens the theory box.
            app.key("alt+h", "t")
            theory = app.wait_box()
            session.wait_text(lambda: session.grab_window(theory), ["Varnholt (1963)"], "theory-from-menu")
            app.key("Return")
            app.wait_box_gone(theory)

            app.close()
            self.assertEqual(app.wait_exit(), 0)

    def test_closing_the_window_at_the_title_prompt(self):
        with self.session() as session:
            app = self.start_to_title_screen(session)
            app.close()
            self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
