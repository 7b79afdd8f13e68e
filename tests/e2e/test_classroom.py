"""What a classroom brings. The projector screens: at 800 x 600 and 640 x 480 the title prompt
shows whole, and the window closed while the start hint is up ends the program (a window
manager's close under a modal box). And a short lesson under valgrind's memcheck: start-up,
"&2" chosen in the wait before the event loop (the demonstration, then one interval), Quit; a
finding is the program's when the innermost frame outside the allocator lies in the program's
binary, and a leak counts when it is definitely lost."""

import sys
import unittest
import xml.etree.ElementTree as ElementTree

from harness import Session, arguments, wait_until

PROGRAM, ARTEFACTS, ARGV = arguments()
ALLOCATORS = ("malloc", "calloc", "realloc", "memalign", "posix_memalign", "operator new", "operator delete")

def own_findings(report):
    findings = []
    for error in ElementTree.parse(report).getroot().iter("error"):
        kind = error.findtext("kind")
        if kind.startswith("Leak_") and kind not in ("Leak_DefinitelyLost", "Leak_IndirectlyLost"):
            continue
        frame = next((f for f in error.find("stack").iter("frame") if "vgpreload" not in (f.findtext("obj") or "")
                      and not (f.findtext("fn") or "").startswith(ALLOCATORS)), None)
        if frame is not None and frame.findtext("obj") == str(PROGRAM):
            findings.append(f"{kind}: {error.findtext('what') or error.findtext('xwhat/text')} at {frame.findtext('fn')}")
    return findings


class Classroom(unittest.TestCase):
    def test_projector_screens(self):
        for screen in ((800, 600), (640, 480)):
            with self.subTest(screen=screen), Session(ARTEFACTS / ("%dx%d" % screen), screen=screen) as session:
                app = session.launch(PROGRAM)
                app.measure_area()
                app.wait_text((0, 180, 320, 200), ["Weiter", "RETURN"], "title-prompt", invert=True, psm=6)
                app.key("space")
                wait_until(app.box, 30, "the start hint")
                app.close()
                self.assertEqual(app.exit_status(), 0)

    def test_short_lesson(self):
        report = ARTEFACTS / "memcheck" / "memcheck.xml"
        with Session(ARTEFACTS / "memcheck") as session:
            app = session.launch("/usr/bin/valgrind", ["--leak-check=full", "--num-callers=40", "--child-silent-after-fork=yes", "--xml=yes",
                                                       f"--xml-file={report}", str(PROGRAM)])
            app.measure_area(300)
            app.key("space")
            app.answer_box("Beenden nur mit QUIT!", timeout=300)
            app.answer_box("Varnholt (1963)", timeout=300)
            app.key("alt+e", "2")   # ends the wait before the event loop as a key would, and runs
            app.answer_box("Laufende Mikroteilchen sind nicht", timeout=300)
            app.answer_box("Neue Versuchsreihe!", timeout=300)
            app.wait_text((5, 12, 90, 22), ["Zahl der Versuche", "n1"], "closing-line", timeout=300)
            app.key("alt+d", "q")
            self.assertEqual(app.exit_status(300), 0)
        self.assertTrue(report.read_text().rstrip().endswith("</valgrindoutput>"), "the report is cut off")
        self.assertEqual(own_findings(report), [])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *ARGV], verbosity=2)
