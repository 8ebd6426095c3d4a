"""lectern-convert never writes over the book it reads."""

import os
import shutil
import subprocess
import tempfile
import unittest

import journey


class ConvertJourney(unittest.TestCase):

    def setUp(self):
        self.exe = os.path.join(journey.PACKAGE, "lectern-convert")
        if not os.access(self.exe, os.X_OK):
            self.skipTest("lectern-convert is not built")
        self.dir = tempfile.mkdtemp(prefix="lectern-convert-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.book = journey.numbered_book(os.path.join(self.dir, "X.txt"), lines=200)
        with open(self.book, "rb") as f:
            self.original = f.read()

    def convert(self, *args):
        return subprocess.run([self.exe] + list(args), cwd=self.dir, capture_output=True, text=True, timeout=60)

    def test_output_that_is_the_book_is_refused(self):
        os.symlink("X.txt", os.path.join(self.dir, "link.txt"))
        os.makedirs(os.path.join(self.dir, "sub"))
        for out in ("X.txt", "./X.txt", os.path.join(self.dir, "sub", "..", "X.txt"), "link.txt"):
            with self.subTest(out=out):
                r = self.convert("X.txt", out)
                self.assertEqual(r.returncode, 2, r.stderr)
                self.assertIn("the book itself", r.stderr)
                with open(self.book, "rb") as f:
                    self.assertEqual(f.read(), self.original)

    def test_output_beside_the_book_is_written_without_the_marker(self):
        r = self.convert("X.txt", "Y.txt")
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(os.path.join(self.dir, "Y.txt"), "rb") as f:
            self.assertNotIn(b"End of Book", f.read())


if __name__ == "__main__":
    unittest.main()
