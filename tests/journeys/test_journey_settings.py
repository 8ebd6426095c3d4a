"""Settings that cannot be written are told once and never keep the reader
from closing; the profile keeps the reader's own choices."""

import os
import shutil
import subprocess
import unittest

import journey


class SettingsJourney(journey.JourneyCase):

    def test_unwritable_settings_are_told_once_and_close_closes(self):
        r = self.reader
        book = self.book("book.txt", lines=300)
        other = self.book("other.txt", lines=300)
        prefix = []
        if os.geteuid() == 0:
            setpriv = shutil.which("setpriv")
            if not setpriv:
                self.skipTest("no setpriv to run the reader as another user")
            prefix = [setpriv, "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
            for d in (r.runtime, r.home):
                shutil.chown(d, "nobody", "nogroup")
            os.chmod(r.work, 0o755)
            os.chmod(self.books, 0o755)
        else:
            for root, dirs, files in os.walk(r.program):
                for name in dirs + files:
                    os.chmod(os.path.join(root, name), 0o555)
            os.chmod(r.program, 0o555)
            self.addCleanup(lambda: subprocess.run(["chmod", "-R", "u+w", r.program]))
        os.chmod(r.config, 0o555)
        r.start(book, prefix=prefix, probe=os.path.join(r.runtime, "probe.json"), wait=False)
        s = r.wait_box("cannot be saved")
        text = s.boxes()[0][1]
        self.assertIn("kept in memory", text)
        r.answer_box("OK")
        r.wait_ready()
        self.open_with_f5(other)
        s = r.wait(lambda st: st.values["book"] == other and not st.loading, "the other book")
        r.wait_settled()
        self.assertEqual(r.state().boxes(), [])
        r.focus()
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        self.assertEqual(os.listdir(r.config), [])
        self.assertFalse(os.path.exists(os.path.join(r.program, "Lectern.ini")))

    def test_detected_layout_is_shown_and_never_stored(self):
        r = self.reader
        r.start(self.book("book.txt", lines=600))
        s = r.wait_settled()
        self.assertIn("detected: well written", s.info)
        # The profile's own value ("Text is poorly written", on by default)
        # stays, though the book was read as well written.
        self.assertTrue(s.widget("PoorlyWrittenCheckBox")["checked"])
        r.focus()
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        with open(os.path.join(r.program, "LecternProfile.lcp"), encoding="utf-8") as f:
            profile = f.read()
        self.assertIn("PoorlyWritten=TRUE", profile)
        self.assertIn("DetectTextLayout=TRUE", profile)


if __name__ == "__main__":
    unittest.main()
