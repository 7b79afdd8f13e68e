"""Drive a real program window the way a user does, on a private X display.

`XSession` owns an Xvfb server (and, if asked, a PulseAudio daemon with a null sink) and
stops everything it started when it ends, also after a failed check; `launch` returns an
`App`. Input goes through xdotool (XTEST), pixels come through python-xlib, texts are read
with tesseract; every screenshot lands in the artefact folder. There is no window manager:
windows have no frames and nothing has the focus until the test gives it.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from Xlib import X, Xatom, display as xdisplay
from Xlib.error import XError
from Xlib.protocol import event as xevent

from processes import DaemonProcess, stop_process
from waiting import Timeout, wait_until  # noqa: F401  (re-exported for the test scripts)
from shot import Shot, colour_close  # noqa: F401  (re-exported for the test scripts)

SCREEN_SIZE = (1024, 768)
BACKGROUND = (51, 168, 238)


def test_arguments():
    """--program and --artefacts as CTest passes them; the rest goes to unittest."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, type=Path)
    parser.add_argument("--artefacts", required=True, type=Path)
    args, rest = parser.parse_known_args()
    args.program = args.program.resolve()  # the program is started from another folder
    return args, [sys.argv[0], *rest]


class XSession:
    def __init__(self, artefacts, audio=False, screen=SCREEN_SIZE):
        self.artefacts, self.audio, self.screen = Path(artefacts), audio, screen
        self._procs, self._logs, self._shot_number, self._runtime_dir, self.x = [], [], 0, None, None

    def __enter__(self):
        shutil.rmtree(self.artefacts, ignore_errors=True)
        self.artefacts.mkdir(parents=True)
        self._runtime_dir = tempfile.mkdtemp(prefix="mt-e2e-")
        os.chmod(self._runtime_dir, 0o700)
        try:
            self._start_xvfb()
            if self.audio:
                self._start_pulseaudio()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        for proc in reversed(self._procs):
            stop_process(proc)
        self._procs.clear()
        for log in self._logs:
            log.close()
        self._logs.clear()
        if self.x is not None:
            try:
                self.x.close()
            except Exception:
                pass
            self.x = None
        if self._runtime_dir:
            shutil.rmtree(self._runtime_dir, ignore_errors=True)
        return False

    def _start_xvfb(self):
        # Xvfb picks a free display and writes its number to the pipe once it accepts
        # clients: neither a guess nor a race.
        read_end, write_end = os.pipe()
        width, height = self.screen
        self._procs.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=self._log("xvfb.log"),
            start_new_session=True))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start; see xvfb.log")
        self.display_name = f":{number}"
        self.x = xdisplay.Display(self.display_name)
        self.root = self.x.screen().root

    def _start_pulseaudio(self):
        env = self.env()
        subprocess.run(["pulseaudio", "-D", "-n", "--exit-idle-time=-1", "--disallow-exit",
                        # Without rewinds: a joining stream would make the sink render again
                        # what its monitor has already recorded (see sound.py).
                        "--load=module-null-sink sink_name=spk format=s16le rate=44100 channels=1 norewinds=1",
                        "--load=module-native-protocol-unix"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode == 0,
                   10, "the PulseAudio daemon")
        pid_file = Path(self._runtime_dir, "pulse", "pid")
        pid = int(pid_file.read_text().split()[0]) if pid_file.exists() else None
        self._procs.insert(0, DaemonProcess(pid))  # stopped last, after the programs

    def _log(self, name):
        log = open(self.artefacts / name, "ab")
        self._logs.append(log)
        return log

    def log_text(self, name):
        path = self.artefacts / name
        return path.read_text(errors="replace") if path.exists() else ""

    def env(self, **extra):
        env = dict(os.environ)
        env.update(DISPLAY=self.display_name, XDG_RUNTIME_DIR=self._runtime_dir, HOME=self._runtime_dir)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY", "PULSE_SERVER"):
            env.pop(name, None)
        env.update(extra)
        return env

    def launch(self, program, args=(), cwd=None, env=None, log_name=None):
        """Starts `program` by default from a folder not its own, so that it has to find
        its sibling files by itself."""
        log = self._log(log_name or f"{Path(program).name}.log")
        proc = subprocess.Popen([str(program), *args], cwd=cwd or self._runtime_dir, env=env or self.env(),
                                stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        self._procs.append(proc)
        return App(self, proc)

    def run_tool(self, *argv, **kwargs):
        return subprocess.run(list(argv), env=self.env(), check=True, capture_output=True, **kwargs)

    def xdotool(self, *args):
        self.run_tool("xdotool", *[str(a) for a in args])

    def key(self, *keys):
        for k in keys:
            self.xdotool("key", "--clearmodifiers", k)
            time.sleep(0.1)

    def move(self, x, y):
        self.xdotool("mousemove", "--sync", x, y)

    def click(self, x, y, button=1):
        self.move(x, y)
        self.xdotool("click", button)

    def press_buttons(self, *buttons, action="mousedown"):
        """Holds the buttons down together (press_buttons(1, 3) gives the button state 3)."""
        self.xdotool(*[word for b in buttons for word in (action, b)])

    def release_buttons(self, *buttons):
        self.press_buttons(*buttons, action="mouseup")

    def grab(self, x=0, y=0, width=None, height=None):
        width, height = width or self.screen[0] - x, height or self.screen[1] - y
        data = self.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
        rgb = bytearray(width * height * 3)  # from 32-bit words: blue, green, red, pad
        rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
        return Shot(width, height, bytes(rgb), (x, y))

    def pixel(self, x, y):
        return self.grab(x, y, 1, 1).pixel(0, 0)

    def save(self, shot, name, *convert_options):
        self._shot_number += 1
        return shot.save(self.artefacts / f"{self._shot_number:02d}-{name}.png", *convert_options)

    def screenshot(self, name):
        return self.save(self.grab(), name)

    def _tesseract(self, shot, name, options, *output):
        path = self.save(shot, name, "-colorspace", "Gray", *options)
        text = subprocess.run(["tesseract", str(path), "-", "-l", "deu", *output],
                              capture_output=True, text=True, check=True).stdout
        (self.artefacts / f"{path.stem}.{'tsv' if output[-1:] == ('tsv',) else 'txt'}").write_text(text)
        return text

    def ocr(self, shot, name, invert=False, psm=11, scale=None, threshold=90):
        """The text of `shot`; with `invert` white text is read as black ink: pixels above
        `threshold` % grey, or with None all grey levels (thin strokes survive that)."""
        options = ((["-threshold", f"{threshold}%"] if threshold else []) + ["-negate"]) if invert else []
        options += ["-resize", f"{scale}%"] if scale else []
        return self._tesseract(shot, f"ocr-{name}", options, "--psm", str(psm))

    def wait_text(self, grab, texts, name, timeout=20, **ocr_options):
        """Reads `grab()` until OCR finds all `texts` (a new window may not have painted
        yet); returns the text read."""
        seen = []

        def read():
            seen.append(self.ocr(grab(), name, **ocr_options))
            return all(t in seen[-1] for t in texts) and seen[-1]
        try:
            return wait_until(read, timeout, f"OCR to read {texts}", interval=0.3)
        except Timeout as failure:
            raise Timeout(f"{failure}; last read: {seen[-1] if seen else ''!r}") from None

    def find_text(self, shot, word, name, invert=False, scale=1):
        """Screen centre of the first word OCR reads as `word`, or None; small menu text
        is found more reliably scaled up (`scale` 2 or 3)."""
        # A white margin keeps tesseract from taking the picture's edge for ink.
        options = (["-threshold", "90%", "-negate"] if invert else []) + [
            "-resize", f"{100 * scale}%", "-bordercolor", "white", "-border", "10"]
        for line in self._tesseract(shot, f"find-{name}", options, "--psm", "11", "tsv").splitlines()[1:]:
            cells = line.split("\t")
            if len(cells) == 12 and cells[11].strip().lower() == word.lower():
                left, top, w, h = ((int(v) - m) / scale for v, m in zip(cells[6:10], (10, 10, 0, 0)))
                return shot.origin[0] + int(left + w / 2), shot.origin[1] + int(top + h / 2)
        return None

    def top_levels(self, pid=None, include_popups=False):
        """Viewable top-level windows, bottom first, optionally only those of process `pid`."""
        result = []
        for w in self.root.query_tree().children:
            try:
                attributes = w.get_attributes()
                if attributes.map_state != X.IsViewable or (attributes.override_redirect and not include_popups):
                    continue
                if pid is not None:
                    prop = w.get_full_property(self.atom("_NET_WM_PID"), Xatom.CARDINAL)
                    if not prop or prop.value[0] != pid:
                        continue
                result.append(w)
            except XError:
                continue  # went away while we looked
        return result

    def atom(self, name):
        return self.x.intern_atom(name)

    def title(self, window):
        prop = window.get_full_property(self.atom("_NET_WM_NAME"), self.atom("UTF8_STRING"))
        if prop:
            return prop.value.decode("utf-8")
        prop = window.get_full_property(Xatom.WM_NAME, X.AnyPropertyType)
        return prop.value.decode("latin-1") if prop else None

    def geometry(self, window):
        """(x, y, width, height) of the window on the screen."""
        g = window.get_geometry()
        origin = window.translate_coords(self.root, 0, 0)
        return -origin.x, -origin.y, g.width, g.height

    def grab_window(self, window):
        x, y, w, h = self.geometry(window)
        x0, y0 = max(x, 0), max(y, 0)
        return self.grab(x0, y0, min(x + w, self.screen[0]) - x0, min(y + h, self.screen[1]) - y0)

    def send_delete(self, window):
        """Asks the window to close, as a window manager's close button does."""
        protocols = self.atom("WM_PROTOCOLS")
        window.send_event(xevent.ClientMessage(window=window, client_type=protocols, data=(
            32, [self.atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
        self.x.flush()


class App:
    """A program running on the session's display."""

    def __init__(self, session, proc):
        self.session, self.proc = session, proc
        self.window = None
        self.area = None  # drawing area on the screen: x, y, width, height

    @property
    def pid(self):
        return self.proc.pid

    def windows(self):
        return self.session.top_levels(self.pid)

    def _check_alive(self):
        if self.proc.poll() is not None:
            raise AssertionError(f"the program ended early with status {self.proc.returncode}")

    def _wait(self, what, find, timeout):
        def check():
            self._check_alive()
            return find()
        return wait_until(check, timeout, what)

    def wait_main_window(self, timeout=30):
        """The program's top level that is not a box's (a warning box can come first)."""
        transient_for = self.session.atom("WM_TRANSIENT_FOR")
        self.window = self._wait("the main window", lambda: next(
            (w for w in self.windows() if not w.get_full_property(transient_for, Xatom.WINDOW)), None), timeout)
        return self.window

    def wait_box(self, timeout=30):
        """A second top-level window of the program: a message box."""
        return self._wait("a message box", lambda: next(
            (w for w in self.windows() if w.id != self.window.id), None), timeout)

    def wait_box_gone(self, box, timeout=30):
        self._wait("the message box to close", lambda: all(w.id != box.id for w in self.windows()), timeout)

    def wait_pixels(self, description, predicate, timeout=30):
        """Polls shots of the main window until `predicate(shot)` holds; returns the shot."""
        def check():
            self._check_alive()
            shot = self.session.grab_window(self.window)
            return shot if predicate(shot) else None
        try:
            return wait_until(check, timeout, description, interval=0.1)
        except Timeout:
            self.session.save(self.session.grab(), "timeout")
            raise

    def focus(self):
        """Gives the focus to the program's topmost window, as a window manager would."""
        self.session.xdotool("windowfocus", "--sync", self.windows()[-1].id)

    def has_focus(self):
        """The focus is in the program's topmost window (keys typed into the main window
        under a modal box would be lost)."""
        windows = self.windows()
        if not windows:
            return False
        focused = self.session.x.get_input_focus().focus
        try:
            while focused and focused.id not in (windows[-1].id, self.session.root.id):
                focused = focused.query_tree().parent
        except (XError, AttributeError):
            return False  # PointerRoot, None, or a window that went away
        return bool(focused) and focused.id == windows[-1].id

    def key(self, *keys):
        """Types into the program's topmost window, giving it the focus first where a window
        manager would have (the focus is lost whenever a box closes)."""
        if not self.has_focus():
            self.focus()
        self.session.key(*keys)

    def measure_area(self, colour=BACKGROUND):
        """The drawing area below the menu bar: from the first row of the window's left pixel
        column in the drawing area's `colour` down to the window's bottom."""
        x, y, w, h = self.session.geometry(self.window)
        column = self.session.grab(x + 1, y, 1, h)
        row = next((r for r in range(h) if colour_close(column.pixel(0, r), colour)), None)
        if row is None:
            raise AssertionError(f"no pixel of colour {colour} in the window's left column")
        self.area = (x, y + row, w, h - row)
        return self.area

    def to_screen(self, lx, ly):
        """Screen pixel of a logical canvas point: the program's own scaling, v * size / base."""
        x, y, w, h = self.area
        return x + lx * w // 320, y + ly * h // 200

    def grab_logical(self, lx0, ly0, lx1, ly1, shot=None):
        """The screen rectangle between two logical points, grabbed now or cut from `shot`."""
        (x0, y0), (x1, y1) = self.to_screen(lx0, ly0), self.to_screen(lx1, ly1)
        if shot is None:
            return self.session.grab(x0, y0, x1 - x0, y1 - y0)
        return shot.crop(x0 - shot.origin[0], y0 - shot.origin[1], x1 - x0, y1 - y0)

    def line_near(self, lx, ly, colour, spread=1):
        """Screen pixel of a 1-pixel line in `colour` through logical (lx, ly), or None; by
        rounding it may fall `spread` pixels either side of the scaled position."""
        x, y = self.to_screen(lx, ly)
        strip = self.session.grab(x - spread, y, 2 * spread + 1, 1)
        return next(((x - spread + i, y) for i in range(strip.width)
                     if colour_close(strip.pixel(i, 0), colour, 40)), None)

    def logical_pixel(self, lx, ly):
        return self.session.pixel(*self.to_screen(lx, ly))

    def choose_menu(self, title, entry, timeout=15):
        """Clicks `title` in the menu bar and `entry` (one word of it, without "&") in its
        popup, both found by OCR so that the style's menu metrics do not matter."""
        s = self.session
        x, y, w, _ = s.geometry(self.window)
        where = s.find_text(s.grab(x, y, w, self.area[1] - y), title, f"menubar-{title}", scale=3)
        assert where, f"menu title {title!r} not found in the menu bar"
        before = {p.id for p in s.top_levels(self.pid, include_popups=True)}
        s.click(*where)
        menu = self._wait(f"the {title} menu to open", lambda: next(
            (p for p in s.top_levels(self.pid, include_popups=True) if p.id not in before), None), timeout)
        time.sleep(0.2)  # the popup may still be painting its entries
        inside = s.grab_window(menu)
        inside = inside.crop(3, 3, inside.width - 6, inside.height - 6)  # without the popup's frame
        spot = s.find_text(inside, entry, f"menu-{entry}", scale=3)
        assert spot, f"entry {entry!r} not found in the {title} menu"
        s.click(*spot)

    def close(self):
        self.session.send_delete(self.window or self.wait_main_window())

    def wait_exit(self, timeout=30):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"waited {timeout} s for the program to end") from None
