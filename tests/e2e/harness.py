"""Drives the real program the way a class does, on a private X display (Xvfb, no window
manager), with a PulseAudio null sink when asked. Input goes through xdotool, pixels come
through python-xlib, the program's own texts are read with tesseract, and what a box says is
read from the program's log, in whatever font the desktop has. Screenshots and logs stay in
the artefact folder."""

import argparse
import array
import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from Xlib import X, Xatom, display as xdisplay
from Xlib.error import XError
from Xlib.protocol import event as xevent

BACKGROUND, RED = (51, 168, 238), (255, 0, 0)
LOG_RULES = "mikroteilchen.platform.info=true"
RATE = 44100


def arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, type=Path)
    parser.add_argument("--artefacts", required=True, type=Path)
    args, rest = parser.parse_known_args()
    return args.program.resolve(), args.artefacts, rest


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls `predicate` until it gives something truthy, and returns that. `what` names what
    is awaited, or says it when called (so that it can tell what was seen last)."""
    deadline = time.monotonic() + timeout
    while not (result := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {timeout} s for {what() if callable(what) else what}")
        time.sleep(interval)
    return result


def words(text):
    """Text as a line of words without the punctuation OCR mixes up."""
    return " ".join(text.translate(str.maketrans("", "", ".,:;!?„“\"'")).split())


class Shot:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def inside(self, colour):
        """The part within the pixels of `colour` (a text's field), its border left out."""
        hits = [(x, y) for y in range(self.height) for x in range(self.width) if self.pixel(x, y) == colour]
        x0, y0 = min(x for x, _ in hits) + 1, min(y for _, y in hits) + 1
        x1, y1 = max(x for x, _ in hits), max(y for _, y in hits)
        rows = [self.rgb[3 * (y * self.width + x0):3 * (y * self.width + x1)] for y in range(y0, y1)]
        return Shot(x1 - x0, y1 - y0, b"".join(rows))


class Session:
    def __init__(self, artefacts, screen=(1024, 768), audio=False, microphone=False):
        """With a microphone, what is played into the sink "counter" is the input "zaehlrohr" (Qt
        lists no monitor sources as inputs)."""
        self.artefacts, self.screen, self.procs, self.shots = Path(artefacts), screen, [], 0
        self.audio, self.microphone = audio or microphone, microphone

    def __enter__(self):
        shutil.rmtree(self.artefacts, ignore_errors=True)
        self.artefacts.mkdir(parents=True)
        self.home = tempfile.mkdtemp(prefix="mt-e2e-")
        read_end, write_end = os.pipe()   # Xvfb writes its display number once it takes clients
        self.procs.append(subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
                                            "%dx%dx24" % self.screen], pass_fds=(write_end,), stderr=subprocess.DEVNULL))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.display = ":" + pipe.readline().strip()
        self.x = xdisplay.Display(self.display)
        if self.audio:
            subprocess.run(["pulseaudio", "-D", "-n", "--exit-idle-time=-1", "--disallow-exit",
                            "--load=module-null-sink sink_name=spk format=s16le rate=44100 channels=1 norewinds=1",
                            "--load=module-native-protocol-unix", *(["--load=module-null-sink sink_name=counter rate=48000 channels=1",
                            "--load=module-remap-source master=counter.monitor source_name=zaehlrohr"] if self.microphone else [])],
                           env=self.env(), check=True)
            wait_until(lambda: subprocess.run(["pactl", "info"], env=self.env(), capture_output=True).returncode == 0,
                       10, "the sound server")
            self.pulse = int(Path(self.home, "pulse", "pid").read_text().split()[0])   # it forked away from us
        return self

    def __exit__(self, *exc):
        if exc[0]:
            self.save(self.grab(0, 0, *self.screen), "failure")
        for proc in reversed(self.procs):
            proc.kill()
            proc.wait()
        if self.audio:
            os.kill(self.pulse, signal.SIGKILL)
        shutil.rmtree(self.home, ignore_errors=True)

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "PULSE_SERVER")}
        env.update(DISPLAY=self.display, XDG_RUNTIME_DIR=self.home, HOME=self.home, QT_LOGGING_RULES=LOG_RULES, **extra)
        return env

    def launch(self, program, args=(), **extra_env):
        """Starts the program from a folder not its own, so that it finds its files by itself."""
        log = self.artefacts / f"{Path(program).name}.log"
        with log.open("wb") as output:
            proc = subprocess.Popen([str(program), *args], cwd=self.home, env=self.env(**extra_env),
                                    stdout=output, stderr=subprocess.STDOUT)
        self.procs.append(proc)
        return App(self, proc, log)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True)

    def grab(self, x, y, width, height):
        data = self.x.screen().root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
        rgb = bytearray(width * height * 3)   # from 32-bit words: blue, green, red, pad
        rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
        return Shot(width, height, bytes(rgb))

    def save(self, shot, name, *convert):
        self.shots += 1
        path = self.artefacts / f"{self.shots:02d}-{name}.png"
        ppm = b"P6\n%d %d\n255\n" % (shot.width, shot.height) + shot.rgb
        subprocess.run(["convert", "ppm:-", *convert, str(path)], input=ppm, check=True)
        return path

    def ocr(self, shot, name, invert=False, psm=11, threshold="90%"):
        """The words tesseract reads; white text on colour is read as black ink: the pixels
        above `threshold` grey, or with None all grey levels (thin strokes survive that)."""
        path = self.save(shot, name, "-colorspace", "Gray",
                         *((["-threshold", threshold] if threshold else []) + ["-negate"] if invert else []))
        return words(subprocess.run(["tesseract", str(path), "-", "-l", "deu", "--psm", str(psm)],
                                    capture_output=True, text=True, check=True).stdout)

    def windows(self, pid, popups=False):
        """The viewable top-level windows of the process, bottom first: its windows and boxes,
        or (popups) its open menus."""
        def wanted(w):
            try:
                attributes, owner = w.get_attributes(), w.get_full_property(self.x.intern_atom("_NET_WM_PID"), Xatom.CARDINAL)
                return attributes.map_state == X.IsViewable and bool(attributes.override_redirect) == popups \
                    and owner and owner.value[0] == pid
            except XError:   # gone meanwhile
                return False
        return [w for w in self.x.screen().root.query_tree().children if wanted(w)]

    def geometry(self, window):
        g, origin = window.get_geometry(), window.translate_coords(self.x.screen().root, 0, 0)
        return -origin.x, -origin.y, g.width, g.height

    def record(self):
        """Records the null sink until the returned function is called; that gives the
        samples. A silent stream keeps the sink rendering in small blocks."""
        audio = ["--raw", "--format=s16le", f"--rate={RATE}", "--channels=1"]
        with open("/dev/zero", "rb") as zeros:
            silence = subprocess.Popen(["pacat", "-p", "-d", "spk", "--latency-msec=10", *audio], env=self.env(), stdin=zeros)
        file = tempfile.TemporaryFile()
        parec = subprocess.Popen(["parec", "-d", "spk.monitor", "--latency-msec=5", *audio], env=self.env(), stdout=file)
        wait_until(lambda: os.fstat(file.fileno()).st_size > 0, 10, "the recording")

        def stop():
            parec.send_signal(signal.SIGINT)   # parec writes out what it holds only on SIGINT
            parec.wait(10)
            silence.kill()
            file.seek(0)
            raw = file.read()
            return array.array("h", raw[: len(raw) // 2 * 2])
        return stop


def click_onsets(samples, threshold=2000, quiet_ms=5):
    """Where clicks start: a sample above `threshold` after `quiet_ms` below it. The program's
    click stays loud for 3.3 ms, so clicks a display frame (16.7 ms) apart count one each."""
    quiet, onsets, last_loud = RATE * quiet_ms // 1000, [], -RATE
    for i, value in enumerate(samples):
        if abs(value) > threshold:
            if i - last_loud > quiet:
                onsets.append(i)
            last_loud = i
    return onsets


class App:
    def __init__(self, session, proc, log):
        self.session, self.proc, self.log = session, proc, log
        transient = session.x.intern_atom("WM_TRANSIENT_FOR")   # a box's window has it
        self.window = wait_until(lambda: self.alive() and next(
            (w for w in session.windows(proc.pid) if not w.get_full_property(transient, Xatom.WINDOW)), None),
            300, "the main window")
        self.area = None

    def alive(self):
        assert self.proc.poll() is None, f"the program ended with status {self.proc.returncode}"
        return True

    def log_lines(self, prefix):
        return [line[len(prefix):] for line in self.log.read_text(errors="replace").splitlines() if line.startswith(prefix)]

    def box(self):
        """The open message box (a second top-level window), or None."""
        return next((w for w in self.session.windows(self.proc.pid) if w.id != self.window.id), None)

    def answer_box(self, *texts, timeout=120):
        """Waits for a box that says all of `texts` (as the program's log shows it), takes
        Return and waits for it to go; returns its text."""
        box = wait_until(lambda: self.alive() and self.box(), timeout, f"a box saying {texts}")
        said = wait_until(lambda: self.log_lines("mikroteilchen.platform: box: "), 10, "the box in the log")[-1]
        assert all(words(t) in words(said) for t in texts), f"box says {said!r}, not {texts}"
        self.key("Return")
        wait_until(lambda: self.proc.poll() is not None or all(w.id != box.id for w in self.session.windows(self.proc.pid)),
                   30, "the box to close")
        return said

    def key(self, *keys):
        """Types into the program's topmost window, focused as a window manager would."""
        self.session.xdotool("windowfocus", "--sync", self.session.windows(self.proc.pid)[-1].id)
        for k in keys:
            self.session.xdotool("key", "--clearmodifiers", k)
            time.sleep(0.1)

    def mean_shown(self):
        """The mean in the graph's red field as OCR reads it, its comma dropped: "103" for 10,3."""
        return self.session.ocr(self.grab_logical(5, 40, 90, 62).inside(RED), "mean-value", invert=True, psm=7,
                                threshold=None).replace(" ", "")

    def measure_area(self, timeout=30):
        """The drawing area: from the first row of the window's background colour down."""
        x, y, w, h = self.session.geometry(self.window)

        def top():
            column = self.session.grab(x + 1, y, 1, h)
            return next((r for r in range(h) if column.pixel(0, r) == BACKGROUND), None)
        top_row = wait_until(top, timeout, "the canvas")
        self.area = (x, y + top_row, w, h - top_row)
        return self.area

    def grab_logical(self, lx0, ly0, lx1, ly1):
        x, y, w, h = self.area
        x0, y0 = x + lx0 * w // 320, y + ly0 * h // 200
        return self.session.grab(x0, y0, x + lx1 * w // 320 - x0, y + ly1 * h // 200 - y0)

    def wait_text(self, region, expected, name, timeout=60, **ocr):
        """Waits until OCR of the logical `region` reads all `expected` words."""
        seen = [""]

        def read():
            self.alive()
            seen[0] = self.session.ocr(self.grab_logical(*region), name, **ocr)
            return all(words(e) in seen[0] for e in expected)
        wait_until(read, timeout, lambda: f"{expected} in {name}; read {seen[0]!r}", interval=0.3)

    def close(self):
        """Asks the window to close, as a window manager's close button does."""
        atom = self.session.x.intern_atom
        self.window.send_event(xevent.ClientMessage(window=self.window, client_type=atom("WM_PROTOCOLS"), data=(
            32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])), event_mask=X.NoEventMask)
        self.session.x.flush()

    def exit_status(self, timeout=60):
        status = self.proc.wait(timeout)
        assert self.log_lines("mikroteilchen.platform: ").count("shut-down: the program closes its window") == 1
        return status
