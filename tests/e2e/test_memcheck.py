"""A short lesson under valgrind's memcheck: start-up, Info, the author box, "&2" (the
demonstration with its flights and boxes, then one interval), Quit. Memcheck sees Qt, X and
D-Bus too; a finding is the program's when the innermost frame outside the allocator lies in
the program's binary. Leaks count when definitely lost."""

import sys
import unittest
import xml.etree.ElementTree as ElementTree

from harness import Session, arguments

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


class Memcheck(unittest.TestCase):
    def test_short_lesson(self):
        report = ARTEFACTS / "memcheck.xml"
        with Session(ARTEFACTS) as session:
            app = session.launch("/usr/bin/valgrind", ["--leak-check=full", "--num-callers=40", "--child-silent-after-fork=yes", "--xml=yes",
                                                       f"--xml-file={report}", str(PROGRAM)])
            app.measure_area(300)
            app.key("space")
            app.answer_box("Beenden nur mit QUIT!", timeout=300)
            app.answer_box("Varnholt (1963)", timeout=300)
            app.key("Return", "alt+d", "i")
            app.answer_box("Varnholt (1963)", timeout=300)
            app.key("alt+d", "a")
            app.answer_box("Programmautor:", timeout=300)
            app.key("alt+e", "2")
            app.answer_box("Laufende Mikroteilchen sind nicht", timeout=300)
            app.answer_box("Neue Versuchsreihe!", timeout=300)
            app.wait_text((5, 12, 90, 22), ["Zahl der Versuche", "n1"], "closing-line", timeout=300)
            app.key("alt+d", "q")
            self.assertEqual(app.exit_status(300), 0)
        self.assertTrue(report.read_text().rstrip().endswith("</valgrindoutput>"), "the report is cut off")
        self.assertEqual(own_findings(report), [])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *ARGV], verbosity=2)
