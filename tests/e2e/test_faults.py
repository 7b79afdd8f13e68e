"""A school computer's copy with all four sibling files damaged at once: a title picture
missing, the other cut short, the experiment picture of another format, the click empty. Each
problem is told once, in German, naming the file, and the lesson goes on to its demonstration."""

import shutil
import sys
import tempfile
import unittest
from pathlib import Path

from harness import RED, Session, arguments, wait_until

PROGRAM, ARTEFACTS, ARGV = arguments()


class Faults(unittest.TestCase):
    def test_damaged_files(self):
        with Session(ARTEFACTS) as session, tempfile.TemporaryDirectory() as root:
            folder = Path(root, "schulrechner")   # its name must appear in the "missing" message
            folder.mkdir()
            shutil.copy(PROGRAM, folder)
            original = (PROGRAM.parent / "quorvel2.jpg").read_bytes()
            (folder / "quorvel2.jpg").write_bytes(original[: len(original) // 2])
            (folder / "bild3c2.gif").write_bytes(b"\x89PNG\r\n\x1a\n" + bytes(200))
            (folder / "knack2.wav").write_bytes(b"")
            app = session.launch(folder / "mikroteilchen")
            app.answer_box("Das Bild „kestrino.jpg“ fehlt im Programmordner", "schulrechner", "ohne dieses Bild weiter")
            app.answer_box("„quorvel2.jpg“ ist beschädigt", "abgeschnitten")
            app.measure_area()
            app.key("space")
            app.answer_box("Beenden nur mit QUIT!")
            app.answer_box("„bild3c2.gif“ ist kein GIF-Bild", "ein PNG-Bild")
            app.answer_box("Varnholt (1963)")
            app.key("alt+e", "2")
            app.answer_box("Der Klickton „knack2.wav“ ist nicht verwendbar: die Datei ist leer")
            wait_until(lambda: app.grab_logical(85, 130, 252, 140).count(RED) > 20, 60, "a red dot in flight", 0.01)
            app.key("alt+d", "q")
            self.assertEqual(app.exit_status(), 0)
            self.assertEqual(len(app.log_lines("mikroteilchen.platform: box: ")), 6)   # nothing told twice


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *ARGV], verbosity=2)
