"""The projector screens a classroom still has. At 800 x 600 and 640 x 480 the title prompt
shows whole; at 800 x 600 the window is closed while the start hint is up; at 640 x 480
"&1 Demo-Experiment" is chosen with Alt+E, 1 in the wait before the event loop and starts at
once, and Quit during its first pass ends the program."""

import sys
import unittest

from harness import RED, Session, arguments, wait_until

PROGRAM, ARTEFACTS, ARGV = arguments()


def prompt_shows(app):
    app.measure_area()
    app.wait_text((0, 180, 320, 200), ["Weiter", "RETURN"], "title-prompt", invert=True, psm=6)
    x, y, width, height = app.session.geometry(app.window)
    assert (x + width, y + height) <= app.session.screen, "the window reaches beyond the screen"


class Screens(unittest.TestCase):
    def test_800_by_600_closed_under_a_box(self):
        with Session(ARTEFACTS / "800x600", screen=(800, 600)) as session:
            app = session.launch(PROGRAM)
            prompt_shows(app)
            app.key("space")
            wait_until(app.box, 30, "the start hint")
            app.close()
            self.assertEqual(app.exit_status(), 0)

    def test_640_by_480_menu_in_the_wait_then_quit(self):
        with Session(ARTEFACTS / "640x480", screen=(640, 480)) as session:
            app = session.launch(PROGRAM)
            prompt_shows(app)
            app.key("space")
            app.answer_box("Beenden nur mit QUIT!")
            app.answer_box("Varnholt (1963)")
            app.key("alt+e", "1")
            wait_until(lambda: app.grab_logical(85, 130, 252, 140).count(RED) > 10, 60, "a red dot in flight", 0.01)
            app.key("alt+d", "q")
            self.assertEqual(app.exit_status(), 0)
            self.assertEqual(len(app.log_lines("mikroteilchen.platform: box: ")), 2)   # no halt notice, no new series


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *ARGV], verbosity=2)
