"""A big book opened whole shows its first screen while the rest is read
into the box in steps: the whole book is there once the reader acts, and a
start without a window manager paints its first page as well."""

import os
import re
import subprocess
import unittest

import journey

LINES = 60000  # a book of about 3.6 MB


class NoWindowManagerDesktop(journey.Desktop):
    """Xvfb alone: nobody maps, focuses or activates the window for it."""

    def __init__(self, width=1280, height=800):
        self._start_xvfb(width, height)
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.wm = subprocess.Popen(["true"])


def last_paragraph(path):
    with open(path, encoding="ascii") as f:
        numbers = re.findall(r"^Paragraph (\d+)\.", f.read(), re.M)
    return int(numbers[-1])


def whole_book_settings(reader):
    with open(os.path.join(reader.program, "Lectern.ini"), "w", encoding="utf-8", newline="") as f:
        f.write("[Lectern_Main]\r\nOpenInPieces=FALSE\r\n")


def open_whole(reader, path, env=None):
    """Starts the reader on a big book, answering Yes to reading it whole."""
    reader.start(path, env=env, wait=False)
    reader.wait_box("in one piece a book bigger than 500,000 characters")
    reader.answer_box("Yes")


class BigBookJourney(journey.JourneyCase):

    def test_the_end_of_the_book_is_there_when_the_reader_goes_to_it(self):
        r = self.reader
        whole_book_settings(r)
        path = self.book("big.txt", lines=LINES)
        open_whole(r, path)
        r.wait_ready()
        s = r.wait_settled()
        self.assertTrue(s.top_text.startswith("Paragraph 0001."), s.top_text)
        r.focus()
        r.key("ctrl+End")
        s = r.wait(lambda st: st.top_text.startswith("Paragraph ") and st.top_line > 1, "the end of the book")
        shown = int(re.match(r"Paragraph (\d+)\.", s.top_text).group(1))
        self.assertGreaterEqual(shown, last_paragraph(path) - 10, s.top_text)


class BigBookWithoutWindowManagerJourney(journey.JourneyCase):

    desktop_kind = NoWindowManagerDesktop
    tools = ("Xvfb", "xdotool", "xprop")

    def test_first_page_is_painted(self):
        r = self.reader
        whole_book_settings(r)
        steps = os.path.join(r.work, "steps.txt")
        open_whole(r, self.book("big.txt", lines=LINES), env={"LECTERN_STEP_TIMES": steps})

        def painted():
            with open(steps, encoding="utf-8") as f:
                return "first paint:" in f.read()
        journey.wait_for(painted, "the first page to be painted")
        s = r.wait_ready()
        self.assertTrue(s.top_text.startswith("Paragraph 0001."), s.top_text)


if __name__ == "__main__":
    unittest.main()
