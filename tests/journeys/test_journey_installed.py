"""The reader as the Debian package installs it: the package made from this
build is unpacked into a throw-away root with a read-only /usr, and the
reader is started the way its menu entry starts it (as an unprivileged
user, since root writes anywhere). It opens its Welcome book, a book opened
from the file manager goes to that reader, and its settings go to
XDG_CONFIG_HOME because the program directory cannot take them."""

import os
import shutil
import subprocess
import unittest

import journey

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("LECTERN_BUILD", "")
NOBODY = 65534


def exec_words(entry_path):
    with open(entry_path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("Exec="):
                return line[len("Exec="):].split()
    raise AssertionError("no Exec line in " + entry_path)


class InstalledJourney(journey.JourneyCase):

    def setUp(self):
        for tool in ("dpkg-deb", "dpkg-shlibdeps", "rsvg-convert"):
            if shutil.which(tool) is None:
                self.skipTest("%s is not installed" % tool)
        if not BUILD:
            self.skipTest("no build directory (LECTERN_BUILD) to make the package from")
        self.as_root = os.geteuid() == 0
        if self.as_root and shutil.which("setpriv") is None:
            self.skipTest("running as root without setpriv to start the reader as another user")
        super().setUp()
        r = self.reader
        made = subprocess.run([os.path.join(SOURCE, "scripts", "make-deb"), BUILD, os.path.join(r.work, "dist")],
                              capture_output=True, text=True, timeout=300)
        self.assertEqual(made.returncode, 0, made.stderr)
        self.root = os.path.join(r.work, "root")
        subprocess.run(["dpkg-deb", "-x", made.stdout.split()[-1], self.root], check=True)
        subprocess.run(["chmod", "-R", "a-w", os.path.join(self.root, "usr")], check=True)
        self.addCleanup(subprocess.run, ["chmod", "-R", "u+w", os.path.join(self.root, "usr")])

        # The menu entry's command, found where /usr/bin is in this root.
        words = exec_words(os.path.join(self.root, "usr/share/applications/lectern.desktop"))
        self.assertEqual(words[1:], ["%f"])
        r.command = os.path.join(self.root, "usr/bin", words[0])
        r.program = os.path.join(self.root, "usr/lib/lectern")
        self.user = NOBODY if self.as_root else os.geteuid()
        os.chmod(r.work, 0o755)
        for d in (r.config, r.runtime, r.home, self.books):
            os.chown(d, self.user, self.user)
        self.prefix = (["setpriv", "--reuid=%d" % self.user, "--regid=%d" % self.user, "--clear-groups"]
                       if self.as_root else [])

    def test_menu_entry_starts_on_the_welcome_book_and_takes_later_books(self):
        r = self.reader
        program_files = sorted(os.listdir(r.program))
        r.start(prefix=self.prefix, probe=os.path.join(r.home, "probe.json"))
        s = r.wait_settled()
        welcome = os.path.join(r.program, "Welcome.txt")
        self.assertEqual(os.path.realpath(s.values["book"]), os.path.realpath(welcome))
        self.assertIn("Welcome", s.top_text)

        # A double click on a book in the file manager: the entry's command
        # with the book, while the reader runs.
        book = self.book("novel.txt", lines=400)
        os.chown(book, self.user, self.user)
        self.assertEqual(r.start_again(book, prefix=self.prefix), 0)
        r.wait(lambda st: st.values["book"] == book and not st.loading, "the book in the running reader")
        r.focus()
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)

        settings = os.path.join(r.config, "Lectern", "Lectern.ini")
        self.assertEqual(r.settings_path(), settings)
        with open(settings, "rb") as f:
            self.assertIn(book.encode() + b"\r\n", f.read())
        self.assertEqual(sorted(os.listdir(r.program)), program_files)


if __name__ == "__main__":
    unittest.main()
