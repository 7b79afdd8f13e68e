"""Steps every lesson test takes in the real program (the start-up, answering a box) and
the screen regions of the running measurement."""

import time

from x_session import BACKGROUND, colour_close, wait_until

RED, BLACK, BLUE, LIGHT_BLUE = (255, 0, 0), (0, 0, 0), (0, 0, 255), (153, 204, 255)
WINDOW_TITLE = "Statistik von zufälligen Mikroteilchen" + " " * 26
# Logical x and colour of the side lines: the two title pictures' frames, the outline of
# the start and experiment picture.
TITLE_FRAMES = ((4, BLACK), (318, BLUE))
PICTURE_OUTLINE = ((4, BLACK), (316, BLACK))
START_HINT = ["Beenden nur mit QUIT!", "Mit beiden Maustasten gleichzeitig"]
THEORY = ["Statistik von zufällig erzeugten Mikroteilchen", "Poisson-Verteilung", "Varnholt"]
STAGES = ("title prompt", "start hint", "theory box", "wait", "event loop")


def lines_at(app, columns, rows=(20, 180), spread=1):
    """Every (logical x, colour) of `columns` is a line at each logical row of `rows`."""
    return all(app.line_near(lx, ly, colour, spread) for lx, colour in columns for ly in rows)


def start_up(session, program, until="event loop", by_click=False, **launch_options):
    """Starts the program and takes the start-up as far as `until` (one of STAGES),
    checking every screen on the way. The title prompt is answered by space and the wait
    before the event loop by a click, or with `by_click` the other way round.
    `launch_options` go to XSession.launch (cwd, env, args)."""
    app = session.launch(program, **launch_options)
    app.wait_main_window()
    # The pictures start at logical x 4: the window's left margin shows the background
    # colour as soon as the title screen is drawn.
    app.wait_pixels("the title screen", lambda shot: shot.count(BACKGROUND) > 1000)
    app.measure_area()
    session.wait_text(lambda: app.grab_logical(0, 189, 320, 200), ["Weiter ?", "RETURN"], "title-prompt",
                      timeout=60, invert=True)
    wait_until(lambda: lines_at(app, TITLE_FRAMES, rows=(100,)), 30, "the frames of both title pictures")
    session.screenshot("title-screen")
    if until == "title prompt":
        return app
    session.click(*app.to_screen(160, 100)) if by_click else app.key("space")
    hint = read_box(session, app, START_HINT, "start-hint")
    assert session.title(hint) == WINDOW_TITLE, f"start hint titled {session.title(hint)!r}"
    if until == "start hint":
        return app
    answer_box(session, app, (), "start hint")
    read_box(session, app, THEORY, "theory")
    # The start picture is up behind the box, which covers neither side of its outline.
    try:
        wait_until(lambda: lines_at(app, PICTURE_OUTLINE), 30, "the outline of the start picture at x 4 and 316")
    finally:
        session.screenshot("start-picture-and-theory")
    assert not colour_close(app.logical_pixel(30, 30), BACKGROUND), "no picture inside the outline"
    if until == "theory box":
        return app
    answer_box(session, app, (), "theory")
    if until == "wait":
        return app
    app.key("Return") if by_click else session.click(*app.to_screen(160, 100))
    return app


def read_box(session, app, texts, name, timeout=30):
    """Waits for a message box and for OCR to read `texts` (if any) in it; returns the box."""
    box = app.wait_box(timeout)
    if texts:
        session.wait_text(lambda: session.grab_window(box), texts, name, timeout=60)
    return box


def answer_box(session, app, texts, name, timeout=120):
    """A box with `texts` (if any), answered by Return."""
    box = read_box(session, app, texts, name, timeout)
    app.key("Return")
    app.wait_box_gone(box)


def closing_line(app):
    """"Zahl der Versuche n:" and the number of intervals, small black on light blue."""
    return app.grab_logical(5, 12, 90, 22)


def wait_closing(session, app, texts, name, timeout=60):
    return session.wait_text(lambda: closing_line(app), texts, f"closing-line-{name}", timeout=timeout)


def step_number(app):
    """The step number under "Zeit": white digits on an orange field."""
    return app.grab_logical(28, 123, 64, 142)


def read_step(session, app, name):
    return session.ocr(step_number(app), f"step-number-{name}", invert=True, psm=7).strip()


def counting(app, timeout=60, changes=3):
    """The step number under "Zeit" changes `changes` times within `timeout` s: a run is
    drawing its steps."""
    seen, deadline = [step_number(app).rgb], time.monotonic() + timeout
    while len(seen) <= changes and time.monotonic() < deadline:
        current = step_number(app).rgb
        if current != seen[-1]:
            seen.append(current)
        time.sleep(0.01)
    return len(seen) > changes


def dot_in_flight(app, shot=None, least=50):
    """A red dot on the flight path at logical height 135."""
    return app.grab_logical(85, 130, 252, 140, shot).count(RED) > least


def wait_flight(app, what="a red dot in flight", timeout=60):
    """Waits for the dot in flight and returns a shot of the window that shows it. A flight
    lasts about a fifth of a second, so the path alone is watched, every 10 ms."""
    def flying():
        if not dot_in_flight(app):
            return None
        shot = app.session.grab_window(app.window)
        return shot if dot_in_flight(app, shot) else None
    return wait_until(flying, timeout, what, interval=0.01)


def read_mean(session, app, shot):
    """The mean and its label, white on the two red fields near the upper left, read from
    the fields alone (the light wall around them would read as white ink)."""
    texts = []
    for name, top, bottom in (("mean-label", 26, 40), ("mean-value", 40, 62)):
        region = app.grab_logical(5, top, 90, bottom, shot)
        x, y, w, h = region.box_of(RED)
        texts.append(session.ocr(region.crop(x + 1, y + 1, w - 2, h - 2), name, invert=True, threshold=None,
                                 psm=7).strip())
    label, value = texts[0], texts[1].replace(" ", "")
    # The mean has exactly one decimal; its thin comma is the glyph OCR loses most often,
    # so digits alone are read as tenths ("91" is 9,1).
    if value.isdigit() and len(value) >= 2:
        value = value[:-1] + "," + value[-1]
    return label, value


def measured_points(app, shot):
    """Frequency of each count k = 1..20 as the graph's red measured point shows it: the
    point of frequency h is centred at logical (100 + 6k, 100 - 4h)."""
    area_y, height = app.area[1], app.area[3]
    top, bottom = app.to_screen(0, 15)[1], app.to_screen(0, 103)[1]
    frequencies = {}
    for k in range(1, 21):
        centre = app.to_screen(100 + 6 * k, 0)[0]
        # Two pixels beside the centre: the white expected point does not cover them, and
        # the one-pixel red mean line can cover at most one of the two columns.
        for x in (centre - 2, centre + 2):
            rows = [y for y in range(top, bottom) if shot.pixel(x - shot.origin[0], y - shot.origin[1]) == RED]
            if rows and rows[-1] - rows[0] <= 12:
                break
        else:
            raise AssertionError(f"no single red point in the column of count {k}: rows {rows}")
        frequencies[k] = round((100 - ((rows[0] + rows[-1]) / 2 - area_y) * 200 / height) / 4)
    return frequencies
