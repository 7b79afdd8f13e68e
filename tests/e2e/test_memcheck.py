"""A short lesson under valgrind's memcheck: start-up, Info, the author box, "&2" (the
demonstration with its flight, the halt notice and the new-series box, then one interval),
Quit. Memcheck sees Qt, X and D-Bus too, which have findings of their own; a finding is the
program's when the innermost frame outside the allocator lies in the program's binary."""

import sys
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from lesson_steps import answer_box, start_up, wait_closing  # noqa: E402
from x_session import XSession, test_arguments  # noqa: E402

ARGS = None
ALLOCATORS = ("malloc", "calloc", "realloc", "memalign", "posix_memalign", "operator new", "operator delete")
# Leaks count only when definitely lost (directly or through a lost block).
LEAK_KINDS = ("Leak_DefinitelyLost", "Leak_IndirectlyLost")


def innermost_caller(frames):
    """The first frame of a memcheck stack that is neither valgrind's own nor an allocator."""
    return next((frame for frame in frames if "vgpreload" not in (frame.findtext("obj") or "")
                 and not (frame.findtext("fn") or "").startswith(ALLOCATORS)), None)


def own_findings(xml_file, program):
    """The findings whose innermost caller lies in `program`, one line each."""
    findings = []
    for error in ElementTree.parse(xml_file).getroot().iter("error"):
        kind = error.findtext("kind")
        if kind.startswith("Leak_") and kind not in LEAK_KINDS:
            continue
        frame = innermost_caller(error.find("stack").iter("frame"))
        if frame is not None and frame.findtext("obj") == str(program):
            what = error.findtext("what") or error.findtext("xwhat/text")
            findings.append(f"{kind}: {what} at {frame.findtext('fn')} ({frame.findtext('file')}:{frame.findtext('line')})")
    return findings


class Memcheck(unittest.TestCase):
    def test_short_lesson_has_no_error_and_no_leak_of_its_own(self):
        xml_file = ARGS.artefacts / "memcheck.xml"
        with XSession(ARGS.artefacts) as session:
            app = start_up(
                session, "/usr/bin/valgrind",
                args=["--tool=memcheck", "--leak-check=full", "--num-callers=40", "--child-silent-after-fork=yes",
                      "--xml=yes", f"--xml-file={xml_file}", str(ARGS.program)],
                log_name="memcheck.log")
            app.choose_menu("DESK", "Info")
            answer_box(session, app, ["Statistik von zufällig erzeugten Mikroteilchen"], "theory-after-info")
            app.choose_menu("DESK", "Autor")
            answer_box(session, app, ["Programmautor"], "author")
            app.key("alt+e", "2")
            answer_box(session, app, ["Laufende Mikroteilchen sind nicht"], "halt-notice", timeout=300)
            answer_box(session, app, ["Neue Versuchsreihe!"], "new-series", timeout=120)
            wait_closing(session, app, ["n:1"], "1", timeout=120)
            app.choose_menu("DESK", "Quit")
            self.assertEqual(app.wait_exit(120), 0)

        self.assertTrue(xml_file.read_text().rstrip().endswith("</valgrindoutput>"), "memcheck's report is cut off")
        findings = own_findings(xml_file, ARGS.program)
        self.assertEqual(findings, [], "\n".join(findings))


if __name__ == "__main__":
    ARGS, argv = test_arguments()
    unittest.main(argv=argv, verbosity=2)
