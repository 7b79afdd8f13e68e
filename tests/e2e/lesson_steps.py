"""Steps every lesson test takes in the real program: getting from the start to the
event loop, answering a box, and the screen regions of the running measurement."""

from x_session import BACKGROUND


def start_to_event_loop(session, program, **launch_options):
    """Starts the program, waits for the whole title screen (kept as a screenshot) and
    answers the title prompt, the start hint, the theory box and the wait before the
    event loop. `launch_options` go to XSession.launch (cwd, env, args)."""
    app = session.launch(program, **launch_options)
    app.wait_main_window()
    app.wait_pixels("the title screen", lambda shot: shot.count(BACKGROUND) > 1000)
    app.measure_area()
    session.wait_text(lambda: app.grab_logical(0, 189, 320, 200), ["Weiter ?"], "title-prompt", invert=True)
    session.screenshot("title-screen")
    app.key("space")
    for box in ("start hint", "theory box"):
        window = app.wait_box()
        app.key("Return")
        app.wait_box_gone(window)
    session.click(*app.to_screen(160, 100))
    return app


def answer_box(session, app, texts, name, timeout=120):
    box = app.wait_box(timeout)
    session.wait_text(lambda: session.grab_window(box), texts, name)
    app.key("Return")
    app.wait_box_gone(box)


def closing_line(app):
    """"Zahl der Versuche n:" and the number of intervals, small black on light blue at
    text column 5, row 4 of the large font."""
    return app.grab_logical(5, 12, 90, 22)


def step_number(app):
    """The step number under "Zeit": white digits on an orange field."""
    return app.grab_logical(28, 123, 64, 142)
